#include "cp932.h"

#include <QList>

#include <cerrno>
#include <iconv.h>

namespace q47 {
namespace {

// iconv descriptors are cheap to keep; one pair per thread avoids sharing shift state.
class Converter {
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; returns false and stops at the first bad input.
    bool run(char *&in, size_t &inLeft, QByteArray &out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            char buf[256];
            char *o = buf;
            size_t oLeft = sizeof buf;
            const size_t r = iconv(cd_, &in, &inLeft, &o, &oLeft);
            out.append(buf, static_cast<qsizetype>(o - buf));
            if (r == static_cast<size_t>(-1) && errno != E2BIG)
                return false;
        }
        return true;
    }

private:
    iconv_t cd_;
};

Converter &encoder() {
    thread_local Converter c("CP932", "UTF-32LE");
    return c;
}

Converter &decoder() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

} // namespace

QByteArray toCp932(const QString &text) {
    QByteArray out;
    if (text.isEmpty())
        return out;
    QList<uint> ucs4 = text.toUcs4();
    Converter &c = encoder();
    if (!c.valid())
        return text.toLatin1();
    char *in = reinterpret_cast<char *>(ucs4.data());
    size_t left = static_cast<size_t>(ucs4.size()) * sizeof(uint);
    out.reserve(ucs4.size() * 2);
    while (!c.run(in, left, out)) {
        // Unmappable or invalid code point: replace it and go on with the next one.
        out.append('?');
        in += sizeof(uint);
        left -= sizeof(uint);
    }
    return out;
}

QString fromCp932(const QByteArray &bytes) {
    if (bytes.isEmpty())
        return {};
    Converter &c = decoder();
    if (!c.valid())
        return QString::fromLatin1(bytes);
    QByteArray copy = bytes;
    char *in = copy.data();
    size_t left = static_cast<size_t>(copy.size());
    QByteArray utf8;
    utf8.reserve(copy.size() * 2);
    while (!c.run(in, left, utf8)) {
        utf8.append('?');
        ++in;
        --left;
    }
    return QString::fromUtf8(utf8);
}

int LenB_ASCII(const QString &text) {
    return static_cast<int>(toCp932(text).size());
}

QString MidB_ASCII(const QString &text, int start, int count) {
    const QByteArray bytes = toCp932(text);
    if (start < 1 || count <= 0 || start > bytes.size())
        return {};
    return fromCp932(bytes.mid(start - 1, count));
}

} // namespace q47
