// Feeds arbitrary values and settings to the digit text rules: the zero rule, the zero fill,
// the shift and the cut to DigitCount positions. Values come as text, as doubles (huge, infinite
// and not-a-number included) and as integers. The sanitizers catch undefined behaviour; the
// checks below catch a text that could not fit the cell.
#include "segmentmodel.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

template <typename T> T take(const uint8_t *&data, size_t &size) {
    T v{};
    const size_t n = size < sizeof v ? size : sizeof v;
    std::memcpy(&v, data, n);
    data += n;
    size -= n;
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const auto zeroMode = take<qint16>(data, size);
    const auto fillZero = take<qint16>(data, size);
    const auto shift = take<qint16>(data, size);
    const auto digitCount = take<qint16>(data, size);
    const auto kind = take<uint8_t>(data, size);

    QVariant value;
    switch (kind % 5) {
    case 0:
        value =
            QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
        break;
    case 1:
        value = take<double>(data, size);
        break;
    case 2:
        value = take<qint64>(data, size);
        break;
    case 3:
        value = static_cast<int>(take<qint32>(data, size));
        break;
    default:
        break; // never set
    }

    // As the setters would leave them, and as they are taken raw from the cell dialog.
    q47::SegmentModel model;
    model.setDigitCount(digitCount);
    model.setFillZero(fillZero);
    model.setShift(shift);
    model.setZeroMode(zeroMode);
    model.setValue(value);
    if (model.displayText().size() > model.DigitCount())
        std::abort();
    const QString raw = q47::digitDisplayText(value, zeroMode, fillZero, shift, digitCount);
    if (digitCount >= 0 && raw.size() > digitCount)
        std::abort();
    return 0;
}
