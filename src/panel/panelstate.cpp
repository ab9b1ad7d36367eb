#include "panelstate.h"

#include <algorithm>

namespace q47 {

void PanelState::setBacklight(int row) {
    if (row < 0 || row > 2 || row == backlight_)
        return;
    backlight_ = row;
    Q_EMIT backlightChanged(row);
}

void PanelState::setScrollSpeed(int speed) {
    setScroll(scrollSpeed_, std::clamp(speed, kMinScrollSpeed, kMaxScrollSpeed));
}

void PanelState::setScrollInterval(int interval) {
    setScroll(scrollInterval_, std::clamp(interval, kMinScrollInterval, kMaxScrollInterval));
}

void PanelState::setScroll(int &field, int value) {
    if (value == field)
        return;
    field = value;
    Q_EMIT scrollChanged();
}

void PanelState::setLateNight(bool on) {
    if (on == lateNight_)
        return;
    lateNight_ = on;
    Q_EMIT lateNightChanged(on);
}

void PanelState::setRouteDigit(int list, int digit) {
    if (list < 0 || list >= kRouteLists || digit < 0 || digit > 9)
        return;
    routeDigits_[size_t(list)] = digit;
    Q_EMIT entryChanged();
}

void PanelState::setSectionDigit(int list, int digit) {
    if (list < 0 || list >= kSectionLists || digit < 0 || digit > 9)
        return;
    sectionDigits_[size_t(list)] = digit;
    Q_EMIT entryChanged();
}

void PanelState::offerRoute(int route) {
    const QString digits = QStringLiteral("%1").arg(route, kRouteLists, 10, QLatin1Char('0'));
    for (int i = 0; i < kRouteLists; ++i)
        routeDigits_[size_t(i)] = digits[i].digitValue();
    sectionDigits_ = {0, 0, 1};
    Q_EMIT entryChanged();
}

void PanelState::pressKeypad(int key) {
    keypad_.press(key);
    Q_EMIT entryChanged();
}

QString PanelState::routeText(EntryPane pane) const {
    if (pane == EntryPane::Keypad)
        return keypad_.routeText();
    QString text;
    for (int digit : routeDigits_)
        text += QChar(u'0' + digit);
    return text;
}

int PanelState::startSection(EntryPane pane) const {
    if (pane == EntryPane::Keypad)
        return keypad_.sectionText().toInt();
    int section = 0;
    for (int digit : sectionDigits_)
        section = section * 10 + digit;
    return section;
}

void PanelState::sendToBack(EntryPane pane) {
    backPane_ = static_cast<qint16>(pane);
    paneAtBack_ = pane;
    Q_EMIT paneChanged();
}

void PanelState::setPreviewOpen(bool open) {
    if (open == previewOpen_)
        return;
    previewOpen_ = open;
    Q_EMIT previewChanged(open);
}

void PanelState::setRouteSet() {
    if (routeSet_)
        return;
    routeSet_ = true;
    Q_EMIT steppingChanged();
}

void PanelState::setCleared(bool on) {
    if (on == cleared_)
        return;
    cleared_ = on;
    Q_EMIT steppingChanged();
}

void PanelState::setFrameCaption(const QString &caption) {
    tapeCaption_ = caption;
    Q_EMIT tapeChanged();
}

void PanelState::setFrameEnabled(bool on) {
    tapeFrame_ = on;
    Q_EMIT tapeChanged();
}

void PanelState::setButtonsEnabled(bool on) {
    tapeButtons_ = on;
    Q_EMIT tapeChanged();
}

ControlPanelState PanelState::record() const {
    ControlPanelState record;
    record.scrollSpeed = scrollSpeed_;
    record.scrollInterval = scrollInterval_;
    record.paneIndex = backPane_;
    record.previewOpen = previewOpen_ ? 1 : 0;
    record.lateNightFare = lateNight_ ? 1 : 0;
    return record;
}

void PanelState::restore(const ControlPanelState &record) {
    // The bars hold 16-bit values.
    setScrollSpeed(static_cast<qint16>(record.scrollSpeed));
    setScrollInterval(static_cast<qint16>(record.scrollInterval));
    setPreviewOpen(record.previewOpen != 0);
    setLateNight(record.lateNightFare != 0);
    backPane_ = record.paneIndex;
    if (record.paneIndex == 0 || record.paneIndex == 1)
        paneAtBack_ = EntryPane(record.paneIndex);
    Q_EMIT paneChanged();
}

} // namespace q47
