#pragma once

// The five-part status line at the bottom of the preview. The parts end at R - 450,
// R - 400, R - 300, R - 150 and R, where R is the line's own width.

#include <QWidget>
#include <array>

class QLabel;

class SparvStatusLine : public QWidget {
    Q_OBJECT

public:
    static constexpr int kParts = 5;

    explicit SparvStatusLine(QWidget* parent);

    void SetText(int part, const QString& text);
    QString Text(int part) const;
    // The part's rectangle within the line.
    QRect PartRect(int part) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::array<QLabel*, kParts> m_parts{};
};
