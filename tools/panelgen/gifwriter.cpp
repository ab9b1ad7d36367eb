#include "gifwriter.h"

#include <vector>

namespace q47::panelgen {

namespace {

constexpr int kMinCodeSize = 8;
constexpr int kClear = 1 << kMinCodeSize;
constexpr int kEnd = kClear + 1;
constexpr int kMaxCode = 4095;

void put16(QByteArray &out, int v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

// Codes packed low bit first, cut into the format's sub-blocks of at most 255 bytes.
class CodeWriter {
public:
    explicit CodeWriter(QByteArray &out) : out_(out) {}
    void write(int code, int bits) {
        acc_ |= quint32(code) << count_;
        count_ += bits;
        while (count_ >= 8) {
            byte(char(acc_ & 0xFF));
            acc_ >>= 8;
            count_ -= 8;
        }
    }
    void finish() {
        if (count_ > 0)
            byte(char(acc_ & 0xFF));
        flushBlock();
        out_.append('\0');
    }

private:
    void byte(char b) {
        block_.append(b);
        if (block_.size() == 255)
            flushBlock();
    }
    void flushBlock() {
        if (block_.isEmpty())
            return;
        out_.append(char(block_.size()));
        out_.append(block_);
        block_.clear();
    }
    QByteArray &out_;
    QByteArray block_;
    quint32 acc_ = 0;
    int count_ = 0;
};

void compress(const QImage &indexed, QByteArray &out) {
    out.append(char(kMinCodeSize));
    CodeWriter codes(out);
    // next[code * 256 + byte]: the code of that string followed by the byte, 0 for none.
    std::vector<quint16> next(size_t(kMaxCode + 1) * 256, 0);
    int codeSize = kMinCodeSize + 1;
    int lastCode = kEnd;
    codes.write(kClear, codeSize);
    int prefix = -1;
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar *row = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x) {
            const int k = row[x];
            if (prefix < 0) {
                prefix = k;
                continue;
            }
            quint16 &slot = next[size_t(prefix) * 256 + size_t(k)];
            if (slot != 0) {
                prefix = slot;
                continue;
            }
            codes.write(prefix, codeSize);
            slot = quint16(++lastCode);
            // The reader widens its codes as soon as its table reaches the next power of two.
            if (lastCode >= (1 << codeSize) && codeSize < 12)
                ++codeSize;
            if (lastCode == kMaxCode) {
                codes.write(kClear, codeSize);
                std::fill(next.begin(), next.end(), quint16(0));
                codeSize = kMinCodeSize + 1;
                lastCode = kEnd;
            }
            prefix = k;
        }
    }
    if (prefix >= 0)
        codes.write(prefix, codeSize);
    // The reader adds one more entry on that last code and may widen before the end code.
    if (lastCode != kEnd && lastCode + 1 >= (1 << codeSize) && codeSize < 12)
        ++codeSize;
    codes.write(kEnd, codeSize);
    codes.finish();
}

} // namespace

QByteArray encodeGif(const QImage &picture) {
    QImage indexed = picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    QList<QRgb> palette = indexed.colorTable();
    palette.resize(256, qRgb(0, 0, 0));

    QByteArray out("GIF89a");
    put16(out, indexed.width());
    put16(out, indexed.height());
    out.append(char(0xF7)); // a global table of 256 colours, 8 bits each
    out.append('\0');       // background colour
    out.append('\0');       // square pixels
    for (QRgb c : palette) {
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    out.append(char(0x2C));
    put16(out, 0);
    put16(out, 0);
    put16(out, indexed.width());
    put16(out, indexed.height());
    out.append('\0'); // no local table, not interlaced
    compress(indexed, out);
    out.append(char(0x3B));
    return out;
}

} // namespace q47::panelgen
