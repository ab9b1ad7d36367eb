#include "optionstates.h"

#include "settingsstore.h"

namespace q47 {

OptionStates::OptionStates(SettingsStore &store, QObject *parent) : QObject(parent), store_(store) {
    // The governing controls start unticked and the panels automatic, so everything starts
    // off; a store already changed by then is followed from where it stands.
    imageRows_ = store_.choice(QStringLiteral("Option3"), 0) == 0;
    previewFrames_ = store_.flag(QStringLiteral("chkUseSeiriPrev")) == 1;
    connect(&store_, &SettingsStore::changed, this, &OptionStates::settingChanged);
}

void OptionStates::settingChanged(const QString &name, int index) {
    if (name == u"Check1") {
        frame3_ = !frame3_;
    } else if (name == u"Check3") {
        switch (index) {
        case 0:
            combo4_[0] = !combo4_[0];
            check3Zero_ = !check3Zero_;
            break;
        case 1:
        case 2:
            combo4_[static_cast<size_t>(index)] = !combo4_[static_cast<size_t>(index)];
            break;
        case 3:
            combo4_[3] = !combo4_[3];
            combo4_[4] = !combo4_[4];
            break;
        default:
            return; // Check3(4) governs nothing
        }
    } else if (name == u"Option3") {
        imageRows_ = store_.choice(QStringLiteral("Option3"), 0) == 0;
    } else if (name == u"chkUseSeiriPrev") {
        previewFrames_ = store_.flag(name) == 1;
    } else {
        return;
    }
    Q_EMIT statesChanged();
}

} // namespace q47
