#include "fonts.h"

#include <QFont>
#include <QStringList>

namespace q47 {

void installFontSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"),
                               {QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ 明朝"),
                               {QStringLiteral("IPAMincho"), QStringLiteral("IPA明朝")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPAPゴシック")});
    // The ticket-number face only needs full-width digits.
    QFont::insertSubstitutions(QStringLiteral("クイロン数字平体"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
}

} // namespace q47
