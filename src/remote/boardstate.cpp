// The board's state as JSON, both ways, field by field in the same order: a field BoardContent
// gains is one line in each of the two functions at the end (and the version, when a reader of
// the present one could not take it).
#include "boardstate.h"

#include "boardmodel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace q47 {

using namespace Qt::StringLiterals;

namespace {

// The options' twelve numbering styles.
constexpr int kMaxStyle = 11;
// The place name's faces in the options' list, and -1 while none is chosen.
constexpr int kMinNameFont = -1;
constexpr int kMaxNameFont = 4;
// The panel's bounds on the name's scroll: its speed and the wait at the start, in ms.
constexpr int kMinScrollSpeed = 1;
constexpr int kMaxScrollSpeed = 2000;
constexpr int kMaxScrollStartWait = 3000;
constexpr OleColor kMaxRgb = 0xFFFFFF;
// A route file keeps ticket numbers in 16 bits.
constexpr int kMaxTicketNumber = std::numeric_limits<qint16>::max();

QString cut(const QString &text, qsizetype max) {
    if (text.size() <= max)
        return text;
    // Never half of a character outside the BMP.
    return text.left(text.at(max - 1).isHighSurrogate() ? max - 1 : max);
}

// ---- writing

QJsonValue cellJson(const QVariant &value) {
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return QJsonValue::Null;
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double: {
        const double number = value.toDouble();
        return std::isfinite(number) ? QJsonValue(number) : QJsonValue(QJsonValue::Null);
    }
    default:
        return cut(value.toString(), kMaxStateCellTextLength);
    }
}

QJsonValue colourJson(const QColor &colour) {
    return colour.isValid() ? QJsonValue(colour.name(QColor::HexRgb)) : QJsonValue::Null;
}

// A system colour goes as the colour it stands for now.
QJsonValue oleJson(OleColor colour) {
    return qint64(colour <= kMaxRgb ? colour : toOleColor(fromOleColor(colour)));
}

QJsonArray textsJson(const std::array<QString, kBoardCells + 1> &texts) {
    QJsonArray array;
    for (int k = 1; k <= kBoardCells; ++k)
        array.append(cut(texts[size_t(k)], kMaxStateCellTextLength));
    return array;
}

QJsonObject formsJson(const NameForms &forms) {
    QJsonObject object;
    for (int l = 0; l < kNameLanguages; ++l) {
        const auto language = NameLanguage(l);
        if (!forms[language].isEmpty())
            object.insert(nameLanguageTag(language), cut(forms[language], kMaxStateNameLength));
    }
    return object;
}

QJsonArray infoCellsJson(const std::bitset<kBoardCells + 1> &cells) {
    QJsonArray array;
    for (int k = 1; k <= kBoardCells; ++k) {
        if (cells.test(size_t(k)))
            array.append(k);
    }
    return array;
}

// ---- reading

// One JSON object's fields, read once each. The first fault is kept, with the path to the
// field, and every read after it gives an empty value: the caller looks at the fault once at
// the end, so that nothing read before a fault is ever used.
class Fields {
public:
    Fields(const QJsonObject &object, QString path, QString &fault)
        : object_(object), path_(std::move(path)), fault_(fault) {}
    Fields(const Fields &) = delete;
    Fields &operator=(const Fields &) = delete;
    ~Fields() {
        if (!fault_.isEmpty() || read_.size() == object_.size())
            return;
        for (auto it = object_.begin(); it != object_.end(); ++it) {
            if (!read_.contains(it.key())) {
                fault_ = QStringLiteral("%1: unknown field").arg(where(it.key()));
                return;
            }
        }
    }

    QString where(const QString &key) const { return path_.isEmpty() ? key : path_ + u'.' + key; }
    bool failed() const { return !fault_.isEmpty(); }
    void fail(const QString &key, const char *what) {
        if (fault_.isEmpty())
            fault_ = QStringLiteral("%1: %2").arg(where(key), QLatin1StringView(what));
    }

    QJsonValue take(QLatin1StringView key) {
        if (failed())
            return {};
        const auto it = object_.constFind(key);
        if (it == object_.constEnd()) {
            fail(key, "missing");
            return {};
        }
        read_.append(key);
        return *it;
    }

    QString text(QLatin1StringView key, qsizetype max) {
        const QJsonValue value = take(key);
        if (failed())
            return {};
        if (!value.isString())
            fail(key, "not a text");
        else if (value.toString().size() > max)
            fail(key, "too long");
        return failed() ? QString() : value.toString();
    }

