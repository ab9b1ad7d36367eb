#include "backlight.h"

#include "settingsstore.h"

#include <QSettings>

namespace q47 {

BacklightRow backlightRow(const SettingsStore &settings, int row) {
    BacklightRow r;
    if (row < 0 || row >= kBacklightRows) {
        r.error = kNoSuchBacklightRow;
        return r;
    }
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

QString backlightErrorTitle() {
    return QStringLiteral("エラー");
}

QString backlightErrorText(int number) {
    QString detail;
    switch (number) {
    case 7:
    case 28:
    case 51:
        detail = QStringLiteral(
            "　内部的なエラーです。開発元へ報告してください。エラー場所：frmCtl.Option4_Click()");
        break;
    case 53:
    case 75:
    case 76:
        detail = QStringLiteral("　画像ファイルが見つからないか、指定している場所が不正です。");
        break;
    case 57:
    case 68:
        detail = QStringLiteral("　デバイスエラーもしくは準備が出来ていません。");
        break;
    case 481:
        detail = QStringLiteral("　指定した画像の内容が不正です。この部分では扱えません。");
        break;
    default:
        break;
    }
    return QStringLiteral("エラーです。\n\nエラーコード：") + QString::number(number) + detail;
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
