#pragma once

#include <QString>

#include <array>
#include <optional>

namespace q47 {

// What one numbering style writes on the fifty ticket-number labels: the face and word of
// label 1, and each label's new caption (none: the label keeps what it shows).
struct SeirikenNumbering {
    bool digitFaceOnLabel1 = true;     // else the proportional Japanese face
    std::optional<QString> label1Word; // written before the numbers, which may overwrite it
    std::array<std::optional<QString>, 51> captions{}; // index 1 to 50

    static constexpr const char *kDigitFace = "クイロン数字平体";
    static constexpr const char *kWordFace = "ＭＳ Ｐゴシック";
};

// Styles 0 to 11 as the options list them: numbers from 1 or from 0, or a word or nothing on
// label 1 followed by numbers from 1 or 2. Other styles write only label 1's face and word.
SeirikenNumbering seirikenNumbering(int style, bool zeroPad);

// A label's number: two digits with zeroPad ("00"), in full-width characters (１, ０１, １０).
QString seirikenNumberText(int n, bool zeroPad);

} // namespace q47
