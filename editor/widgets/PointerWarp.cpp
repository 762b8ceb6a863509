#include "widgets/PointerWarp.h"

#include <QCursor>
#include <QGuiApplication>
#include <QWidget>
#include <optional>

namespace {

std::optional<bool>& Override() {
    static std::optional<bool> value;
    return value;
}

} // namespace

namespace PointerWarp {

bool Available() {
    if (Override())
        return *Override();
    // The platforms whose windowing system moves the pointer for a program.
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform == QLatin1String("windows") ||
           platform == QLatin1String("cocoa");
}

void SetAvailable(bool available) {
    Override() = available;
}

void Reset() {
    Override().reset();
}

bool MoveTo(const QWidget& widget, QPoint point) {
    if (!Available())
        return false;
    QCursor::setPos(widget.mapToGlobal(point));
    return true;
}

} // namespace PointerWarp
