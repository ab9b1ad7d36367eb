#include "pluginformat.h"

#include "cp932.h"
#include "twips.h"

#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace q47 {

namespace {

using PlgMember = qint32 PlgInfo::*;
constexpr std::array<PlgMember, PlgInfo::kFieldCount> kPlgMembers = {
    &PlgInfo::formatVersion, &PlgInfo::widthTwips,         &PlgInfo::heightTwips,
    &PlgInfo::printDate,     &PlgInfo::printTime,          &PlgInfo::printRoute,
    &PlgInfo::printStopName, &PlgInfo::printBarcode,       &PlgInfo::barcodeCount,
    &PlgInfo::highestRoute,  &PlgInfo::barcodeRouteMethod, &PlgInfo::lowestStop,
    &PlgInfo::highestStop,   &PlgInfo::companySwitching,
};

} // namespace

qint32 PlgInfo::field(int n) const {
    if (n < 1 || n > kFieldCount)
        return 0;
    return this->*kPlgMembers[static_cast<size_t>(n - 1)];
}

void PlgInfo::setField(int n, qint32 value) {
    if (n >= 1 && n <= kFieldCount)
        this->*kPlgMembers[static_cast<size_t>(n - 1)] = value;
}

namespace ticket {
namespace {

const QString kHeader = QStringLiteral("Q47 ticket plug-in");

// The capability keys, in the order of PlgInfo fields 4 to 14.
constexpr std::array<const char *, 11> kCapabilityKeys = {
    "print date",    "print time",    "print route",       "print stop name",
    "print barcode", "barcode count", "highest route",     "barcode route method",
    "lowest stop",   "highest stop",  "company switching",
};

struct Failure {
    Fault fault;
    QString detail;
};

// A whole number of at most ten digits with an optional minus sign, nothing else.
std::optional<qint64> readInteger(QStringView text) {
    QStringView digits = text;
    const bool negative = digits.startsWith(u'-');
    if (negative)
        digits = digits.sliced(1);
    if (digits.isEmpty() || digits.size() > 10)
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return negative ? -value : value;
}

bool holdsInCp932(const QString &text) {
    // Each character CP932 lacks turns into exactly one '?', so a count tells them apart.
    if (text.isEmpty())
        return true;
    return toCp932(text).count('?') == text.count(u'?');
}

struct PlaceholderName {
    const char *name;
    Segment::Kind kind;
    bool numeric;
};

constexpr std::array<PlaceholderName, 13> kPlaceholders = {{
    {"stop", Segment::Kind::Stop, false},
    {"date", Segment::Kind::Date, false},
    {"year", Segment::Kind::Year, true},
    {"month", Segment::Kind::Month, true},
    {"day", Segment::Kind::Day, true},
    {"time", Segment::Kind::Time, false},
    {"hour", Segment::Kind::Hour, true},
    {"minute", Segment::Kind::Minute, true},
    {"second", Segment::Kind::Second, true},
    {"route", Segment::Kind::Route, true},
    {"ticket", Segment::Kind::Ticket, true},
    {"index", Segment::Kind::Index, true},
    {"company", Segment::Kind::Company, false},
}};

constexpr int kMaxPadWidth = 20;

} // namespace

std::optional<Template> parseTemplate(const QString &text) {
    if (text.size() > kMaxTemplateChars)
        return std::nullopt;
    Template out;
    qsizetype literalFrom = 0;
    const auto flush = [&] {
        const qsizetype count = out.literals.size() - literalFrom;
        if (count > 0)
            out.segments.push_back({Segment::Kind::Literal, 0, static_cast<quint16>(literalFrom),
                                    static_cast<quint16>(count)});
        literalFrom = out.literals.size();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'}') {
            if (i + 1 < text.size() && text.at(i + 1) == u'}') {
                out.literals.append(c);
                ++i;
                continue;
            }
            return std::nullopt;
        }
        if (c != u'{') {
            out.literals.append(c);
            continue;
        }
        if (i + 1 < text.size() && text.at(i + 1) == u'{') {
            out.literals.append(c);
            ++i;
            continue;
        }
        const qsizetype close = text.indexOf(u'}', i + 1);
        if (close < 0)
            return std::nullopt;
        QStringView inside = QStringView(text).sliced(i + 1, close - i - 1);
        int width = 0;
        const qsizetype colon = inside.indexOf(u':');
        if (colon >= 0) {
            const auto w = readInteger(inside.sliced(colon + 1));
            if (!w || *w < 1 || *w > kMaxPadWidth || inside.sliced(colon + 1).startsWith(u'-'))
                return std::nullopt;
            width = static_cast<int>(*w);
            inside = inside.first(colon);
        }
        const auto found =
            std::find_if(kPlaceholders.begin(), kPlaceholders.end(),
                         [&](const PlaceholderName &s) { return inside == QLatin1String(s.name); });
        if (found == kPlaceholders.end() || (width > 0 && !found->numeric))
            return std::nullopt;
        flush();
        out.segments.push_back({found->kind, static_cast<quint8>(width), 0, 0});
        i = close;
    }
    flush();
    out.literals.squeeze();
    out.segments.shrink_to_fit();
    return out;
}

