#include "soundfiletype.h"

#include <gtest/gtest.h>

using q47::SoundDevice;

namespace {

struct PathCase {
    const char *path;
    SoundDevice device;
};

void PrintTo(const PathCase &c, std::ostream *os) {
    *os << '"' << c.path << '"';
}

class DeviceByName : public ::testing::TestWithParam<PathCase> {};

TEST_P(DeviceByName, ComesFromTheLastThreeCharacters) {
    EXPECT_EQ(q47::soundDeviceForPath(QString::fromUtf8(GetParam().path)), GetParam().device);
}

INSTANTIATE_TEST_SUITE_P(Paths, DeviceByName,
                         ::testing::Values(PathCase{"/snd/step.wav", SoundDevice::WaveAudio},
                                           PathCase{"/snd/STEP.WAV", SoundDevice::WaveAudio},
                                           PathCase{"/snd/a.wAv", SoundDevice::WaveAudio},
                                           PathCase{"/snd/chime.mp3", SoundDevice::MpegVideo},
                                           PathCase{"/snd/chime.MP3", SoundDevice::MpegVideo},
                                           PathCase{"/snd/song.mid", SoundDevice::Sequencer},
                                           PathCase{"/snd/song.MID", SoundDevice::Sequencer},
                                           // No dot is needed, and none is looked for.
                                           PathCase{"/snd/wav", SoundDevice::WaveAudio},
                                           PathCase{"/snd/xmid", SoundDevice::Sequencer},
                                           PathCase{"/snd/x.wave", SoundDevice::None},
                                           PathCase{"/snd/x.midi", SoundDevice::None},
                                           PathCase{"/snd/x.ogg", SoundDevice::None},
                                           PathCase{"/snd/x.wav ", SoundDevice::None},
                                           PathCase{"/snd/x.wma", SoundDevice::None},
                                           PathCase{"/snd/音.wav", SoundDevice::WaveAudio},
                                           PathCase{"av", SoundDevice::None},
                                           PathCase{"", SoundDevice::None}));

} // namespace
