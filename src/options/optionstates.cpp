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
    // Each box flips its own lists: a change of the box's value is what counts, not the value.
    const auto is = [slot](auto s) { return slot == s.slot; };
    if (is(setting::ShowLabels)) {
        labelSettings_ = !labelSettings_;
    } else if (is(setting::ShowStopOrder)) {
        stopOrder_ = !stopOrder_;
    } else if (is(setting::ShowTicketNumber)) {
        ticketNumber_ = !ticketNumber_;
    } else if (is(setting::ShowRouteNumber)) {
        routeNumber_ = !routeNumber_;
    } else if (is(setting::ShowDataColumn)) {
        dataColumn_ = !dataColumn_;
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