namespace {

// key=value attributes and bare flags of one layout line.
struct Attribute {
    QString key;
    QString value;
    bool flag = false;
    bool used = false;
};

// No item has more; the cap keeps a hostile line from costing many times its size.
constexpr size_t kMaxAttributes = 16;

// Splits "kind key=value key="quoted value" flag"; nullopt on an unclosed or stray quote, or on
// more than kMaxAttributes attributes.
std::optional<std::vector<Attribute>> splitAttributes(QStringView line, QString &kind) {
    std::vector<Attribute> out;
    qsizetype i = 0;
    const auto skipSpace = [&] {
        while (i < line.size() && line.at(i).isSpace())
            ++i;
    };
    skipSpace();
    const qsizetype kindStart = i;
    while (i < line.size() && !line.at(i).isSpace())
        ++i;
    kind = line.sliced(kindStart, i - kindStart).toString().toLower();
    while (true) {
        skipSpace();
        if (i >= line.size())
            break;
        if (out.size() >= kMaxAttributes)
            return std::nullopt;
        const qsizetype keyStart = i;
        while (i < line.size() && !line.at(i).isSpace() && line.at(i) != u'=' && line.at(i) != u'"')
            ++i;
        Attribute a;
        a.key = line.sliced(keyStart, i - keyStart).toString().toLower();
        if (a.key.isEmpty())
            return std::nullopt;
        if (i >= line.size() || line.at(i).isSpace()) {
            a.flag = true;
            out.push_back(std::move(a));
            continue;
        }
        if (line.at(i) != u'=')
            return std::nullopt;
        ++i;
        if (i < line.size() && line.at(i) == u'"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const QChar c = line.at(i++);
                if (c == u'"') {
                    closed = true;
                    break;
                }
                if (c == u'\\' && i < line.size())
                    a.value.append(line.at(i++));
                else
                    a.value.append(c);
            }
            if (!closed || (i < line.size() && !line.at(i).isSpace()))
                return std::nullopt;
        } else {
            const qsizetype valueStart = i;
            while (i < line.size() && !line.at(i).isSpace()) {
                if (line.at(i) == u'"')
                    return std::nullopt;
                ++i;
            }
            a.value = line.sliced(valueStart, i - valueStart).toString();
        }
        out.push_back(std::move(a));
    }
    return out;
}

class Parser {
public:
    explicit Parser(QStringView text) : text_(text) {}

    Expected<Plugin, Errors> run() {
        std::optional<Plugin> plugin;
        try {
            parse();
            if (faults_.empty())
                plugin = finish();
        } catch (const Failure &f) {
            record(f);
        }
        if (!faults_.empty())
            return std::move(faults_);
        return std::move(*plugin);
    }

private:
    // Skipped: the lines of a section that was refused.
    enum class Section { None, Ticket, Capabilities, Comment, Companies, Layout, Skipped };