    int integer(QLatin1StringView key, int low, int high) {
        return integerIn(take(key), key, low, high);
    }
    int integerIn(const QJsonValue &value, const QString &key, int low, int high) {
        if (failed())
            return 0;
        const double number = value.toDouble(std::nan(""));
        if (!value.isDouble() || number != std::trunc(number) || number < low || number > high) {
            fail(key, "not a whole number in range");
            return 0;
        }
        return int(number);
    }

    bool flag(QLatin1StringView key) {
        const QJsonValue value = take(key);
        if (!failed() && !value.isBool())
            fail(key, "not true or false");
        return value.toBool();
    }

    OleColor oleColour(QLatin1StringView key) { return OleColor(integer(key, 0, int(kMaxRgb))); }

    QColor colour(QLatin1StringView key) {
        static const QRegularExpression hex(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
        const QJsonValue value = take(key);
        if (failed() || value.isNull())
            return {};
        if (!value.isString() || !hex.match(value.toString()).hasMatch()) {
            fail(key, "not a colour (#rrggbb or null)");
            return {};
        }
        return QColor(value.toString());
    }

    QJsonObject object(QLatin1StringView key) {
        const QJsonValue value = take(key);
        if (!failed() && !value.isObject())
            fail(key, "not an object");
        return value.toObject();
    }

    // An array of `size` entries, or of at most `-size` entries when size is negative.
    QJsonArray array(QLatin1StringView key, qsizetype size) {
        const QJsonValue value = take(key);
        if (failed())
            return {};
        const QJsonArray array = value.toArray();
        if (!value.isArray() || (size >= 0 ? array.size() != size : array.size() > -size)) {
            fail(key, size >= 0 ? "not an array of the board's cells" : "not an array or too long");
            return {};
        }
        return array;
    }

private:
    const QJsonObject object_;
    QString path_;
    QString &fault_;
    QStringList read_;
};

QVariant cellValue(const QJsonValue &value, Fields &cells, const QString &key) {
    switch (value.type()) {
    case QJsonValue::Null:
        return {};
    case QJsonValue::Bool:
        return value.toBool();
    case QJsonValue::Double: {
        const QVariant number = value.toVariant();
        if (number.typeId() == QMetaType::LongLong) {
            const qint64 whole = number.toLongLong();
            if (whole >= std::numeric_limits<int>::min() &&
                whole <= std::numeric_limits<int>::max())
                return int(whole);
            return whole;
        }
        if (std::isfinite(number.toDouble()))
            return number.toDouble();
        break;
    }
    case QJsonValue::String:
        if (value.toString().size() <= kMaxStateCellTextLength)
            return value.toString();
        break;
    default:
        break;
    }
    cells.fail(key, "not a cell's value");
    return {};
}

CellFormat cellFormat(const QJsonValue &value, Fields &formats, const QString &key) {
    const QJsonArray parts = value.toArray();
    if (!value.isArray() || parts.size() != 4) {
        formats.fail(key, "not a format [zeroMode, fillZero, shift, digits]");
        return {};
    }
    constexpr int low = std::numeric_limits<qint16>::min();
    constexpr int high = std::numeric_limits<qint16>::max();
    const CellFormat format{qint16(formats.integerIn(parts[0], key, low, high)),
                            qint16(formats.integerIn(parts[1], key, low, high)),
                            qint16(formats.integerIn(parts[2], key, low, high)),
                            qint16(formats.integerIn(parts[3], key, low, high))};
    if (!formats.failed() && heldFormat(format) != format)
        formats.fail(key, "outside the digit control's ranges");
    return format;
}

NameForms nameForms(const QJsonObject &object, QString path, QString &fault) {
    NameForms forms;
    Fields read(object, std::move(path), fault);
    for (int l = 0; l < kNameLanguages; ++l) {
        const auto language = NameLanguage(l);
        const QLatin1StringView tag = nameLanguageTag(language);
        if (object.contains(tag))
            forms[language] = read.text(tag, kMaxStateNameLength);
    }
    return forms;
}

std::bitset<kBoardCells + 1> infoCells(const QJsonArray &array, Fields &route) {
    std::bitset<kBoardCells + 1> cells;
    for (const QJsonValue &cell : array)
        cells.set(size_t(route.integerIn(cell, u"info"_s, 1, kBoardCells)));
    return cells;
}

} // namespace

