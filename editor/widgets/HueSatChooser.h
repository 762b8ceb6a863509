#pragma once

// The colour picker's hue-saturation field: hue runs from 0.0 on the left to 1.0 on the
// right, saturation from 1.0 at the top to 0.0 at the bottom, all at full value. A small
// black square marks the current hue and saturation. Pressing and dragging picks (also
// along the border when the pointer leaves the field); Picked reports each pick and
// Released the end of the drag.
//
// The field's image costs one colour conversion per pixel: it is built once per size and
// cached.

#include <QImage>
#include <QWidget>

class HueSatChooser : public QWidget {
    Q_OBJECT

public:
    explicit HueSatChooser(QWidget* parent);

    float Hue() const { return m_hue; }
    float Saturation() const { return m_saturation; }
    // Shows hue and saturation (0.0 to 1.0) without reporting a pick.
    void SetHueSaturation(float hue, float saturation);
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
    void Pick(QPoint point);

    float m_hue = 0.0f;
    float m_saturation = 0.0f;
    bool m_dragging = false;
    QImage m_image;
    bool m_rebuild = true;
};