    [[noreturn]] void fail(Fault fault, const QString &detail = {}) {
        throw Failure{fault, detail};
    }
    void record(const Failure &f) { faults_.push_back(faultError(f.fault, line_, f.detail)); }

    // The next line without its line end; false at the end of the text.
    bool nextLine(QStringView &out) {
        if (pos_ > text_.size() || (pos_ == text_.size() && line_ > 0))
            return false;
        qsizetype end = text_.indexOf(u'\n', pos_);
        if (end < 0)
            end = text_.size();
        out = text_.sliced(pos_, end - pos_);
        if (out.endsWith(u'\r'))
            out.chop(1);
        pos_ = end + 1;
        ++line_;
        return true;
    }

    // Reads every line; a fault in one line is recorded and the reading goes on with the next,
    // so that an author sees every faulty line at once.
    void parse() {
        QStringView line;
        if (!nextLine(line))
            fail(Fault::BadHeader);
        const QStringView header = line.trimmed();
        if (!header.startsWith(kHeader) || header.size() <= kHeader.size() ||
            !header.at(kHeader.size()).isSpace())
            fail(Fault::BadHeader);
        const auto version = readInteger(header.sliced(kHeader.size()).trimmed());
        if (!version)
            fail(Fault::BadHeader);
        if (*version != kFormatVersion)
            fail(Fault::BadVersion);

        Section section = Section::None;
        std::array<bool, 6> seen{};
        qsizetype lineStart = pos_;
        while (nextLine(line)) {
            const QStringView trimmed = line.trimmed();
            if (line.startsWith(u'[') && trimmed.endsWith(u']')) {
                if (section == Section::Comment)
                    commentEnd_ = lineStart;
                section = sectionNamed(trimmed.sliced(1, trimmed.size() - 2).trimmed());
                if (section == Section::None || seen[static_cast<size_t>(section)]) {
                    record({Fault::BadSection, trimmed.toString()});
                    section = Section::Skipped;
                    continue;
                }
                seen[static_cast<size_t>(section)] = true;
                if (section == Section::Comment)
                    commentStart_ = commentEnd_ = pos_;
                lineStart = pos_;
                continue;
            }
            lineStart = pos_;
            if (section == Section::Comment || section == Section::Skipped || trimmed.isEmpty() ||
                trimmed.startsWith(u'#'))
                continue;
            try {
                switch (section) {
                case Section::None:
                    fail(Fault::BadSection);
                case Section::Ticket:
                case Section::Capabilities:
                    keyValue(section, trimmed);
                    break;
                case Section::Companies:
                    company(trimmed);
                    break;
                case Section::Layout:
                    item(trimmed);
                    break;
                case Section::Comment:
                case Section::Skipped:
                    break;
                }
            } catch (const Failure &f) {
                attrs_ = nullptr;
                record(f);
            }
        }
        if (section == Section::Comment)
            commentEnd_ = text_.size();
        line_ = 0;
    }

    static Section sectionNamed(QStringView name) {
        if (name.compare(u"ticket", Qt::CaseInsensitive) == 0)
            return Section::Ticket;
        if (name.compare(u"capabilities", Qt::CaseInsensitive) == 0)
            return Section::Capabilities;
        if (name.compare(u"comment", Qt::CaseInsensitive) == 0)
            return Section::Comment;
        if (name.compare(u"companies", Qt::CaseInsensitive) == 0)
            return Section::Companies;
        if (name.compare(u"layout", Qt::CaseInsensitive) == 0)
            return Section::Layout;
        return Section::None;
    }

    QColor colour(const QString &text) {
        const QColor c = QColor::fromString(text);
        if (!c.isValid())
            fail(Fault::BadValue);
        return c;
    }

    qint32 int32(QStringView text) {
        const auto v = readInteger(text);
        if (!v || *v < INT32_MIN || *v > INT32_MAX)
            fail(Fault::BadValue);
        return static_cast<qint32>(*v);
    }

