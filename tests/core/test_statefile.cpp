#include "statefile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <random>

using namespace q47;

namespace {

template <SettingKind K> OptionValue &option(StateRecords &r, SettingId<K> s) {
    return r.options[s.slot];
}

// Every setting away from its start value; texts are Japanese paths.
void moveAwayFromStart(SettingsStore &store) {
    for (int k = 0; k < kSettingCount; ++k) {
        const SettingRow &row = kSettingCatalogue[size_t(k)];
        switch (row.kind) {
        case SettingKind::Text:
            store.setValue(k, QStringLiteral("/home/運転士/路線%1.wav").arg(k));
            break;
        case SettingKind::Flag:
            store.setValue(k, 1);
            break;
        case SettingKind::Choice:
            if (store.value(k).toInt() == 0)
                store.setValue(k, -1);
            break;
        case SettingKind::Index:
            store.setValue(k, row.listSize - 1);
            break;
        case SettingKind::Colour:
            store.setValue(k, 0x00FEDC00u + quint32(k));
            break;
        }
    }
}

// A file as the program writes it in use.
StateRecords sample() {
    SettingsStore store;
    moveAwayFromStart(store);
    StateRecords r;
    copyOptionsFromStore(store, r);
    r.controlPanel = {1, 5, -3, 1, 0, 12000, -450};
    r.mainWindow = {-15, 30};
    for (int k = 0; k < kCustomColorCount; ++k)
        r.customColors[size_t(k)] = 0x00010203u * quint32(k);
    for (int k = 0; k < kCellCount; ++k)
        r.cells[size_t(k)] = {qint16(k % 3), qint16(k % 2), qint16(-(k % 4))};
    return r;
}

void setEveryText(StateRecords &r, const StateText &text) {
    for (size_t k = 0; k < r.options.size(); ++k) {
        if (optionLayout()[k].kind == SettingKind::Text)
            r.options[k].text = text;
    }
}

QByteArray with(QByteArray bytes, qsizetype at, const QByteArray &patch) {
    return bytes.replace(at, patch.size(), patch);
}

} // namespace

TEST(StateFileLayout, FieldsSitAtTheirFixedOffsets) {
    StateRecords r;
    option(r, setting::LabelColourOn1).number = 0x00112233;
    option(r, setting::LabelStyle).number = -1;
    option(r, setting::OffPanelUser).number = -1;
    option(r, setting::DataColumnCell).number = 7;
    option(r, setting::NameBold).number = 1;
    option(r, setting::DateFixed).number = -1;
    r.controlPanel.scrollSpeed = -2;
    r.controlPanel.previewOpen = 1;
    r.controlPanel.topTwips = 0x01020304;
    r.mainWindow.topTwips = 0x0A0B0C0D;
    r.customColors[16] = 0xAABBCC;
    r.cells[49].FillZero = -1;
    const QByteArray file = encodeState(r);
    ASSERT_EQ(file.size(), 538);
    const struct {
        qsizetype offset;
        QByteArray hex;
    } expected[] = {
        {10, "33221100"},  {18, "ffff"},  {28, "ffff"},      {74, "0700"},
        {86, "0100"},      {134, "ffff"}, {136, "0000"}, // Label10, empty
        {140, "feffffff"}, {150, "0100"}, {156, "04030201"}, {164, "0d0c0b0a"},
        {232, "ccbbaa00"}, {236, "3200"}, {536, "ffff"},
    };
    for (const auto &e : expected)
        EXPECT_EQ(file.mid(e.offset, e.hex.size() / 2).toHex(), e.hex) << e.offset;

    option(r, setting::DataFolder).text.setText(QStringLiteral("運賃"));
    EXPECT_EQ(encodeState(r).first(8).toHex(), QByteArray("0400895e92c00000"));
}

TEST(StateFileLayout, MirrorsEverySettingOnceAndCopiesThroughTheStore) {
    const auto layout = optionLayout();
    SettingsStore store;
    moveAwayFromStart(store);
    StateRecords out;
    copyOptionsFromStore(store, out);
    const Result<StateRecords> in = decodeState(encodeState(out));
    ASSERT_TRUE(in);
    SettingsStore restored;
    qsizetype last = -1;
    EXPECT_TRUE(copyOptionsToStore(*in, restored, [&](qsizetype k) { last = k; }));
    EXPECT_EQ(last, qsizetype(layout.size()) - 1);
    for (const OptionField &f : layout)
        EXPECT_EQ(restored.value(f.slot), store.value(f.slot)) << qPrintable(controlName(f.slot));

    // A list index outside its list is refused, as the drop-down list refuses it.
    StateRecords bad = *in;
    option(bad, setting::LabelStyle).number = 12;
    const Result<> refused = copyOptionsToStore(bad, restored);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().number, ErrorNumber::InvalidValue);
}

