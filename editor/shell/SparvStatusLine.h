#pragma once

// The five-part status line at the bottom of the preview. The parts end at R - 450,
// R - 400, R - 300, R - 150 and R, where R is the line's own width; a part whose longest
// text (or the text it shows) needs more room in the platform's font is widened, taking it
// from part 0.

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
    // A short note at the right end of part 0, beside the description: how playback runs
    // (the frame rate while playing). Empty hides it.
    void SetNote(const QString& note);
    QString Note() const;
    // The part's rectangle within the line.
    QRect PartRect(int part) const;
    // The width of parts 1 to 4: their nominal width, or what their longest text or the
    // text they show needs.
    int PartWidth(int part) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayoutParts();

    std::array<QLabel*, kParts> m_parts{};
    QLabel* m_note;
};