    void keyValue(Section section, QStringView line) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            fail(Fault::BadLine);
        const QString key = line.first(eq).toString().simplified().toLower();
        const QStringView value = line.sliced(eq + 1).trimmed();
        if (section == Section::Ticket) {
            if (key == u"size") {
                once(sizeSeen_);
                const qsizetype x = value.indexOf(u'x', 0, Qt::CaseInsensitive);
                if (x < 0)
                    fail(Fault::BadValue);
                const qint32 w = int32(value.first(x).trimmed());
                const qint32 h = int32(value.sliced(x + 1).trimmed());
                if (w < 1 || h < 1)
                    fail(Fault::BadValue);
                if (w > kMaxTicketPx || h > kMaxTicketPx)
                    fail(Fault::TicketTooLarge);
                plugin_.size = QSize(w, h);
            } else if (key == u"paper") {
                once(paperSeen_);
                plugin_.paper = colour(value.toString());
            } else if (key == u"ink") {
                once(inkSeen_);
                plugin_.ink = colour(value.toString());
            } else {
                fail(Fault::UnknownKey, key);
            }
            return;
        }
        const auto at = std::find_if(kCapabilityKeys.begin(), kCapabilityKeys.end(),
                                     [&](const char *k) { return key == QLatin1String(k); });
        if (at == kCapabilityKeys.end())
            fail(Fault::UnknownKey, key);
        const auto index = static_cast<size_t>(at - kCapabilityKeys.begin());
        once(capabilitySeen_[index]);
        plugin_.info.setField(static_cast<int>(index) + 4, int32(value));
    }

    void once(bool &seen) {
        if (seen)
            fail(Fault::RepeatedKey);
        seen = true;
    }

    void company(QStringView line) {
        if (plugin_.companies.size() >= kMaxCompanies)
            fail(Fault::TooManyCompanies);
        const QString name = line.toString();
        if (!holdsInCp932(name))
            fail(Fault::NotCp932);
        plugin_.companies.append(name);
    }

    // Layout items are checked against the ticket's size, so [ticket] comes first.
    void item(QStringView line) {
        if (!sizeSeen_)
            fail(Fault::MissingKey);
        if (plugin_.items.size() >= static_cast<size_t>(kMaxItems))
            fail(Fault::TooManyItems);
        QString kind;
        auto attrs = splitAttributes(line, kind);
        if (!attrs)
            fail(Fault::BadLine);
        for (size_t i = 0; i < attrs->size(); ++i)
            for (size_t j = 0; j < i; ++j)
                if ((*attrs)[i].key == (*attrs)[j].key)
                    fail(Fault::RepeatedKey);
        attrs_ = &*attrs;

        Item it;
        it.fileLine = line_;
        it.colour = QColor(); // filled with the ink at the end unless given
        if (kind == u"line") {
            it.kind = Item::Kind::Line;
            const int x1 = coordinate("x1", plugin_.size.width());
            const int y1 = coordinate("y1", plugin_.size.height());
            const int x2 = coordinate("x2", plugin_.size.width());
            const int y2 = coordinate("y2", plugin_.size.height());
            it.line = QLine(x1, y1, x2, y2);
            it.penWidth = optionalNumber("width", 1, 1, 100);
        } else if (kind == u"text" || kind == u"frame" || kind == u"box" || kind == u"barcode") {
            it.box = box();
            if (kind == u"text") {
                it.kind = Item::Kind::Text;
                it.text = templateFrom(required("text"));
                if (const QString *font = optional("font")) {
                    if (font->isEmpty() || font->size() > 100)
                        fail(Fault::BadValue);
                    if (!holdsInCp932(*font))
                        fail(Fault::NotCp932);
                    it.fontFamily = *font;
                }
                it.pixelSize = optionalNumber("size", 12, 1, kMaxTicketPx);
                it.bold = flag("bold");
                if (const QString *given = optional("align")) {
                    const QString align = given->toLower();
                    if (align == u"left")
                        it.align = Item::Align::Left;
                    else if (align == u"center" || align == u"centre")
                        it.align = Item::Align::Center;
                    else if (align == u"right")
                        it.align = Item::Align::Right;
                    else
                        fail(Fault::BadValue);
                }
            } else if (kind == u"frame") {
                it.kind = Item::Kind::Frame;
                it.penWidth = optionalNumber("width", 1, 1, 100);
            } else if (kind == u"box") {
                it.kind = Item::Kind::Box;
            } else {
                it.kind = Item::Kind::Barcode;
                it.symbology = symbology(required("type"));
                it.text = templateFrom(required("data"));
                if (const QString *level = optional("level")) {
                    static const QString kLevels = QStringLiteral("LMQH");
                    if (it.symbology != Symbology::Qr || level->size() != 1 ||
                        !kLevels.contains(level->at(0).toUpper()))
                        fail(Fault::BadValue);
                    it.qrLevel = static_cast<int>(kLevels.indexOf(level->at(0).toUpper())) + 1;
                }
            }
        } else {
            fail(Fault::BadLine);
        }
        if (const QString *c = optional("color"))
            it.colour = colour(*c);
        for (const Attribute &a : *attrs)
            if (!a.used)
                fail(Fault::UnknownKey, a.key);
        attrs_ = nullptr;
        plugin_.items.push_back(std::move(it));
    }

    Attribute *find(const char *key) {
        for (Attribute &a : *attrs_)
            if (a.key == QLatin1String(key)) {
                a.used = true;
                return &a;
            }
        return nullptr;
    }

    const QString *optional(const char *key) {
        const Attribute *a = find(key);
        if (!a)
            return nullptr;
        if (a->flag)
            fail(Fault::BadValue);
        return &a->value;
    }

    const QString &required(const char *key) {
        const QString *v = optional(key);
        if (!v)
            fail(Fault::MissingKey, QString::fromLatin1(key));
        return *v;
    }

    bool flag(const char *key) {
        const Attribute *a = find(key);
        if (a && !a->flag)
            fail(Fault::BadValue);
        return a != nullptr;
    }

    int optionalNumber(const char *key, int fallback, int low, int high) {
        const QString *v = optional(key);
        if (!v)
            return fallback;
        const qint32 n = int32(*v);
        if (n < low || n > high)
            fail(Fault::BadValue);
        return n;
    }

    // A position on the ticket, edges included.
    int coordinate(const char *key, int limit) {
        const qint32 n = int32(required(key));
        if (n < 0 || n > limit)
            fail(Fault::OutsideTicket);
        return n;
    }

    QRect box() {
        const int x = coordinate("x", plugin_.size.width());
        const int y = coordinate("y", plugin_.size.height());
        const int w = coordinate("w", plugin_.size.width());
        const int h = coordinate("h", plugin_.size.height());
        if (w < 1 || h < 1)
            fail(Fault::BadValue);
        if (x + w > plugin_.size.width() || y + h > plugin_.size.height())
            fail(Fault::OutsideTicket);
        return QRect(x, y, w, h);
    }

    Template templateFrom(const QString &text) {
        if (text.size() > kMaxTemplateChars)
            fail(Fault::TooLong);
        if (!holdsInCp932(text))
            fail(Fault::NotCp932);
        auto tpl = parseTemplate(text);
        if (!tpl)
            fail(Fault::BadTemplate);
        return std::move(*tpl);
    }

    Symbology symbology(const QString &name) {
        const QString n = name.toLower();
        if (n == u"nw7" || n == u"nw-7" || n == u"codabar")
            return Symbology::Codabar;
        if (n == u"itf")
            return Symbology::Itf;
        if (n == u"code39")
            return Symbology::Code39;
        if (n == u"code128")
            return Symbology::Code128;
        if (n == u"jan13" || n == u"ean13")
            return Symbology::Ean13;
        if (n == u"jan8" || n == u"ean8")
            return Symbology::Ean8;
        if (n == u"qr")
            return Symbology::Qr;
        fail(Fault::UnknownSymbology);
    }

    Plugin finish() {
        if (!sizeSeen_)
            fail(Fault::MissingKey, QStringLiteral("size"));
        for (size_t i = 0; i < capabilitySeen_.size(); ++i)
            if (!capabilitySeen_[i])
                fail(Fault::MissingKey, QString::fromLatin1(kCapabilityKeys[i]));
        const qsizetype from = std::min(commentStart_, text_.size());
        const qsizetype to = std::clamp(commentEnd_, from, text_.size());
        plugin_.comment = commentText(text_.sliced(from, to - from));
        if (!holdsInCp932(plugin_.comment))
            fail(Fault::NotCp932);
        if (!plugin_.paper.isValid())
            plugin_.paper = Qt::white;
        if (!plugin_.ink.isValid())
            plugin_.ink = Qt::black;
        qint64 cost = 0;
        qint64 dearest = 0;
        int dearestLine = 0;
        for (const Item &it : plugin_.items) {
            const qint64 c = drawingCost(it, plugin_.companies);
            cost += c;
            if (c > dearest) {
                dearest = c;
                dearestLine = it.fileLine;
            }
        }
        if (cost > kMaxDrawingCost)
            fail(Fault::TooCostly, QStringLiteral("%L1; the dearest item, on line %2, costs %L3")
                                       .arg(cost)
                                       .arg(dearestLine)
                                       .arg(dearest));
        for (Item &it : plugin_.items)
            if (!it.colour.isValid())
                it.colour = plugin_.ink;
        plugin_.info.formatVersion = kFormatVersion;
        plugin_.info.widthTwips = pxToTwips(plugin_.size.width());
        plugin_.info.heightTwips = pxToTwips(plugin_.size.height());
        return std::move(plugin_);
    }

    // The comment without blank lines at either end, line ends as "\n".
    static QString commentText(QStringView block) {
        while (true) {
            const qsizetype nl = block.indexOf(u'\n');
            if (nl < 0 || !block.first(nl).trimmed().isEmpty())
                break;
            block = block.sliced(nl + 1);
        }
        while (true) {
            const qsizetype nl = block.lastIndexOf(u'\n');
            if (nl < 0 || !block.sliced(nl + 1).trimmed().isEmpty())
                break;
            block = block.first(nl);
        }
        if (block.endsWith(u'\r'))
            block.chop(1);
        if (block.trimmed().isEmpty())
            return {};
        QString text = block.toString();
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        return text;
    }

    QStringView text_;
    qsizetype pos_ = 0;
    qsizetype commentStart_ = 0;
    qsizetype commentEnd_ = 0;
    int line_ = 0;
    Plugin plugin_;
    bool sizeSeen_ = false;
    bool paperSeen_ = false;
    bool inkSeen_ = false;
    std::array<bool, kCapabilityKeys.size()> capabilitySeen_{};
    std::vector<Attribute> *attrs_ = nullptr;
    Errors faults_;
};