TEST(StateFileCodec, LoadingAndSavingUnchangedReproducesTheBytes) {
    StateRecords empty = sample();
    setEveryText(empty, StateText());
    StateRecords longest = sample();
    setEveryText(longest, StateText(QLatin1Char('a') + QString(32767, QChar(u'駅'))));
    StateRecords odd = sample();
    const QByteArray oddBytes[] = {"\x87\x40\xF0\x40", "\xA0\x80\xFD\xFE\xFF", "abc\x81", "\x82"};
    const TextSetting oddFields[] = {setting::SoundFolder, setting::OffPanelFile,
                                     setting::PreSoundFile, setting::FixedDate};
    for (size_t k = 0; k < std::size(oddBytes); ++k)
        option(odd, oddFields[k]).text = StateText::fromBytes(oddBytes[k]);

    const struct {
        const char *name;
        QByteArray file;
        QByteArray trailing;
    } cases[] = {
        {"every text empty", encodeState(empty), {}},
        {"in use", encodeState(sample()), {}},
        {"texts at their longest", encodeState(longest), {}},
        {"bytes CP932 cannot decode", encodeState(odd), {}},
        {"data after the last item", encodeState(sample()), "trailing"},
    };
    EXPECT_EQ(cases[0].file.size(), 538);
    EXPECT_EQ(cases[2].file.size(), 538 + 17 * 0xFFFF);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Result<StateRecords> read = decodeState(c.file + c.trailing);
        ASSERT_TRUE(read) << qPrintable(read.error().text());
        EXPECT_EQ(encodeState(*read), c.file);
        // Through the settings and back, as a start and an exit without changes do.
        SettingsStore store;
        StateRecords again = *read;
        ASSERT_TRUE(copyOptionsToStore(again, store));
        copyOptionsFromStore(store, again);
        EXPECT_EQ(encodeState(again), c.file);
    }
}

TEST(StateFileCodec, TextsAreCp932WithQuestionMarksAndCutAtACharacter) {
    StateText t = StateText::fromBytes("\xA0\x89\x5E");
    EXPECT_EQ(t.text(), QStringLiteral("?運"));
    t.setText(QStringLiteral("C:/データ/😀/é"));
    EXPECT_EQ(t.bytes(), QByteArray("C:/\x83\x66\x81\x5B\x83\x5E/?/?"));
    EXPECT_EQ(StateText::fromBytes(t.bytes()).text(), QStringLiteral("C:/データ/?/?"));

    // 70,000 two-byte characters are cut to 32,767 whole ones, one ASCII byte first to 32,767.
    const QString many(70000, QChar(u'駅'));
    EXPECT_EQ(StateText(many).bytes().size(), 65534);
    EXPECT_EQ(StateText(QLatin1Char('a') + many).bytes().size(), 65535);
    EXPECT_EQ(StateText::fromBytes(StateText(many).bytes()).text(), QString(32767, QChar(u'駅')));
}

TEST(StateFileCodec, EntryCountIsIgnored) {
    const QByteArray file = encodeState(sample());
    const qsizetype at = file.size() - 302;
    ASSERT_EQ(file.mid(at, 2).toHex(), "3200");
    const Result<StateRecords> seven = decodeState(with(file, at, QByteArray("\x07\x00", 2)));
    ASSERT_TRUE(seven);
    EXPECT_TRUE(*seven == sample());
}

TEST(StateFileCodec, DamagedFilesGiveAnErrorNotACrash) {
    for (const QByteArray &whole : {encodeState(StateRecords{}), encodeState(sample())}) {
        for (qsizetype n = 0; n < whole.size(); ++n) {
            const Result<StateRecords> r = decodeState(QByteArrayView(whole).first(n));
            ASSERT_FALSE(r) << n;
            ASSERT_TRUE(r.error().number == ErrorNumber::StateTruncated ||
                        r.error().number == ErrorNumber::StateTextPastEnd)
                << n;
            ASSERT_FALSE(r.error().detail.isEmpty());
        }
    }
    const QByteArray padded = encodeState(StateRecords{}) + QByteArray(62, '\0');
    const struct {
        const char *name;
        QByteArray file;
        ErrorNumber error;
    } cases[] = {
        {"text count 65535 in 600 bytes", with(padded, 0, "\xFF\xFF"),
         ErrorNumber::StateTextPastEnd},
        {"all bytes 0xFF", QByteArray(600, '\xFF'), ErrorNumber::StateTextPastEnd},
        {"empty", QByteArray(), ErrorNumber::StateTruncated},
    };
    for (const auto &c : cases)
        EXPECT_EQ(decodeState(c.file).error().number, c.error) << c.name;
}

