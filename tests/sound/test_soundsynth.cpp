#include "soundsynth.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QtEndian>

using namespace q47::soundgen;

namespace {

quint32 le32(const QByteArray &b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint16 le16(const QByteArray &b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 be32(const QByteArray &b, int at) {
    return qFromBigEndian<quint32>(b.constData() + at);
}
quint16 be16(const QByteArray &b, int at) {
    return qFromBigEndian<quint16>(b.constData() + at);
}

QByteArray readSample(const QString &name) {
    QFile file(QStringLiteral(Q47_SAMPLE_SOUND_DIR "/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

TEST(MidiVarLen, EncodesTheStandardExamples) {
    struct Case {
        std::uint32_t value;
        QByteArray bytes;
    };
    const Case cases[] = {
        {0x00, QByteArray("\x00", 1)},
        {0x7F, QByteArray("\x7F")},
        {0x80, QByteArray("\x81\x00", 2)},
        {0x2000, QByteArray("\xC0\x00", 2)},
        {0x3FFF, QByteArray("\xFF\x7F")},
        {0x4000, QByteArray("\x81\x80\x00", 3)},
        {0x1FFFFF, QByteArray("\xFF\xFF\x7F")},
        {0x200000, QByteArray("\x81\x80\x80\x00", 4)},
        {0x0FFFFFFF, QByteArray("\xFF\xFF\xFF\x7F")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(midiVarLen(c.value).toHex(), c.bytes.toHex()) << std::hex << c.value;
}

TEST(WavFile, HeaderDescribesMonoSixteenBitPcm) {
    Pcm pcm;
    pcm.rate = 8000;
    pcm.samples = {0, 1, -1, 32767, -32768};
    const QByteArray wav = wavFile(pcm);
    ASSERT_EQ(wav.size(), 44 + 10);
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(le32(wav, 4), 46u);
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(wav, 16), 16u);
    EXPECT_EQ(le16(wav, 20), 1u);
    EXPECT_EQ(le16(wav, 22), 1u);
    EXPECT_EQ(le32(wav, 24), 8000u);
    EXPECT_EQ(le32(wav, 28), 16000u);
    EXPECT_EQ(le16(wav, 32), 2u);
    EXPECT_EQ(le16(wav, 34), 16u);
    EXPECT_EQ(wav.mid(36, 4), "data");
    EXPECT_EQ(le32(wav, 40), 10u);
    EXPECT_EQ(static_cast<qint16>(le16(wav, 50)), 32767);
    EXPECT_EQ(static_cast<qint16>(le16(wav, 52)), -32768);
}

TEST(Render, LastsTheDurationAndStaysBelowFullScale) {
    for (const SoundSpec &spec : sampleSounds()) {
        SCOPED_TRACE(spec.name.toStdString());
        const Pcm pcm = render(spec);
        EXPECT_EQ(pcm.samples.size(), static_cast<std::size_t>(std::lround(spec.duration * 22050)));
        int peak = 0;
        for (std::int16_t s : pcm.samples)
            peak = std::max(peak, std::abs(int{s}));
        EXPECT_GT(peak, 20000);
        EXPECT_LT(peak, 32000);
        // Ends in silence, without a click.
        EXPECT_LT(std::abs(int{pcm.samples.back()}), 100);
        for (const Note &n : spec.notes)
            EXPECT_LE(n.start + n.length, spec.duration);
    }
}

TEST(Render, NoteStartsWhereItIsWritten) {
    const SoundSpec spec{QStringLiteral("t"), Timbre::Bell, 14, 0.5, {{0.25, 0.2, 69, 100}}};
    const Pcm pcm = render(spec, 8000);
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(pcm.samples[static_cast<std::size_t>(i)], 0) << i;
    EXPECT_NE(pcm.samples[2010], 0);
}

TEST(MidiFile, IsOneFormatZeroTrackWithBalancedNotes) {
    for (const SoundSpec &spec : sampleSounds()) {
        SCOPED_TRACE(spec.name.toStdString());
        const QByteArray mid = midiFile(spec);
        ASSERT_EQ(mid.left(4), "MThd");
        EXPECT_EQ(be32(mid, 4), 6u);
        EXPECT_EQ(be16(mid, 8), 0u);
        EXPECT_EQ(be16(mid, 10), 1u);
        EXPECT_EQ(be16(mid, 12), 480u);
        ASSERT_EQ(mid.mid(14, 4), "MTrk");
        EXPECT_EQ(be32(mid, 18), static_cast<quint32>(mid.size() - 22));
        EXPECT_TRUE(mid.endsWith(QByteArray("\xFF\x2F\x00", 3)));

        // Walk the events: every note that starts also stops, and the end falls on the duration.
        int at = 22;
        quint32 tick = 0;
        int open = 0;
        int program = -1;
        auto varLen = [&] {
            quint32 v = 0;
            quint8 b = 0;
            do {
                b = static_cast<quint8>(mid[at++]);
                v = (v << 7) | (b & 0x7F);
            } while (b & 0x80);
            return v;
        };
        while (at < mid.size()) {
            tick += varLen();
            const auto status = static_cast<quint8>(mid[at++]);
            if (status == 0xFF) {
                const auto type = static_cast<quint8>(mid[at++]);
                const quint32 len = varLen();
                at += static_cast<int>(len);
                if (type == 0x2F)
                    break;
            } else if (status == 0xC0) {
                program = static_cast<quint8>(mid[at++]);
            } else if (status == 0x90) {
                ++open;
                at += 2;
            } else if (status == 0x80) {
                --open;
                ASSERT_GE(open, 0);
                at += 2;
            } else {
                FAIL() << "unexpected status " << int{status};
            }
        }
        EXPECT_EQ(at, mid.size());
        EXPECT_EQ(open, 0);
        EXPECT_EQ(program, spec.program);
        EXPECT_EQ(tick, static_cast<quint32>(std::lround(spec.duration * 960)));
    }
}

TEST(Samples, CommittedFilesAreWhatTheGeneratorWrites) {
    for (const SoundSpec &spec : sampleSounds()) {
        SCOPED_TRACE(spec.name.toStdString());
        EXPECT_EQ(readSample(spec.name + QStringLiteral(".wav")), wavFile(render(spec)));
        EXPECT_EQ(readSample(spec.name + QStringLiteral(".mid")), midiFile(spec));
        // The encoder's exact bytes depend on its version; it must at least be MPEG audio.
        const QByteArray mp3 = readSample(spec.name + QStringLiteral(".mp3"));
        ASSERT_GT(mp3.size(), 2);
        EXPECT_TRUE(mp3.startsWith("ID3") || (static_cast<quint8>(mp3[0]) == 0xFF &&
                                              (static_cast<quint8>(mp3[1]) & 0xE0) == 0xE0));
    }
    for (const SoundSpec &spec : preAnnouncementSounds())
        EXPECT_EQ(readSample(spec.name + QStringLiteral(".wav")), wavFile(render(spec)));
}

} // namespace