// Date parts: "mm-dd-yyyy" or "yyyy/mm/dd"; -1 when the text is neither.
struct Numbers {
    int a = -1, b = -1, c = -1;
};

int digitsAt(QStringView s, qsizetype at, qsizetype count) {
    int v = 0;
    for (qsizetype i = at; i < at + count; ++i) {
        const QChar ch = s.at(i);
        if (ch < u'0' || ch > u'9')
            return -1;
        v = v * 10 + (ch.unicode() - u'0');
    }
    return v;
}

Numbers readDate(QStringView s) {
    Numbers n;
    if (s.size() == 10 && s.at(2) == u'-' && s.at(5) == u'-') {
        n.a = digitsAt(s, 6, 4);
        n.b = digitsAt(s, 0, 2);
        n.c = digitsAt(s, 3, 2);
    } else if (s.size() == 10 && s.at(4) == u'/' && s.at(7) == u'/') {
        n.a = digitsAt(s, 0, 4);
        n.b = digitsAt(s, 5, 2);
        n.c = digitsAt(s, 8, 2);
    }
    if (n.a < 0 || n.b < 0 || n.c < 0)
        return {};
    return n;
}

Numbers readTime(QStringView s) {
    Numbers n;
    if (s.size() == 8 && s.at(2) == u':' && s.at(5) == u':') {
        n.a = digitsAt(s, 0, 2);
        n.b = digitsAt(s, 3, 2);
        n.c = digitsAt(s, 6, 2);
    }
    if (n.a < 0 || n.b < 0 || n.c < 0)
        return {};
    return n;
}

