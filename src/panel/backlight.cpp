#include "backlight.h"

#include "settingsstore.h"

#include <QSettings>

namespace q47 {

Result<BacklightRow> backlightRow(const SettingsStore &settings, int row) {
    if (row < 0 || row >= kBacklightRows)
        return Error(Error::Kind::OutOfRange, QStringLiteral("no backlight row %1").arg(row))
            .about(Error::Subject::Picture)
            .numbered(ErrorNumber::NoSuchBacklightRow);
    BacklightRow r;
    const auto at = static_cast<size_t>(row);
    r.colour = settings.colour(setting::LabelColours[at]);
    if (!settings.isSelected(setting::PanelsOneByOne))
        return r;
    if (settings.isSelected(setting::UserPanels[at])) {
        r.userPicture = true;
        r.file = settings.text(setting::PanelFiles[at]);
    }
    return r;
}

namespace {
const QString kBacklightKey = QStringLiteral("panel/backlight");
} // namespace

int rememberedBacklight(const QSettings &userSettings) {
    bool ok = false;
    const int row = userSettings.value(kBacklightKey).toInt(&ok);
    return ok && row >= 0 && row < kBacklightRows ? row : 0;
}

void rememberBacklight(QSettings &userSettings, int row) {
    userSettings.setValue(kBacklightKey, row);
}

} // namespace q47
