#include "boardstate.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <functional>

namespace q47 {
namespace {

using namespace Qt::StringLiterals;

// Every field away from its start value, with each kind of value a cell receives.
BoardContent fullContent() {
    BoardContent c;
    for (int k = 1; k <= kBoardCells; ++k) {
        c.cells[size_t(k)] = k % 3 == 0   ? QVariant(k * 10)
                             : k % 3 == 1 ? QVariant(QString::number(k))
                                          : QVariant();
        c.formats[size_t(k)] = {qint16(k % 4), qint16(k % 3), qint16(k % 3), qint16(3 + k % 5)};
    }
    c.cells[2] = -1;
    c.cells[5] = 210.5;
    c.cells[8] = u"8888"_s;
    c.cells[11] = true;
    c.cells[14] = qlonglong(1) << 40;
    c.digits = {0x102030, 0x405060, 0x0000FF};
    c.labels.shown = true;
    c.labels.style = 7;
    c.labels.zeroPad = true;
    c.labels.texts[1] = u"整理券"_s;
    c.labels.label1DigitFace = false;
    c.labels.colour = QColor(0xff, 0xee, 0x00);
    c.nameLook = {0x000000, 0x00FF00, 2, true, 40, 800};
    c.stopName = u"市役所前"_s;
    c.stopWritten = u"𠮷野家前🚏"_s;
    c.stopForms[NameLanguage::Kana] = u"しやくしょまえ"_s;
    c.stopForms[NameLanguage::English] = u"City Hall \"North\""_s;
    c.stopForms[NameLanguage::Korean] = u"시청앞"_s;
    c.route.number = u"12"_s;
    c.route.name = u"かもめ号"_s;
    c.route.color = QColor(0x1e, 0x90, 0xff);
    c.route.textColor = Qt::white;
    c.route.headsign = u"駅前行"_s;
    c.route.highestSeiriNo = 17;
    c.route.infoCells.set(3).set(48);
    c.time = QTime(23, 59, 58, 123);
    c.backlight = 2;
    c.picture = BoardPicture::builtIn(1);
    c.cleared = true;
    return c;
}

TEST(BoardState, ComesBackAsItWasSent) {
    for (const BoardContent &content : {fullContent(), BoardContent()}) {
        const Result<BoardContent> decoded = decodeBoardState(encodeBoardState(content));
        ASSERT_TRUE(decoded) << decoded.error().text().toStdString();
        EXPECT_EQ(*decoded, content);
    }
}

TEST(BoardState, LongTextsAreCutAndEveryStateFitsOneMessage) {
    // Control characters are the dearest in JSON (\u0001), and a name of characters outside
    // the BMP must not be cut in the middle of one.
    const QString dearest(kMaxStateNameLength + 40, QChar(1));
    BoardContent content = fullContent();
    for (int k = 1; k <= kBoardCells; ++k)
        content.cells[size_t(k)] = dearest;
    content.stopName = u"x"_s + QString(u"𠮷"_s).repeated(kMaxStateNameLength);
    content.stopWritten = content.route.number = content.route.name = content.route.headsign =
        dearest;
    for (QString &form : content.stopForms.text)
        form = dearest;
    content.labels.texts.fill(dearest);

    const QByteArray message = encodeBoardState(content);
    EXPECT_LE(message.size(), kMaxBoardStateBytes);
    const Result<BoardContent> decoded = decodeBoardState(message);
    ASSERT_TRUE(decoded) << decoded.error().text().toStdString();
    EXPECT_EQ(decoded->cells[7], dearest.left(kMaxStateCellTextLength));
    EXPECT_EQ(decoded->labels.texts[9], dearest.left(kMaxStateCellTextLength));
    EXPECT_EQ(decoded->stopName, u"x"_s + QString(u"𠮷"_s).repeated(kMaxStateNameLength / 2 - 1));
    EXPECT_EQ(decoded->route.headsign, dearest.left(kMaxStateNameLength));
}

// `root` with the value at `path` (object keys and array indexes) replaced, or removed when
// `value` is undefined.
QJsonValue changed(const QJsonValue &root, QStringList path, const QJsonValue &value) {
    const QString key = path.takeFirst();
    if (root.isArray()) {
        QJsonArray array = root.toArray();
        array[key.toInt()] = path.isEmpty() ? value : changed(array[key.toInt()], path, value);
        return array;
    }
    QJsonObject object = root.toObject();
    if (path.isEmpty() && value.isUndefined())
        object.remove(key);
    else
        object[key] = path.isEmpty() ? value : changed(object[key], path, value);
    return object;
}

TEST(BoardState, TurnsDownWholeWhatNoBoardWouldShow) {
    const QJsonValue valid = QJsonDocument::fromJson(encodeBoardState(fullContent())).object();
    const auto with = [&valid](const QString &path, const QJsonValue &value) {
        return QJsonDocument(changed(valid, path.split(u'.'), value).toObject()).toJson();
    };
    QJsonArray fiftyOne = valid[u"cells"_s].toArray();
    fiftyOne.append(1);
    struct Case {
        QByteArray message;
        QString reason; // the start of it
    };
    const Case cases[] = {
        {"{\"v\":1,", u"not JSON"_s},
        {"[1]", u"not a JSON object"_s},
        {with(u"v"_s, 2), u"v:"_s},
        {with(u"v"_s, QJsonValue::Undefined), u"v:"_s},
        {with(u"extra"_s, 1), u"extra: unknown"_s},
        {with(u"backlight"_s, QJsonValue::Undefined), u"backlight: missing"_s},
        {with(u"backlight"_s, 3), u"backlight:"_s},
        {with(u"backlight"_s, u"1"_s), u"backlight:"_s},
        {with(u"cleared"_s, 1), u"cleared:"_s},
        {with(u"cells"_s, fiftyOne), u"cells:"_s},
        {with(u"cells.0"_s, QJsonObject()), u"cells.1:"_s},
        {with(u"cells.3"_s, QString(kMaxStateCellTextLength + 1, u'9')), u"cells.4:"_s},
        {with(u"formats.0.3"_s, 16), u"formats.1:"_s}, // 1 to 15 digits
        {with(u"formats.1.2"_s, 5), u"formats.2:"_s},  // the shift past the digits
        {with(u"formats.2.0"_s, 4), u"formats.3:"_s},  // zero modes 0 to 3
        {with(u"formats.3.1"_s, 8), u"formats.4:"_s},  // more zeros than digits
        {with(u"formats.4.3"_s, 4.5), u"formats.5:"_s},
        {with(u"formats.5"_s, QJsonArray{0, 0, 4}), u"formats.6:"_s},
        {with(u"labels.style"_s, 12), u"labels.style:"_s},
        {with(u"labels.texts.2"_s, 3), u"labels.texts.3:"_s},
        {with(u"digits.lit"_s, 0x1000000), u"digits.lit:"_s},
        {with(u"look.speed"_s, 0), u"look.speed:"_s},
        {with(u"picture"_s, 3), u"picture:"_s},
        {with(u"stop.name"_s, QString(kMaxStateNameLength + 1, u'駅')), u"stop.name:"_s},
        {with(u"stop.forms.fr"_s, u"Mairie"_s), u"stop.forms.fr: unknown"_s},
        {with(u"stop.forms.en"_s, 5), u"stop.forms.en:"_s},
        {with(u"route.color"_s, u"red"_s), u"route.color:"_s},
        {with(u"route.info"_s, QJsonArray{3, 51}), u"route.info:"_s},
        {with(u"route.highest"_s, -1), u"route.highest:"_s},
        {with(u"clock"_s, u"25:00:00.000"_s), u"clock:"_s},
        {with(u"stop.name"_s, QString(kMaxBoardStateBytes, u' ')), u"longer than"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message.left(200).toStdString());
        const Result<BoardContent> decoded = decodeBoardState(c.message);
        ASSERT_FALSE(decoded);
        EXPECT_TRUE(decoded.error().detail.startsWith(c.reason))
            << decoded.error().detail.toStdString();
    }
}

} // namespace
} // namespace q47