QByteArray encodeBoardState(const BoardContent &content) {
    QJsonArray cells;
    QJsonArray formats;
    for (int k = 1; k <= kBoardCells; ++k) {
        cells.append(cellJson(content.cells[size_t(k)]));
        const CellFormat &f = content.formats[size_t(k)];
        formats.append(QJsonArray{f.zeroMode, f.fillZero, f.shift, f.digitCount});
    }
    const TicketLabels &labels = content.labels;
    const NameLook &look = content.nameLook;
    const RouteOnBoard &route = content.route;
    // A picture of the user's own stays with the publisher: the board shows the row's own.
    const bool builtIn = content.picture.kind != BoardPicture::Kind::None;
    const QJsonObject state{
        {u"v"_s, kBoardStateVersion},
        {u"cells"_s, cells},
        {u"formats"_s, formats},
        {u"digits"_s, QJsonObject{{u"back"_s, oleJson(content.digits.back)},
                                  {u"unlit"_s, oleJson(content.digits.unlit)},
                                  {u"lit"_s, oleJson(content.digits.lit)}}},
        {u"labels"_s, QJsonObject{{u"shown"_s, labels.shown},
                                  {u"style"_s, std::clamp(labels.style, 0, kMaxStyle)},
                                  {u"zeroPad"_s, labels.zeroPad},
                                  {u"texts"_s, textsJson(labels.texts)},
                                  {u"digitFace"_s, labels.label1DigitFace},
                                  {u"color"_s, colourJson(labels.colour)}}},
        {u"stop"_s, QJsonObject{{u"name"_s, cut(content.stopName, kMaxStateNameLength)},
                                {u"written"_s, cut(content.stopWritten, kMaxStateNameLength)},
                                {u"forms"_s, formsJson(content.stopForms)}}},
        {u"look"_s,
         QJsonObject{
             {u"back"_s, oleJson(look.back)},
             {u"dots"_s, oleJson(look.dots)},
             {u"font"_s, std::clamp<int>(look.fontMode, kMinNameFont, kMaxNameFont)},
             {u"bold"_s, look.bold},
             {u"speed"_s, std::clamp<int>(look.scrollSpeed, kMinScrollSpeed, kMaxScrollSpeed)},
             {u"wait"_s, std::clamp(look.scrollStartWait, 0, kMaxScrollStartWait)}}},
        {u"route"_s,
         QJsonObject{{u"number"_s, cut(route.number, kMaxStateNameLength)},
                     {u"name"_s, cut(route.name, kMaxStateNameLength)},
                     {u"color"_s, colourJson(route.color)},
                     {u"textColor"_s, colourJson(route.textColor)},
                     {u"headsign"_s, cut(route.headsign, kMaxStateNameLength)},
                     {u"highest"_s, std::clamp(route.highestSeiriNo, 0, kMaxTicketNumber)},
                     {u"info"_s, infoCellsJson(route.infoCells)}}},
        {u"clock"_s, content.time.isValid()
                         ? QJsonValue(content.time.toString(QStringLiteral("HH:mm:ss.zzz")))
                         : QJsonValue(QJsonValue::Null)},
        {u"backlight"_s, std::clamp(content.backlight, 0, 2)},
        {u"picture"_s, builtIn
                           ? QJsonValue(std::clamp(content.picture.kind == BoardPicture::Kind::User
                                                       ? content.backlight
                                                       : content.picture.row,
                                                   0, 2))
                           : QJsonValue(QJsonValue::Null)},
        {u"cleared"_s, content.cleared},
    };
    return QJsonDocument(state).toJson(QJsonDocument::Compact);
}

