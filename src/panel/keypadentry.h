#pragma once

#include <QString>

namespace q47 {

// Route and section entry on the control panel's keypad. Digits go to the field chosen last
// with "系統" or "区間" (the section at first); a full field ignores further digits.
class KeypadEntry {
public:
    static constexpr int kRouteKey = 10;
    static constexpr int kSectionKey = 11;
    static constexpr int kRouteDigits = 5;
    static constexpr int kSectionDigits = 3;

    void press(int index);

    const QString &routeText() const { return route_; }     // Label2(0)
    const QString &sectionText() const { return section_; } // Label2(2)
    bool targetIsRoute() const { return target_ == -1; }

private:
    qint16 target_ = 0; // -1 route number, 0 section
    QString route_;
    QString section_;
};

} // namespace q47
