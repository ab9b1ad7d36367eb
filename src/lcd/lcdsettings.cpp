#include "lcdsettings.h"

#include "boardzoom.h"

#include <QSettings>

#include <algorithm>

namespace q47::lcd {

namespace {

const QString kBoardKey = QStringLiteral("lcd/board");
const QString kPageKey = QStringLiteral("lcd/pageSeconds");
const QString kZoomKey = QStringLiteral("lcd/zoom");
const QString kPosKey = QStringLiteral("lcd/pos");

QString formBeatsKey(int form) {
    return QStringLiteral("lcd/formBeats/") + nameFormTag(NameForm(form));
}

} // namespace

std::optional<BoardKind> boardKindNamed(const QString &name) {
    if (name == u"led")
        return BoardKind::Led;
    if (name == u"lcd")
        return BoardKind::Lcd;
    if (name == u"led,lcd" || name == u"lcd,led")
        return BoardKind::Both;
    return std::nullopt;
}

QString boardKindName(BoardKind kind) {
    switch (kind) {
    case BoardKind::Lcd:
        return QStringLiteral("lcd");
    case BoardKind::Both:
        return QStringLiteral("led,lcd");
    case BoardKind::Led:
        break;
    }
    return QStringLiteral("led");
}

BoardKind readBoardKind(const QSettings &settings) {
    return boardKindNamed(settings.value(kBoardKey).toString()).value_or(BoardKind::Led);
}

void writeBoardKind(QSettings &settings, BoardKind kind) {
    settings.setValue(kBoardKey, boardKindName(kind));
}

int readPageSeconds(const QSettings &settings) {
    bool ok = false;
    const int seconds = settings.value(kPageKey).toInt(&ok);
    return ok && seconds >= kMinPageSeconds && seconds <= kMaxPageSeconds ? seconds
                                                                          : kDefaultPageSeconds;
}

void writePageSeconds(QSettings &settings, int seconds) {
    settings.setValue(kPageKey, std::clamp(seconds, kMinPageSeconds, kMaxPageSeconds));
}

QString nameFormTag(NameForm form) {
    if (form == NameForm::Kanji)
        return QStringLiteral("kanji");
    if (form == NameForm::Kana)
        return QStringLiteral("kana");
    return QString(nameLanguageTag(languageOf(form)));
}

std::optional<NameForm> nameFormNamed(const QString &tag) {
    for (int form = 0; form < kNameForms; ++form)
        if (tag == nameFormTag(NameForm(form)))
            return NameForm(form);
    return std::nullopt;
}

std::array<int, kNameForms> readFormBeats(const QSettings &settings) {
    std::array<int, kNameForms> beats = Beats{}.formBeats;
    for (int form = 0; form < kNameForms; ++form) {
        bool ok = false;
        const int value = settings.value(formBeatsKey(form)).toInt(&ok);
        if (ok && value >= (form == 0 ? 1 : 0) && value <= kMaxFormBeats)
            beats[size_t(form)] = value;
    }
    return beats;
}

void writeFormBeats(QSettings &settings, const std::array<int, kNameForms> &beats) {
    for (int form = 0; form < kNameForms; ++form)
        settings.setValue(formBeatsKey(form),
                          std::clamp(beats[size_t(form)], form == 0 ? 1 : 0, kMaxFormBeats));
}

qreal readLcdZoom(const QSettings &settings) {
    return board::snapZoom(settings.value(kZoomKey, 1.0).toReal());
}

void writeLcdZoom(QSettings &settings, qreal zoom) {
    settings.setValue(kZoomKey, board::snapZoom(zoom));
}

std::optional<QPoint> readLcdPosition(const QSettings &settings) {
    const QVariant at = settings.value(kPosKey);
    if (!at.canConvert<QPoint>() || at.isNull())
        return std::nullopt;
    return at.toPoint();
}

void writeLcdPosition(QSettings &settings, const QPoint &at) {
    settings.setValue(kPosKey, at);
}

} // namespace q47::lcd
