#include "mdlq47_000.h"

#include "form1.h"

namespace q47 {

void SeirikenNumSet(Form1 &board, qint16 style, qint16 zeroPad) {
    board.setLabelNumbering(style, zeroPad != 0);
}

} // namespace q47