TEST(StateFileLocation, BesideTheProgramWhenItsFolderTakesFiles) {
    QTemporaryDir dir;
    const QString fallback = dir.filePath(QStringLiteral("config"));
    const struct {
        QString program;
        QString expected;
    } cases[] = {
        {dir.filePath(QStringLiteral("Q47")), dir.filePath(QStringLiteral("Q47.in4"))},
        {dir.filePath(QStringLiteral("Q47.exe")), dir.filePath(QStringLiteral("Q47.in4"))},
        // /proc takes no new files, not even from root.
        {QStringLiteral("/proc/Q47"), fallback + QStringLiteral("/Q47.in4")},
        {dir.filePath(QStringLiteral("gone/Q47")), fallback + QStringLiteral("/Q47.in4")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(stateFilePath(c.program, fallback), c.expected) << qPrintable(c.program);
    // Asking leaves nothing behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
}

TEST(StateFile, FirstStartThenUnreadableFilesAreKeptBeforeTheNextSave) {
    QTemporaryDir dir;
    StateFile state(dir.filePath(QStringLiteral("new/Q47.in4")));
    const Result<std::optional<StateRecords>> none = state.load();
    EXPECT_TRUE(none && !*none);
    ASSERT_TRUE(state.save(StateRecords{}));

    const struct {
        const char *name;
        QByteArray content;
        ErrorNumber error;
    } cases[] = {
        {"garbage", "garbage", ErrorNumber::StateTextPastEnd},
        {"too large", QByteArray(qsizetype(kStateFileMaxBytes) + 1, 'x'),
         ErrorNumber::StateTooLarge},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFile file(state.path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(c.content) == c.content.size());
        file.close();
        const Result<std::optional<StateRecords>> failed = state.load();
        ASSERT_FALSE(failed);
        EXPECT_EQ(failed.error().number, c.error);
        ASSERT_TRUE(state.save(sample()));
        QFile bad(state.path() + QStringLiteral(".bad"));
        ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
        EXPECT_TRUE(bad.readAll() == c.content);
        const Result<std::optional<StateRecords>> again = state.load();
        ASSERT_TRUE(again && *again);
        EXPECT_TRUE(**again == sample());
    }
    EXPECT_FALSE(saveStateFile(QStringLiteral("/proc/q47/Q47.in4"), encodeState(sample())));
    // A link in the file's place is refused by name, and what it points to is left alone.
    const QString link = dir.filePath(QStringLiteral("linked.in4"));
    ASSERT_TRUE(QFile::link(state.path(), link));
    const Result<> refused = saveStateFile(link, encodeState(StateRecords{}));
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.error().detail.contains(link)) << qPrintable(refused.error().detail);
    EXPECT_TRUE(loadStateFile(state.path()).value_or(QByteArray()) == encodeState(sample()));
}

TEST(StateFile, KilledWhileSavingLeavesOneWholeFile) {
    QTemporaryDir dir, sources;
    const QString target = dir.filePath(QStringLiteral("Q47.in4"));
    StateRecords longer = sample();
    option(longer, setting::PluginFile).text.setText(QString(3000, QChar(u'券')));
    const QByteArray files[] = {encodeState(sample()), encodeState(longer)};
    QStringList args{target};
    for (const QByteArray &bytes : files) {
        QFile f(sources.filePath(QString::number(args.size())));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        args << f.fileName();
    }
    ASSERT_TRUE(saveStateFile(target, files[0]));

    std::mt19937 random(47);
    std::uniform_int_distribution<int> delay(0, 30);
    for (int run = 0; run < 40; ++run) {
        QProcess saver;
        saver.start(QString::fromUtf8(Q47_STATEFILE_SAVER), args);
        ASSERT_TRUE(saver.waitForReadyRead(30000)) << run;
        QThread::msleep(ulong(delay(random)));
        saver.kill();
        ASSERT_TRUE(saver.waitForFinished(30000));
        ASSERT_EQ(saver.exitStatus(), QProcess::CrashExit) << "the saver stopped by itself";

        const QByteArray read = loadStateFile(target).value_or(QByteArray()).value_or(QByteArray());
        ASSERT_TRUE(read == files[0] || read == files[1])
            << "run " << run << ": " << read.size() << " bytes";
        ASSERT_TRUE(decodeState(read));
    }
    // Whatever a kill left behind does not stand in the way of the next save.
    ASSERT_TRUE(saveStateFile(target, files[1]));
    EXPECT_TRUE(loadStateFile(target).value_or(QByteArray()) == files[1]);
}
