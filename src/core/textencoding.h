#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace q47 {

// Follows a text's bytes piece by piece, without keeping them, to tell whether they are UTF-8,
// Shift_JIS (CP932) or neither, and on which lines the first bytes each encoding rejects and
// the first NUL byte stand. CP932 is judged by its byte structure (lead and trail bytes).
class EncodingScan {
public:
    void add(QByteArrayView bytes);
    // Ends the text: a character cut off by the end is a bad one.
    void finish();

    bool utf8() const { return firstBadUtf8Line_ == 0; }
    bool cp932() const { return firstBadCp932Line_ == 0; }
    int firstBadUtf8Line() const { return firstBadUtf8Line_; }
    int firstBadCp932Line() const { return firstBadCp932Line_; }
    int firstNulLine() const { return firstNulLine_; }
    // As many characters of two bytes or more that UTF-8 takes as bytes it rejects: one bad
    // byte in UTF-8 text is a fault, not another encoding.
    bool mostlyUtf8() const { return utf8Multibyte_ >= utf8Bad_; }
    // Shift_JIS is taken only for a text that is not UTF-8, not mostly UTF-8, and CP932.
    bool isCp932Text() const { return !utf8() && !mostlyUtf8() && cp932(); }

private:
    void utf8Byte(unsigned char c);
    void cp932Byte(unsigned char c);
    void badUtf8();
    void badCp932();

    int line_ = 1;
    int utf8Need_ = 0; // continuation bytes still expected
    unsigned char utf8Low_ = 0x80, utf8High_ = 0xBF;
    qint64 utf8Multibyte_ = 0, utf8Bad_ = 0;
    bool cp932Trail_ = false;
    int firstBadUtf8Line_ = 0, firstBadCp932Line_ = 0, firstNulLine_ = 0;
};

} // namespace q47
