// Feeds arbitrary bytes to the announcement list reader: the lines must cover the input
// exactly, and every entry read, written again, must read back the same (a double quote,
// which a list cannot hold, is written as a single one).
#include "tapelist.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    qsizetype at = 0;
    for (const QByteArrayView line : q47::splitTapeLines(bytes)) {
        // Each line starts where the previous line end stopped and holds no line end itself.
        if (line.data() != bytes.data() + at || line.contains('\r') || line.contains('\n'))
            std::abort();
        at += line.size();
        if (at < bytes.size())
            at += bytes.sliced(at).startsWith("\r\n") ? 2 : 1;

        const q47::TapeLine read = q47::parseTapeLine(line);
        if ((read.error == q47::TapeLine::Error::None) != (read.errorField == 0))
            std::abort();
        q47::TapeEntry expected = read.entry;
        expected.TapeText.replace(QLatin1Char('"'), QLatin1Char('\''));
        const q47::TapeLine again = q47::parseTapeLine(q47::formatTapeLine(read.entry));
        if (again.entry != expected || again.error != q47::TapeLine::Error::None ||
            again.unclosedQuote || again.extraFields != 0)
            std::abort();
    }
    if (at != bytes.size())
        std::abort();
    return 0;
}
