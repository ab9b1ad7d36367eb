#include "textencoding.h"

#include <cstring>

namespace q47 {

void EncodingScan::badUtf8() {
    ++utf8Bad_;
    if (firstBadUtf8Line_ == 0)
        firstBadUtf8Line_ = line_;
}

void EncodingScan::badCp932() {
    if (firstBadCp932Line_ == 0)
        firstBadCp932Line_ = line_;
}

// The ranges of RFC 3629: no overlong forms, no surrogates, nothing past U+10FFFF.
void EncodingScan::utf8Byte(unsigned char c) {
    if (utf8Need_ > 0) {
        if (c >= utf8Low_ && c <= utf8High_) {
            utf8Low_ = 0x80;
            utf8High_ = 0xBF;
            if (--utf8Need_ == 0)
                ++utf8Multibyte_;
            return;
        }
        // The character is cut short; this byte may start the next one.
        badUtf8();
        utf8Need_ = 0;
        utf8Low_ = 0x80;
        utf8High_ = 0xBF;
    }
    if (c < 0x80)
        return;
    if (c >= 0xC2 && c <= 0xDF) {
        utf8Need_ = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
        utf8Need_ = 2;
        utf8Low_ = c == 0xE0 ? 0xA0 : 0x80;
        utf8High_ = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        utf8Need_ = 3;
        utf8Low_ = c == 0xF0 ? 0x90 : 0x80;
        utf8High_ = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        badUtf8();
    }
}

void EncodingScan::cp932Byte(unsigned char c) {
    if (cp932Trail_) {
        cp932Trail_ = false;
        if ((c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC))
            return;
        badCp932(); // a lead byte without its trail; this byte stands on its own
    }
    if (c < 0x80 || (c >= 0xA1 && c <= 0xDF))
        return;
    if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC))
        cp932Trail_ = true;
    else
        badCp932();
}

void EncodingScan::add(QByteArrayView bytes) {
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    constexpr quint64 kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
    const auto hasZeroByte = [](quint64 w) { return ((w - kOnes) & ~w & kHighs) != 0; };
    for (qsizetype i = 0; i < n; ++i) {
        // Plain ASCII without NUL or line break needs no step, eight bytes at a time.
        if (utf8Need_ == 0 && !cp932Trail_) {
            for (; i + 8 <= n; i += 8) {
                quint64 w;
                std::memcpy(&w, p + i, 8);
                if ((w & kHighs) || hasZeroByte(w) || hasZeroByte(w ^ (kOnes * '\n')))
                    break;
            }
            if (i >= n)
                break;
        }
        const unsigned char c = p[i];
        if (c == 0 && firstNulLine_ == 0)
            firstNulLine_ = line_;
        utf8Byte(c);
        cp932Byte(c);
        if (c == '\n')
            ++line_;
    }
}

void EncodingScan::finish() {
    if (utf8Need_ > 0) {
        badUtf8();
        utf8Need_ = 0;
    }
    if (cp932Trail_) {
        badCp932();
        cp932Trail_ = false;
    }
}

} // namespace q47
