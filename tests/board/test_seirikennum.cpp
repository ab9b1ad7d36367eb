#include "seirikennum.h"

#include <gtest/gtest.h>

using namespace q47;

namespace {

// Label 1, 2 and 50 after a style; "-" where the label keeps its caption.
struct Case {
    int style;
    bool zeroPad;
    const char16_t *label1, *label2, *label50;
    bool digitFace;
};

QString shown(const SeirikenNumbering &n, int k) {
    if (const auto &c = n.captions[static_cast<size_t>(k)])
        return *c;
    if (k == 1 && n.label1Word)
        return *n.label1Word;
    return QStringLiteral("-");
}

} // namespace

TEST(SeirikenNumbering, StylesWriteTheirWordsAndNumbers) {
    const Case cases[] = {
        {0, false, u"１", u"２", u"５０", true},      {0, true, u"０１", u"０２", u"５０", true},
        {1, false, u"０", u"１", u"４９", true},      {1, true, u"００", u"０１", u"４９", true},
        {2, false, u"な し", u"１", u"４９", false},  {5, true, u"無 券", u"０２", u"５０", false},
        {7, false, u"券なし", u"２", u"５０", false}, {8, false, u"券無し", u"１", u"４９", false},
        {10, false, u"", u"１", u"４９", false},      {11, true, u"", u"０２", u"５０", false},
        {12, false, u"", u"-", u"-", false}, // label 1 emptied, the rest as they were
        {-1, false, u"-", u"-", u"-", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.style);
        const SeirikenNumbering n = seirikenNumbering(c.style, c.zeroPad);
        EXPECT_EQ(shown(n, 1), QString::fromUtf16(c.label1));
        EXPECT_EQ(shown(n, 2), QString::fromUtf16(c.label2));
        EXPECT_EQ(shown(n, 50), QString::fromUtf16(c.label50));
        EXPECT_EQ(n.digitFaceOnLabel1, c.digitFace);
    }
}
