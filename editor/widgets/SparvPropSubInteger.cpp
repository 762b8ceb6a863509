#include "widgets/SparvPropSubInteger.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

SparvPropSubInteger::SparvPropSubInteger(QWidget* parent)
    : SparvPropSub(parent), m_text(NewTextBox(Edges(17, 27, 179, 52), QStringLiteral("value"))),
      m_arrows(new QWidget(this)), m_up(new QToolButton(m_arrows)),
      m_down(new QToolButton(m_arrows)) {
    m_text->setReadOnly(true);
    // The arrows sit against the right edge of the text box and take the focus, so the
    // Up and Down keys step too.
    m_arrows->setObjectName(QStringLiteral("arrows"));
    m_arrows->setGeometry(Edges(179, 27, 194, 52));
    m_arrows->setFocusPolicy(Qt::StrongFocus);
    m_arrows->installEventFilter(this);
    auto* layout = new QVBoxLayout(m_arrows);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(button);
    }
    m_up->setObjectName(QStringLiteral("up"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setObjectName(QStringLiteral("down"));
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { Step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void SparvPropSubInteger::SetValue(const FXVariable& value) {
    if (value.GetType() != VARTYPE_INT)
        return;
    ShowText(m_text, QString::number(value.GetInt()));
    m_arrows->setFocus(Qt::OtherFocusReason);
}

void SparvPropSubInteger::GetValue(FXVariable& out) const {
    out.Clear();
    if (const std::optional<int> number = ParseInteger(m_text->text()))
        out.SetInt(*number);
}

void SparvPropSubInteger::Step(int direction) {
    const int current = ParseInteger(m_text->text()).value_or(kLowest);
    const int next = std::clamp(current + direction, kLowest, kHighest);
    m_text->setText(QString::number(next));
}

bool SparvPropSubInteger::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_arrows && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return SparvPropSub::eventFilter(watched, event);
}
