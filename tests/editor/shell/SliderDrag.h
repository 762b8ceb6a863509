#pragma once

// Drags a slider's handle with the mouse to the position of a value, as the user would.

#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

namespace shell_test {

inline QStyleOptionSlider SliderOption(const QSlider& slider) {
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.subControls = QStyle::SC_None;
    option.activeSubControls = QStyle::SC_None;
    option.orientation = slider.orientation();
    option.maximum = slider.maximum();
    option.minimum = slider.minimum();
    option.tickPosition = slider.tickPosition();
    option.tickInterval = slider.tickInterval();
    option.upsideDown = slider.invertedAppearance();
    option.direction = slider.layoutDirection();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    option.singleStep = slider.singleStep();
    option.pageStep = slider.pageStep();
    if (slider.orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    return option;
}

// The centre of the handle when the slider shows value.
inline QPoint SliderHandleCentre(const QSlider& slider, int value) {
    QStyleOptionSlider option = SliderOption(slider);
    const QRect groove = slider.style()->subControlRect(QStyle::CC_Slider, &option,
                                                        QStyle::SC_SliderGroove, &slider);
    const QRect handle = slider.style()->subControlRect(QStyle::CC_Slider, &option,
                                                        QStyle::SC_SliderHandle, &slider);
    const int span = groove.width() - handle.width();
    const int x = groove.x() +
                  QStyle::sliderPositionFromValue(slider.minimum(), slider.maximum(), value, span) +
                  handle.width() / 2;
    return {x, handle.center().y()};
}

inline void DragSlider(QSlider* slider, int to) {
    const QPoint from = SliderHandleCentre(*slider, slider->value());
    QTest::mousePress(slider, Qt::LeftButton, {}, from);
    QTest::mouseMove(slider, SliderHandleCentre(*slider, to));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, SliderHandleCentre(*slider, to));
}

} // namespace shell_test