Result<BoardContent> decodeBoardState(const QByteArray &message) {
    const auto refused = [](Error::Kind kind, const QString &why) {
        return Error(kind, why).about(Error::Subject::File);
    };
    if (message.size() > kMaxBoardStateBytes)
        return refused(Error::Kind::TooLarge,
                       QStringLiteral("longer than %1 bytes").arg(kMaxBoardStateBytes));
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(message, &parse);
    if (parse.error != QJsonParseError::NoError)
        return refused(Error::Kind::Invalid, QStringLiteral("not JSON: ") + parse.errorString());
    if (!document.isObject())
        return refused(Error::Kind::Invalid, QStringLiteral("not a JSON object"));
    const QJsonObject root = document.object();
    if (root.value(u"v").toInteger(-1) != kBoardStateVersion)
        return refused(Error::Kind::Invalid,
                       QStringLiteral("v: not format version %1").arg(kBoardStateVersion));

    BoardContent content;
    QString fault;
    {
        Fields state(root, QString(), fault);
        state.take("v"_L1);
        {
            const QJsonArray values = state.array("cells"_L1, kBoardCells);
            const QJsonArray formats = state.array("formats"_L1, kBoardCells);
            Fields cells(QJsonObject(), QStringLiteral("cells"), fault);
            Fields cellFormats(QJsonObject(), QStringLiteral("formats"), fault);
            for (int k = 1; k <= kBoardCells && !state.failed(); ++k) {
                const QString index = QString::number(k);
                content.cells[size_t(k)] = cellValue(values[k - 1], cells, index);
                content.formats[size_t(k)] = cellFormat(formats[k - 1], cellFormats, index);
            }
        }
        {
            Fields digits(state.object("digits"_L1), QStringLiteral("digits"), fault);
            content.digits = {digits.oleColour("back"_L1), digits.oleColour("unlit"_L1),
                              digits.oleColour("lit"_L1)};
        }
        {
            Fields labels(state.object("labels"_L1), QStringLiteral("labels"), fault);
            TicketLabels &l = content.labels;
            l.shown = labels.flag("shown"_L1);
            l.style = labels.integer("style"_L1, 0, kMaxStyle);
            l.zeroPad = labels.flag("zeroPad"_L1);
            const QJsonArray texts = labels.array("texts"_L1, kBoardCells);
            Fields each(QJsonObject(), QStringLiteral("labels.texts"), fault);
            for (int k = 1; k <= kBoardCells && !labels.failed(); ++k) {
                const QJsonValue text = texts[k - 1];
                if (!text.isString() || text.toString().size() > kMaxStateCellTextLength)
                    each.fail(QString::number(k), "not a label's text");
                l.texts[size_t(k)] = text.toString();
            }
            l.label1DigitFace = labels.flag("digitFace"_L1);
            l.colour = labels.colour("color"_L1);
        }
        {
            Fields stop(state.object("stop"_L1), QStringLiteral("stop"), fault);
            content.stopName = stop.text("name"_L1, kMaxStateNameLength);
            content.stopWritten = stop.text("written"_L1, kMaxStateNameLength);
            content.stopForms = nameForms(stop.object("forms"_L1), u"stop.forms"_s, fault);
        }
        {
            Fields look(state.object("look"_L1), QStringLiteral("look"), fault);
            NameLook &n = content.nameLook;
            n.back = look.oleColour("back"_L1);
            n.dots = look.oleColour("dots"_L1);
            n.fontMode = qint16(look.integer("font"_L1, kMinNameFont, kMaxNameFont));
            n.bold = look.flag("bold"_L1);
            n.scrollSpeed = qint16(look.integer("speed"_L1, kMinScrollSpeed, kMaxScrollSpeed));
            n.scrollStartWait = look.integer("wait"_L1, 0, kMaxScrollStartWait);
        }
        {
            Fields route(state.object("route"_L1), QStringLiteral("route"), fault);
            RouteOnBoard &r = content.route;
            r.number = route.text("number"_L1, kMaxStateNameLength);
            r.name = route.text("name"_L1, kMaxStateNameLength);
            r.color = route.colour("color"_L1);
            r.textColor = route.colour("textColor"_L1);
            r.headsign = route.text("headsign"_L1, kMaxStateNameLength);
            r.highestSeiriNo = route.integer("highest"_L1, 0, kMaxTicketNumber);
            r.infoCells = infoCells(route.array("info"_L1, -kBoardCells), route);
        }
        const QJsonValue clock = state.take("clock"_L1);
        if (!clock.isNull()) {
            content.time = QTime::fromString(clock.toString(), QStringLiteral("HH:mm:ss.zzz"));
            if (!content.time.isValid())
                state.fail(u"clock"_s, "not a time (HH:mm:ss.zzz or null)");
        }
        content.backlight = state.integer("backlight"_L1, 0, 2);
        const QJsonValue picture = state.take("picture"_L1);
        if (!picture.isNull())
            content.picture = BoardPicture::builtIn(state.integerIn(picture, u"picture"_s, 0, 2));
        content.cleared = state.flag("cleared"_L1);
    }
    if (!fault.isEmpty())
        return refused(Error::Kind::Invalid, fault);
    return content;
}

} // namespace q47
