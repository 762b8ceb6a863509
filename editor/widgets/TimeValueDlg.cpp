#include "widgets/TimeValueDlg.h"

#include "shell/SparvPrompts.h"
#include "widgets/FloatField.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace {

FloatField* NewField(const char* name, QWidget* parent) {
    auto* field = new FloatField(parent);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

QFormLayout* NewForm(QGroupBox* group) {
    auto* form = new QFormLayout(group);
    form->setContentsMargins(4, 2, 4, 4);
    form->setVerticalSpacing(2);
    form->setHorizontalSpacing(4);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return form;
}

QString Number(float value) {
    return FloatField::Format(value);
}

} // namespace

TimeValueDlg::TimeValueDlg(QWidget* parent)
    : QWidget(parent), m_timeScaleField(NewField("timeScale", this)),
      m_valueScaleField(NewField("valueScale", this)), m_timeField(NewField("time", this)),
      m_valueField(NewField("value", this)), m_valueMaxField(NewField("valueMax", this)),
      m_valueMinField(NewField("valueMin", this)), m_previous(new QToolButton(this)),
      m_next(new QToolButton(this)), m_number(new QLabel(this)), m_count(new QLabel(this)),
      m_boxMode(new QToolButton(this)), m_fit(new QToolButton(this)) {
    setObjectName(QStringLiteral("TimeValueDlg"));

    auto* scale = new QGroupBox(QStringLiteral("Scale"), this);
    QFormLayout* scaleForm = NewForm(scale);
    scaleForm->addRow(QStringLiteral("Time Scale:"), m_timeScaleField);
    scaleForm->addRow(QStringLiteral("Value Scale:"), m_valueScaleField);

    auto* value = new QGroupBox(QStringLiteral("Value"), this);
    QFormLayout* valueForm = NewForm(value);
    valueForm->addRow(QStringLiteral("Time:"), m_timeField);
    valueForm->addRow(QStringLiteral("Value:"), m_valueField);
    m_previous->setObjectName(QStringLiteral("previousKey"));
    m_previous->setArrowType(Qt::LeftArrow);
    m_previous->setToolTip(QStringLiteral("Previous key"));
    m_next->setObjectName(QStringLiteral("nextKey"));
    m_next->setArrowType(Qt::RightArrow);
    m_next->setToolTip(QStringLiteral("Next key"));
    m_number->setObjectName(QStringLiteral("keyNumber"));
    m_count->setObjectName(QStringLiteral("keyCount"));
    auto* counter = new QHBoxLayout;
    counter->setSpacing(4);
    counter->addWidget(m_previous);
    counter->addStretch();
    counter->addWidget(m_number);
    counter->addWidget(new QLabel(QStringLiteral("of"), value));
    counter->addWidget(m_count);
    counter->addStretch();
    counter->addWidget(m_next);
    valueForm->addRow(counter);

    auto* range = new QGroupBox(QStringLiteral("Range"), this);
    QFormLayout* rangeForm = NewForm(range);
    rangeForm->addRow(QStringLiteral("Value Max:"), m_valueMaxField);
    rangeForm->addRow(QStringLiteral("Value Min:"), m_valueMinField);

    // Window managers take Alt with a drag for themselves: box mode has a toggle of its own
    // (also the B key in the curve window).
    m_boxMode->setObjectName(QStringLiteral("boxMode"));
    m_boxMode->setText(QStringLiteral("Box handles (B)"));
    m_boxMode->setToolTip(
        QStringLiteral("Move and scale the selected keys with handles (or hold Alt)"));
    m_boxMode->setCheckable(true);
    m_boxMode->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_boxMode->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    // The prescribed starting scales show a curve of large values off the top: one click
    // (or F in the curve window) brings every key into view.
    m_fit->setObjectName(QStringLiteral("fitKeys"));
    m_fit->setText(QStringLiteral("Fit to keys (F)"));
    m_fit->setToolTip(QStringLiteral("Choose the scales so that every key is in view"));
    m_fit->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_fit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(scale);
    layout->addWidget(value);
    layout->addWidget(range);
    layout->addWidget(m_boxMode);
    layout->addWidget(m_fit);
    layout->addStretch();

    connect(m_timeScaleField, &QLineEdit::returnPressed, this, [this] {
        if (Read())
            emit Notify(1);
    });
    connect(m_valueScaleField, &QLineEdit::returnPressed, this, [this] {
        if (Read())
            emit Notify(1);
    });
    for (FloatField* field : {m_timeField, m_valueField})
        connect(field, &QLineEdit::returnPressed, this, [this] {
            if (Read())
                emit Notify(0);
        });
    connect(m_valueMinField, &QLineEdit::returnPressed, this, &TimeValueDlg::EnterInValueMin);
    connect(m_valueMaxField, &QLineEdit::returnPressed, this, &TimeValueDlg::EnterInValueMax);
    connect(m_previous, &QToolButton::clicked, this, [this] { emit Notify(3); });
    connect(m_next, &QToolButton::clicked, this, [this] { emit Notify(4); });
    connect(m_boxMode, &QToolButton::toggled, this, &TimeValueDlg::BoxModeToggled);
    connect(m_fit, &QToolButton::clicked, this, [this] { emit Notify(5); });

    SetScales(m_timeScale, m_valueScale);
    SetRange(m_timeMin, m_timeMax, m_valueMin, m_valueMax);
    SetKey(0.0f, 0.0f);
    SetCounter(0, 0);
}

