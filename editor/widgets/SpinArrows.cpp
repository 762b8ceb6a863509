#include "widgets/SpinArrows.h"

#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace {

// A held arrow steps again after this pause, then at the faster rate.
constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 50;

} // namespace

SpinArrows::SpinArrows(QLineEdit* buddy, QWidget* parent)
    : QWidget(parent), m_buddy(buddy), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    // The step comes with the press and the repeats from a timer of our own, so that a
    // press, however long, is followed by exactly one Released.
    for (QToolButton* button : {m_up, m_down}) {
        button->setFocusPolicy(Qt::NoFocus);
        const int delta = button == m_up ? +1 : -1;
        connect(button, &QToolButton::pressed, this, [this, delta] {
            m_delta = delta;
            Step(delta);
            m_repeat.start(kFirstRepeatMs);
        });
        connect(button, &QToolButton::released, this, [this] {
            m_repeat.stop();
            emit Released();
        });
    }
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        m_repeat.setInterval(kRepeatMs);
        Step(m_delta);
    });
}

void SpinArrows::SetRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
}

void SpinArrows::SetPosition(int position) {
    m_buddy->setText(QString::number(std::clamp(position, m_minimum, m_maximum)));
}

void SpinArrows::Step(int delta) {
    bool number = false;
    const int current = m_buddy->text().trimmed().toInt(&number);
    SetPosition((number ? std::clamp(current, m_minimum, m_maximum) : m_minimum) + delta);
}

void SpinArrows::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}