void appendNumber(QString &out, qint64 value, int width) {
    const QString digits = QString::number(value < 0 ? -value : value);
    if (value < 0)
        out.append(u'-');
    for (qsizetype i = digits.size() + (value < 0 ? 1 : 0); i < width; ++i)
        out.append(u'0');
    out.append(digits);
}

} // namespace

QString faultText(Fault fault) {
    switch (fault) {
    case Fault::None:
        return {};
    case Fault::FileTooLarge:
        return QStringLiteral("the file is larger than 1 MiB");
    case Fault::NotUtf8:
        return QStringLiteral("the file is not UTF-8 text");
    case Fault::BadHeader:
        return QStringLiteral("the first line is not \"Q47 ticket plug-in 1\"");
    case Fault::BadVersion:
        return QStringLiteral("a format version this program does not read");
    case Fault::BadSection:
        return QStringLiteral("an unknown or repeated section, or a line before the first");
    case Fault::BadLine:
        return QStringLiteral("a line this section cannot read");
    case Fault::UnknownKey:
        return QStringLiteral("an unknown key or attribute");
    case Fault::RepeatedKey:
        return QStringLiteral("a key or attribute given twice");
    case Fault::MissingKey:
        return QStringLiteral("a required key or attribute is missing (layout items need "
                              "[ticket] and its size first)");
    case Fault::BadValue:
        return QStringLiteral("a value not of its kind or outside its range");
    case Fault::TicketTooLarge:
        return QStringLiteral("the ticket is larger than %1 x %1").arg(kMaxTicketPx);
    case Fault::OutsideTicket:
        return QStringLiteral("the item reaches past the ticket's edges");
    case Fault::TooManyItems:
        return QStringLiteral("more than 1000 layout items");
    case Fault::TooManyCompanies:
        return QStringLiteral("more than 1000 company names");
    case Fault::UnknownSymbology:
        return QStringLiteral("a barcode type this program does not draw");
    case Fault::BadTemplate:
        return QStringLiteral("an unknown placeholder, an unmatched brace or a width on a text "
                              "value");
    case Fault::TooLong:
        return QStringLiteral("a template longer than 1000 characters");
    case Fault::NotCp932:
        return QStringLiteral("text that CP932 cannot hold");
    case Fault::TooCostly:
        return QStringLiteral("the layout would take too long to draw: it costs more than %L1 "
                              "units")
            .arg(kMaxDrawingCost);
    }
    return {};
}

