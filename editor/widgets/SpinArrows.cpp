#include "widgets/SpinArrows.h"

#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

SpinArrows::SpinArrows(QLineEdit* buddy, QWidget* parent)
    : QWidget(parent), m_buddy(buddy), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    for (QToolButton* button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIconSize(QSize(6, 6));
        // A held button repeats released and clicked while it stays down; only the last
        // release ends the press.
        connect(button, &QToolButton::released, this, [this, button] {
            if (!button->isDown())
                emit Released();
        });
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
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