void TimeValueDlg::SetScales(float timeScale, float valueScale) {
    m_timeScale = timeScale;
    m_valueScale = valueScale;
    m_timeScaleField->setText(Number(timeScale));
    m_valueScaleField->setText(Number(valueScale));
}

void TimeValueDlg::SetRange(float timeMin, float timeMax, float valueMin, float valueMax) {
    m_timeMin = timeMin;
    m_timeMax = timeMax;
    m_valueMin = valueMin;
    m_valueMax = valueMax;
    m_valueMinField->setText(Number(valueMin));
    m_valueMaxField->setText(Number(valueMax));
}

void TimeValueDlg::SetKey(float time, float value) {
    m_keyTime = time;
    m_keyValue = value;
    m_timeField->setText(Number(time));
    m_valueField->setText(Number(value));
}

void TimeValueDlg::EnableKeyFields(bool enabled) {
    m_timeField->setEnabled(enabled);
    m_valueField->setEnabled(enabled);
}

bool TimeValueDlg::KeyFieldsEnabled() const {
    return m_timeField->isEnabled();
}

void TimeValueDlg::SetCounter(int number, int count) {
    m_number->setText(QString::number(number));
    m_count->setText(QString::number(count));
}

void TimeValueDlg::SetBoxMode(bool on) {
    const QSignalBlocker blocker(m_boxMode);
    m_boxMode->setChecked(on);
}

bool TimeValueDlg::Refuse(FloatField* field, const QString& message) {
    SparvPrompts::Current().Message(this, message, SparvPrompts::Buttons::Ok,
                                    SparvPrompts::Icon::Warning);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    return false;
}

bool TimeValueDlg::Read() {
    const auto read = [](FloatField* field) { return field->Value(); };
    const QString scaleMessage = QStringLiteral("Please enter a number between %1 and %2.")
                                     .arg(Number(kMinimumScale), Number(kMaximumScale));
    const std::optional<float> timeScale = read(m_timeScaleField);
    if (!timeScale)
        return Refuse(m_timeScaleField, FloatField::NotANumberMessage());
    if (!(*timeScale >= kMinimumScale && *timeScale <= kMaximumScale))
        return Refuse(m_timeScaleField, scaleMessage);
    const std::optional<float> valueScale = read(m_valueScaleField);
    if (!valueScale)
        return Refuse(m_valueScaleField, FloatField::NotANumberMessage());
    if (!(*valueScale >= kMinimumScale && *valueScale <= kMaximumScale))
        return Refuse(m_valueScaleField, scaleMessage);
    const std::optional<float> valueMax = read(m_valueMaxField);
    if (!valueMax)
        return Refuse(m_valueMaxField, FloatField::NotANumberMessage());
    const std::optional<float> valueMin = read(m_valueMinField);
    if (!valueMin)
        return Refuse(m_valueMinField, FloatField::NotANumberMessage());
    // The key's fields only count while they are in use.
    float keyTime = m_keyTime;
    float keyValue = m_keyValue;
    m_keyValueClamped = false;
    if (KeyFieldsEnabled()) {
        const std::optional<float> time = read(m_timeField);
        if (!time)
            return Refuse(m_timeField, FloatField::NotANumberMessage());
        if (!(*time >= m_timeMin && *time <= m_timeMax))
            return Refuse(m_timeField, QStringLiteral("Please enter a number between %1 and %2.")
                                           .arg(Number(m_timeMin), Number(m_timeMax)));
        const std::optional<float> value = read(m_valueField);
        if (!value)
            return Refuse(m_valueField, FloatField::NotANumberMessage());
        keyTime = *time;
        keyValue =
            std::clamp(*value, std::min(*valueMin, *valueMax), std::max(*valueMin, *valueMax));
        m_keyValueClamped = keyValue != *value;
    }
    m_timeScale = *timeScale;
    m_valueScale = *valueScale;
    m_valueMax = *valueMax;
    m_valueMin = *valueMin;
    m_keyTime = keyTime;
    m_keyValue = keyValue;
    return true;
}

void TimeValueDlg::EnterInValueMin() {
    if (!Read())
        return;
    if (m_valueMax < m_valueMin)
        SetRange(m_timeMin, m_timeMax, m_valueMax, m_valueMin);
    // The key comes into the new range (Read has clamped the value it shows).
    if (KeyFieldsEnabled() &&
        (m_keyValueClamped || m_keyValue < m_valueMin || m_keyValue > m_valueMax)) {
        SetKey(m_keyTime, std::clamp(m_keyValue, m_valueMin, m_valueMax));
        emit Notify(0);
    }
    emit Notify(2);
}

void TimeValueDlg::EnterInValueMax() {
    if (!Read())
        return;
    if (m_valueMax < m_valueMin)
        SetRange(m_timeMin, m_timeMax, m_valueMax, m_valueMin);
    emit Notify(2);
}
