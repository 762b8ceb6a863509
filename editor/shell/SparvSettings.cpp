#include "shell/SparvSettings.h"

#include <QSettings>
#include <algorithm>

namespace {

const QString kAutosave = QStringLiteral("Preferences/AutosaveSeconds");
const QString kUncapped = QStringLiteral("Preferences/UncappedFrameRate");

} // namespace

SparvSettings SparvSettings::Load() {
    const QSettings settings(QStringLiteral("Sparv"), QStringLiteral("Sparv"));
    SparvSettings loaded;
    loaded.autosaveSeconds = std::max(0, settings.value(kAutosave, loaded.autosaveSeconds).toInt());
    loaded.uncappedFrameRate = settings.value(kUncapped, loaded.uncappedFrameRate).toBool();
    return loaded;
}

void SparvSettings::Store() const {
    QSettings settings(QStringLiteral("Sparv"), QStringLiteral("Sparv"));
    settings.setValue(kAutosave, autosaveSeconds);
    settings.setValue(kUncapped, uncappedFrameRate);
}