Error faultError(Fault fault, int line, const QString &concerned) {
    QString text = faultText(fault);
    if (!concerned.isEmpty())
        text += QStringLiteral(" (%1)").arg(concerned);
    return Error(fault == Fault::FileTooLarge ? Error::Kind::TooLarge : Error::Kind::Invalid, text)
        .at(line)
        .about(Error::Subject::Plugin);
}

Expected<Plugin, Errors> parsePlugin(QByteArrayView bytes) {
    const auto whole = [](Fault fault) { return Errors{faultError(fault, 0)}; };
    if (bytes.size() > kMaxFileBytes)
        return whole(Fault::FileTooLarge);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decode(bytes);
    if (decode.hasError())
        return whole(Fault::NotUtf8);
    return Parser(text).run();
}

QString fillTemplate(const Template &tpl, const TicketValues &v, const QStringList &companies) {
    const Numbers date = readDate(v.dateText);
    const Numbers time = readTime(v.timeText);
    const auto part = [](QString &out, int value, int width) {
        if (value >= 0)
            appendNumber(out, value, width);
    };
    QString out;
    for (const Segment &s : tpl.segments) {
        if (out.size() >= kMaxTemplateChars)
            break;
        switch (s.kind) {
        case Segment::Kind::Literal:
            out.append(QStringView(tpl.literals).sliced(s.from, s.count));
            break;
        case Segment::Kind::Stop:
            out.append(v.stopName);
            break;
        case Segment::Kind::Date:
            out.append(v.dateText);
            break;
        case Segment::Kind::Year:
            part(out, date.a, s.width);
            break;
        case Segment::Kind::Month:
            part(out, date.b, s.width);
            break;
        case Segment::Kind::Day:
            part(out, date.c, s.width);
            break;
        case Segment::Kind::Time:
            out.append(v.timeText);
            break;
        case Segment::Kind::Hour:
            part(out, time.a, s.width);
            break;
        case Segment::Kind::Minute:
            part(out, time.b, s.width);
            break;
        case Segment::Kind::Second:
            part(out, time.c, s.width);
            break;
        case Segment::Kind::Route:
            appendNumber(out, v.route, s.width);
            break;
        case Segment::Kind::Ticket:
            appendNumber(out, v.ticket, s.width);
            break;
        case Segment::Kind::Index:
            appendNumber(out, v.stopIndex, s.width);
            break;
        case Segment::Kind::Company:
            // No choice yet (an empty company list) prints the first company.
            if (v.companyIndex >= 0 && v.companyIndex < companies.size())
                out.append(companies.at(v.companyIndex));
            else if (!companies.isEmpty())
                out.append(companies.first());
            break;
        }
    }
    out.truncate(kMaxTemplateChars);
    return out;
}

