// Feeds arbitrary bytes to the state file reader: it must fail cleanly or give records that,
// written again, read back the same and repeat the bytes read (but for the entry count, and
// what follows the last item).
#include "statefile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const q47::Result<q47::StateRecords> read = q47::decodeState(bytes);
    if (!read) {
        if (read.error().number == q47::ErrorNumber::None || read.error().detail.isEmpty())
            std::abort();
        return 0;
    }
    // Written again, the file is the bytes read, but for the entry count, always 50.
    const QByteArray written = q47::encodeState(*read);
    if (written.size() > bytes.size())
        std::abort();
    QByteArray expected = bytes.first(written.size()).toByteArray();
    const qsizetype count = written.size() - q47::kCellCount * 6 - 2;
    expected[count] = 50;
    expected[count + 1] = 0;
    if (written != expected)
        std::abort();
    const q47::Result<q47::StateRecords> again = q47::decodeState(written);
    if (!again || !(*again == *read))
        std::abort();
    return 0;
}
