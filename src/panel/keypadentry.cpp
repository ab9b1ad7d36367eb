#include "keypadentry.h"

namespace q47 {

void KeypadEntry::press(int index) {
    if (index == kRouteKey) {
        target_ = -1;
        route_.clear();
    } else if (index == kSectionKey) {
        target_ = 0;
        section_.clear();
    } else if (index >= 0 && index <= 9) {
        QString &field = target_ == -1 ? route_ : section_;
        const int limit = target_ == -1 ? kRouteDigits : kSectionDigits;
        if (field.size() < limit)
            field += QChar(u'0' + index);
    }
}

} // namespace q47
