#include "widgets/KeyframeClipboard.h"

#include "widgets/FloatField.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QRegularExpression>
#include <QStringList>

namespace {

int ComponentsOf(VarType kind) {
    switch (kind) {
    case VARTYPE_ARRAY_TIMEFLOAT:
        return KeyframeValue<float>::kComponents;
    case VARTYPE_ARRAY_TIMECOLOUR:
        return KeyframeValue<Colour>::kComponents;
    case VARTYPE_ARRAY_TIMEVECTOR3:
        return KeyframeValue<Vector3>::kComponents;
    default:
        return 0;
    }
}

} // namespace

const QString& KeyframeClipboard::MimeType() {
    static const QString type = QStringLiteral("application/x-sparv-keyframes");
    return type;
}

QString KeyframeClipboard::KindName(VarType kind) {
    switch (kind) {
    case VARTYPE_ARRAY_TIMEFLOAT:
        return QStringLiteral("number keys");
    case VARTYPE_ARRAY_TIMECOLOUR:
        return QStringLiteral("colour keys");
    case VARTYPE_ARRAY_TIMEVECTOR3:
        return QStringLiteral("vector keys");
    default:
        return QStringLiteral("keys");
    }
}

QString KeyframeClipboard::Format(VarType kind, std::span<const float> numbers) {
    const size_t width = static_cast<size_t>(1 + ComponentsOf(kind));
    QString text = QString::fromLatin1(VarTypeName(kind)) + QLatin1Char('\n');
    for (size_t i = 0; i < numbers.size(); ++i) {
        text += FloatField::Format(numbers[i]);
        text += (i + 1) % width == 0 ? QLatin1Char('\n') : QLatin1Char(' ');
    }
    return text;
}

std::optional<std::vector<float>> KeyframeClipboard::Parse(const QString& text, VarType kind,
                                                           QString& message) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    VarType found = VARTYPE_NONE;
    const QString header = lines.isEmpty() ? QString() : lines.front().trimmed();
    if (!VarTypeFromName(header.toLatin1().constData(), found) || ComponentsOf(found) == 0) {
        message = QStringLiteral("The clipboard holds no keyframes.");
        return std::nullopt;
    }
    if (found != kind) {
        message = QStringLiteral("The clipboard holds %1; only %2 can be pasted here.")
                      .arg(KindName(found), KindName(kind));
        return std::nullopt;
    }
    const int width = 1 + ComponentsOf(kind);
    std::vector<float> numbers;
    for (int line = 1; line < lines.size(); ++line) {
        static const QRegularExpression space(QStringLiteral("\\s+"));
        const QStringList fields = lines[line].split(space, Qt::SkipEmptyParts);
        if (fields.isEmpty())
            continue;
        if (fields.size() != width) {
            message = QStringLiteral("The keyframes on the clipboard are damaged: line %1 does "
                                     "not hold %2 numbers.")
                          .arg(line + 1)
                          .arg(width);
            return std::nullopt;
        }
        for (const QString& field : fields) {
            const std::optional<float> number = FloatField::Parse(field);
            if (!number) {
                message = QStringLiteral("The keyframes on the clipboard are damaged: \"%1\" on "
                                         "line %2 is not a number.")
                              .arg(field)
                              .arg(line + 1);
                return std::nullopt;
            }
            numbers.push_back(*number);
        }
    }
    const size_t keys = numbers.size() / static_cast<size_t>(width);
    bool ordered = keys >= 2 && numbers.front() == 0.0f &&
                   numbers[(keys - 1) * static_cast<size_t>(width)] == 1.0f;
    for (size_t k = 1; ordered && k < keys; ++k)
        ordered = numbers[(k - 1) * static_cast<size_t>(width)] <=
                  numbers[k * static_cast<size_t>(width)];
    if (!ordered) {
        message = QStringLiteral("The keyframes on the clipboard must be at least two keys in time "
                                 "order, from time 0 to time 1.");
        return std::nullopt;
    }
    return numbers;
}

void KeyframeClipboard::Put(const QString& text) {
    auto* data = new QMimeData;
    data->setData(MimeType(), text.toUtf8());
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data);
}

QString KeyframeClipboard::Get() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return {};
    if (data->hasFormat(MimeType()))
        return QString::fromUtf8(data->data(MimeType()));
    return data->text();
}
