#include "widgets/FloatField.h"

#include "shell/SparvPrompts.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

FloatField::FloatField(QWidget* parent) : QLineEdit(parent) {
    SetValue(0.0f);
}

void FloatField::SetValue(float value) {
    setText(Format(value));
}

std::optional<float> FloatField::Value() const {
    return Parse(text());
}

QString FloatField::Format(float value) {
    if (value == 0.0f)
        return QStringLiteral("0"); // also for -0, which nobody wants to read
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

std::optional<float> FloatField::Parse(const QString& text) {
    const QString trimmed = text.trimmed();
    for (const QChar c : trimmed)
        if (c.unicode() > 0x7F)
            return std::nullopt;
    std::string number = trimmed.toStdString();
    if (!number.empty() && number.front() == '+') {
        number.erase(0, 1);
        if (!number.empty() && (number.front() == '-' || number.front() == '+'))
            return std::nullopt;
    }
    if (number.find('.') == std::string::npos) {
        const auto comma = number.find(',');
        if (comma != std::string::npos && number.find(',', comma + 1) == std::string::npos)
            number[comma] = '.';
    }
    if (number.empty())
        return std::nullopt;
    float value = 0.0f;
    const char* end = number.data() + number.size();
    const auto result = std::from_chars(number.data(), end, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

const QString& FloatField::NotANumberMessage() {
    static const QString message = QStringLiteral("Please enter a number.");
    return message;
}

bool FloatField::ReadAll(QWidget* dialog,
                         std::initializer_list<std::pair<FloatField*, float*>> fields) {
    std::vector<float> values;
    values.reserve(fields.size());
    for (const auto& [field, target] : fields) {
        const std::optional<float> value = field->Value();
        if (!value) {
            SparvPrompts::Current().Message(dialog, NotANumberMessage(), SparvPrompts::Buttons::Ok,
                                            SparvPrompts::Icon::Warning);
            field->setFocus(Qt::OtherFocusReason);
            field->selectAll();
            return false;
        }
        values.push_back(*value);
    }
    auto value = values.begin();
    for (const auto& [field, target] : fields)
        *target = *value++;
    return true;
}
