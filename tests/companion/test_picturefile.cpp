#include "gifwriter.h"
#include "picturefile.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace q47;
using N = q47::ErrorNumber;

namespace {

// A picture with detail everywhere, so that a cut or shifted decoding shows; 256 colours,
// so that a GIF keeps it exactly.
QImage pattern(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7) & 0xC0, (y * 5) & 0xE0, ((x ^ y) * 3) & 0xE0));
    return img;
}

QByteArray encoded(const QImage &img, const char *format) {
    if (qstrcmp(format, "gif") == 0)
        return panelgen::encodeGif(img);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(90);
    EXPECT_TRUE(writer.write(img)) << format;
    return bytes;
}

void le(QByteArray &b, qint64 v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

// A 24-bit BMP declaring a size, with a few bytes of pixels.
QByteArray bmpDeclaring(int w, int h) {
    QByteArray b("BM");
    for (qint64 v : {70, 0, 54, 40, w, h, 0x180001, 0, 0, 0, 0, 0, 0})
        le(b, v, 4);
    return b + QByteArray(16, '\x7F');
}

// A small GIF declaring a huge canvas, then many one-pixel frames.
QByteArray gifBomb() {
    QByteArray b("GIF89a\xFF\xFF\xFF\xFF\x80\0\0\xFF\xFF\xFF\xFF\xFF\xFF", 19);
    for (int i = 0; i < 20000; ++i) {
        b.append(char(0x2C));
        le(b, i, 2);
        le(b, i, 2);
        le(b, 0x10001, 4); // 1 x 1
        b.append("\0\x02\x02\x44\x01\0", 6);
    }
    return b.append(char(0x3B));
}

class PictureFile : public ::testing::Test {
protected:
    QString write(const QString &name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(PictureFile, EachOfferedFormatReadsByContent) {
    const QImage source = pattern(709, 244);
    for (const char *format : {"bmp", "gif", "jpeg", "png"}) {
        SCOPED_TRACE(format);
        // The wrong extension on purpose: the content decides.
        const Result<QImage> read =
            loadPicture(write(QStringLiteral("panel.txt"), encoded(source, format)));
        ASSERT_TRUE(read);
        EXPECT_EQ(read->size(), QSize(709, 244));
        if (qstrcmp(format, "jpeg") != 0) {
            EXPECT_EQ(read->convertToFormat(QImage::Format_RGB32), source);
        }
    }
}

TEST_F(PictureFile, CommittedSamplesAreBoardSized) {
    for (const char *name : {"night.jpg", "led.gif", "day.bmp"})
        EXPECT_EQ(loadPicture(QStringLiteral(Q47_SAMPLES "/panels/") + name)->size(),
                  QSize(709, 244))
            << name;
}

// Files made to hurt the reader: each is only refused as not a picture.
TEST_F(PictureFile, HostileFilesAreNotPictures) {
    const QByteArray jpeg = encoded(pattern(709, 244), "jpeg");
    const std::pair<const char *, QByteArray> cases[] = {
        {"empty.jpg", QByteArray()},
        {"cut.jpg", jpeg.left(jpeg.size() * 2 / 3)},
        {"cut-in-header.jpg", jpeg.left(40)},
        {"huge.bmp", bmpDeclaring(30000, 30000)},
        {"bomb.gif", gifBomb()},
        {"text.bmp", QByteArray("BM is not enough to make a picture\r\n").repeated(40)},
        {"tiff.bmp", QByteArray("II*\0", 4) + QByteArray(64, '\0')},
    };
    for (const auto &[name, bytes] : cases) {
        const Result<QImage> read = loadPicture(write(QString::fromUtf8(name), bytes));
        ASSERT_FALSE(read) << name;
        EXPECT_EQ(read.error().number, N::InvalidPicture) << name;
    }
}

// The memory limit counts four bytes a pixel whatever the file's own depth.
TEST_F(PictureFile, PicturesOverTheMemoryLimitAreRefused) {
    for (const auto &[height, error] :
         {std::pair{4096, N::None}, std::pair{4097, N::InvalidPicture}}) {
        QImage grey(4096, height, QImage::Format_Grayscale8);
        grey.fill(0x80);
        const QString path = write(QStringLiteral("big.png"), encoded(grey, "png"));
        grey = QImage();
        const Result<QImage> read = loadPicture(path);
        EXPECT_EQ(read ? N::None : read.error().number, error) << height;
    }
}

TEST_F(PictureFile, FileSystemFailuresHaveTheirNumbers) {
    const QString fifo = dir.filePath(QStringLiteral("pipe.bmp"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString good = write(QStringLiteral("good.png"), encoded(pattern(8, 8), "png"));
    const std::pair<QString, N> cases[] = {
        {dir.filePath(QStringLiteral("gone.jpg")), N::FileNotFound},
        {dir.path(), N::BadPath},
        {good + QStringLiteral("/x.png"), N::BadPath},
        {QStringLiteral("bad") + QChar(0) + QStringLiteral(".png"), N::BadPath},
        {QString(), N::BadPath},
        {fifo, N::BadPath}, // must not wait for a writer
        {QStringLiteral("/proc/self/mem"), N::DeviceIO},
    };
    for (const auto &[path, error] : cases) {
        const Result<QImage> read = loadPicture(path);
        ASSERT_FALSE(read) << qPrintable(path);
        EXPECT_EQ(read.error().number, error) << qPrintable(path);
        EXPECT_EQ(read.error().subject, Error::Subject::Picture);
    }
}
