#include "widgets/SparvPropSub.h"

#include "shell/FxAccelHook.h"
#include "shell/SparvFormat.h"
#include "widgets/FloatField.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <charconv>

SparvPropSub::SparvPropSub(QWidget* parent)
    : QWidget(parent), m_nameLabel(NewLabel(QString(), Edges(2, 2, 194, 27))),
      m_all(new QPushButton(QStringLiteral("All"), this)),
      m_apply(new QPushButton(QStringLiteral("Apply"), this)),
      m_hook(std::make_unique<FxAccelHook>(nullptr, this, this)) {
    m_nameLabel->setObjectName(QStringLiteral("name"));
    const QFont variable = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    m_all->setObjectName(QStringLiteral("all"));
    m_all->setGeometry(Edges(72, 149, 132, 174));
    m_apply->setObjectName(QStringLiteral("apply"));
    m_apply->setGeometry(Edges(134, 149, 194, 174));
    for (QPushButton* button : {m_all, m_apply}) {
        button->setFont(variable);
        button->setAutoDefault(false);
    }
    connect(m_apply, &QPushButton::clicked, this, &SparvPropSub::Apply);
    connect(m_all, &QPushButton::clicked, this, &SparvPropSub::ApplyToAll);
    setGeometry(0, 0, 200, 180);
    hide();
}

SparvPropSub::~SparvPropSub() = default;

QRect SparvPropSub::Edges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

QLineEdit* SparvPropSub::NewTextBox(const QRect& geometry, const QString& objectName) {
    auto* box = new QLineEdit(this);
    box->setObjectName(objectName);
    box->setGeometry(geometry);
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->installEventFilter(this);
    return box;
}

QLabel* SparvPropSub::NewLabel(const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, this);
    label->setGeometry(geometry);
    label->setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    label->setWordWrap(false);
    return label;
}

void SparvPropSub::ShowText(QLineEdit* box, const QString& text) {
    box->setText(text);
    box->selectAll();
}

std::optional<float> SparvPropSub::ParseNumber(const QString& text) {
    if (text.trimmed().isEmpty())
        return 0.0f;
    return FloatField::Parse(text);
}

std::optional<int> SparvPropSub::ParseInteger(const QString& text) {
    QByteArray digits = text.trimmed().toLatin1();
    if (digits.isEmpty())
        return 0;
    if (digits.front() == '+')
        digits.remove(0, 1);
    int value = 0;
    const char* end = digits.constData() + digits.size();
    const auto result = std::from_chars(digits.constData(), end, value, 10);
    if (result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return value;
}

QString SparvPropSub::FormatNumber(float value) {
    return SparvFormat::Fixed(value, 3);
}

void SparvPropSub::Setup(int typeIndex, const std::string& name, const FXVariable& value,
                         bool oneKey) {
    m_typeIndex = typeIndex;
    if (&name != &m_name)
        m_name = name;
    m_nameLabel->setText(QString::fromStdString(m_name));
    m_all->setVisible(oneKey);
    SetValue(value);
}

void SparvPropSub::Apply() {
    FXVariable value;
    GetValue(value);
    emit ApplyRequested(m_typeIndex, QString::fromStdString(m_name), value, false);
}

void SparvPropSub::ApplyToAll() {
    FXVariable value;
    GetValue(value);
    emit ApplyRequested(m_typeIndex, QString::fromStdString(m_name), value, true);
}

void SparvPropSub::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only shows and hides asked by the program move the hook, not those that come from
    // a parent being minimised or restored.
    if (!event->spontaneous())
        m_hook->HookTo(this);
}

void SparvPropSub::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        m_hook->HookTo(nullptr);
}

bool SparvPropSub::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // After the click that gave the focus has placed its caret.
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
    }
    return QWidget::eventFilter(watched, event);
}

void SparvPropSub::MoveFocus(bool forward) {
    QList<QWidget*> stops;
    for (QWidget* child : findChildren<QWidget*>())
        if (child->isVisibleTo(this) && child->isEnabled() &&
            (child->focusPolicy() & Qt::TabFocus) == Qt::TabFocus)
            stops.append(child);
    if (stops.isEmpty())
        return;
    const qsizetype at = stops.indexOf(QApplication::focusWidget());
    const qsizetype count = stops.size();
    const qsizetype next = at < 0 ? 0 : (at + (forward ? 1 : count - 1)) % count;
    stops[next]->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool SparvPropSub::OnCommand(int id) {
    auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (box && !isAncestorOf(box))
        box = nullptr;
    switch (id) {
    case SparvCommand::NextField:
        MoveFocus(true);
        return true;
    case SparvCommand::PreviousField:
        MoveFocus(false);
        return true;
    case SparvCommand::Apply:
        Apply();
        return true;
    case SparvCommand::Copy:
        if (box)
            box->copy();
        return true;
    case SparvCommand::Cut:
        if (box)
            box->cut();
        return true;
    case SparvCommand::Paste:
        if (box)
            box->paste();
        return true;
    default:
        return false;
    }
}
