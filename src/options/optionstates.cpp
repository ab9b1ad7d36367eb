#include "optionstates.h"

#include "settingsstore.h"

namespace q47 {

OptionStates::OptionStates(SettingsStore &store, QObject *parent) : QObject(parent), store_(store) {
    // The governing controls start unticked and the panels automatic, so everything starts
    // off; a store already changed by then is followed from where it stands.
    imageRows_ = !store_.isSelected(setting::PanelsAutomatic);
    previewFrames_ = store_.flag(setting::UsePreview) == 1;
    connect(&store_, &SettingsStore::changed, this, &OptionStates::settingChanged);
}

void OptionStates::settingChanged(int slot) {
    // Each box governs its own lists: the stop order Combo4(0) and "0から数える", the ticket
    // number Combo4(1), the route Combo4(2), the data column Combo4(3) and Combo4(4).
    const auto is = [slot](auto s) { return slot == s.slot; };
    if (is(setting::ShowLabels)) {
        frame3_ = !frame3_;
    } else if (is(setting::ShowStopOrder)) {
        combo4_[0] = !combo4_[0];
        check3Zero_ = !check3Zero_;
    } else if (is(setting::ShowTicketNumber)) {
        combo4_[1] = !combo4_[1];
    } else if (is(setting::ShowRouteNumber)) {
        combo4_[2] = !combo4_[2];
    } else if (is(setting::ShowDataColumn)) {
        combo4_[3] = !combo4_[3];
        combo4_[4] = !combo4_[4];
    } else if (is(setting::PanelsAutomatic) || is(setting::PanelsOneByOne)) {
        imageRows_ = !store_.isSelected(setting::PanelsAutomatic);
    } else if (is(setting::UsePreview)) {
        previewFrames_ = store_.flag(setting::UsePreview) == 1;
    } else {
        return;
    }
    Q_EMIT statesChanged();
}

} // namespace q47