namespace {

// The most characters a template can be filled with.
qint64 mostCharacters(const Template &tpl, const QStringList &companies) {
    qint64 longestCompany = 0;
    for (const QString &name : companies)
        longestCompany = std::max<qint64>(longestCompany, name.size());
    qint64 n = 0;
    for (const Segment &s : tpl.segments) {
        switch (s.kind) {
        case Segment::Kind::Literal:
            n += s.count;
            break;
        case Segment::Kind::Stop: // the route file's, of any length
            n += kMaxTemplateChars;
            break;
        case Segment::Kind::Date:
            n += 10;
            break;
        case Segment::Kind::Time:
            n += 8;
            break;
        case Segment::Kind::Company:
            n += longestCompany;
            break;
        default: // a 32-bit number with its sign, or wider by its padding
            n += std::max<qint64>(s.width, 11);
            break;
        }
    }
    return std::min<qint64>(n, kMaxTemplateChars);
}

} // namespace

qint64 drawingCost(const Item &item, const QStringList &companies) {
    const qint64 width = item.box.width();
    const qint64 area = width * item.box.height();
    switch (item.kind) {
    case Item::Kind::Text: {
        const qint64 size = item.pixelSize;
        const qint64 characters = mostCharacters(item.text, companies);
        // Glyphs of 32 pixels and more (64 and more on a screen of ratio 2) are filled as
        // outlines, row by row; smaller ones, or ones condensed thinner than 1024 square
        // pixels, are drawn from a cache. A text holds as many outlined glyphs as fit its box
        // at a quarter of their size, or as condensing leaves above that.
        const qint64 outlined =
            size < 32 ? 0
                      : std::min(characters, std::max(4 * width / size, size * width / 1024 + 1));
        return characters * 1000 + outlined * size * 2500 + 8 * width * size;
    }
    case Item::Kind::Line: {
        const QLine l = item.line;
        if (l.dx() == 0 || l.dy() == 0)
            return (std::abs(l.dx()) + std::abs(l.dy())) * qint64(item.penWidth);
        return static_cast<qint64>(4 * std::hypot(l.dx(), l.dy()) * item.penWidth) + 1;
    }
    case Item::Kind::Frame:
        return std::min(area, 2 * (width + item.box.height()) * item.penWidth);
    case Item::Kind::Box:
        return area;
    case Item::Kind::Barcode:
        return 5'000'000 + area;
    }
    return 0;
}

} // namespace ticket
} // namespace q47
