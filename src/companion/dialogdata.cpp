#include "dialogdata.h"

#include <QRegularExpression>

namespace q47 {

namespace {

// ASCII letters only: the file dialog reads its patterns back with an ASCII-only expression.
bool hasCase(QChar c) {
    return c.unicode() < 0x80 && c.isLetter();
}

QChar otherCase(QChar c) {
    return c.isLower() ? c.toUpper() : c.toLower();
}

} // namespace

DateRecord dateRecordFrom(QDate date) {
    DateRecord r;
    r.wYear = static_cast<qint16>(date.year());
    r.wMonth = static_cast<qint16>(date.month());
    r.wDay = static_cast<qint16>(date.day());
    r.wDayOfWeek = static_cast<qint16>(date.dayOfWeek() % 7); // Qt counts Monday 1 .. Sunday 7
    return r;
}

QDate toDate(const DateRecord &date) {
    return QDate(date.wYear, date.wMonth, date.wDay);
}

QString fixedDateText(const DateRecord &date) {
    return QStringLiteral("%1/%2/%3")
        .arg(date.wYear)
        .arg(date.wMonth, 2, 10, QLatin1Char('0'))
        .arg(date.wDay, 2, 10, QLatin1Char('0'));
}

QString FileFilter::nameFilter() const {
    return description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

bool FileFilter::matches(const QString &fileName) const {
    for (const QString &pattern : patterns) {
        // Case-sensitive on purpose: the patterns carry both cases themselves, so that
        // they behave the same wherever they are used.
        const auto rx = QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive);
        if (rx.match(fileName).hasMatch())
            return true;
    }
    return false;
}

QString fileFilterList(std::initializer_list<QString> texts) {
    QString list;
    for (const QString &text : texts)
        list += text + QChar(0);
    return list + QChar(0);
}

QList<FileFilter> parseFileFilterList(const QString &list) {
    QStringList texts;
    for (const QString &text : list.split(QChar(0))) {
        if (text.isEmpty())
            break;
        texts.append(text);
    }
    QList<FileFilter> filters;
    for (qsizetype i = 0; i + 1 < texts.size(); i += 2) {
        FileFilter filter{texts[i], {}};
        for (const QString &pattern : texts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            if (!trimmed.isEmpty())
                filter.patterns.append(caseFreePattern(trimmed));
        }
        if (!filter.patterns.isEmpty())
            filters.append(filter);
    }
    return filters;
}

QString caseFreePattern(const QString &pattern) {
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('[')) {
            // A set already: add the other case of its letters and ranges inside it ("[a-c]"
            // -> "[a-cA-C]"). A leading "]" belongs to the set, "!" negates it.
            qsizetype j = i + 1;
            QString head;
            if (j < pattern.size() && pattern[j] == QLatin1Char('!'))
                head += pattern[j++];
            const qsizetype bodyStart = j;
            if (j < pattern.size() && pattern[j] == QLatin1Char(']'))
                ++j;
            while (j < pattern.size() && pattern[j] != QLatin1Char(']'))
                ++j;
            if (j < pattern.size()) {
                const QString body = pattern.mid(bodyStart, j - bodyStart);
                const QString rest = body.startsWith(QLatin1Char(']')) ? body.mid(1) : body;
                QString swapped;
                for (QChar b : rest)
                    swapped += hasCase(b) ? otherCase(b) : b;
                out += QLatin1Char('[') + head + body + (swapped != rest ? swapped : QString()) +
                       QLatin1Char(']');
                i = j;
                continue;
            }
        }
        if (hasCase(c))
            out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

} // namespace q47
