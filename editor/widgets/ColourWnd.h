#pragma once

// The colour picker's preview swatch: its colour, with a sunken edge.

#include <QColor>
#include <QWidget>

class ColourWnd : public QWidget {
    Q_OBJECT

public:
    explicit ColourWnd(QWidget* parent);

    // Shows the colour of hue, saturation and value (each 0.0 to 1.0).
    void SetHsv(float hue, float saturation, float value);
    QColor Colour() const { return m_colour; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_colour = Qt::white;
};
