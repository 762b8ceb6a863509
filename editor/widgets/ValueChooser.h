#pragma once

// A vertical strip choosing one number from 1.0 at the top to 0.0 at the bottom, drawn as
// a grey ramp with a red marker: the colour picker's value strip and its alpha strip.
// Pressing and dragging picks (along the edge when the pointer leaves the strip); Picked
// reports each pick and Released the end of the drag. The ramp is built once per size.

#include <QImage>
#include <QWidget>

class ValueChooser : public QWidget {
    Q_OBJECT

public:
    explicit ValueChooser(QWidget* parent);

    float Value() const { return m_value; }
    // Shows value (0.0 to 1.0) without reporting a pick.
    void SetValue(float value);
    bool IsDragging() const { return m_dragging; }

signals:
    void Picked();
    void Released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Pick(int y);

    float m_value = 0.0f;
    bool m_dragging = false;
    QImage m_image;
    bool m_rebuild = true;
};
