#pragma once

#include "boardcontent.h"
#include "error.h"

#include <QByteArray>
#include <QString>

namespace q47 {

// What one board sends another: the whole of a BoardContent as compact JSON with a format
// version (docs/remote.md). A picture of the user's own is not sent, its file being the
// publisher's: the followers show the built-in face of the backlight row in its place. A message is
// the full state, never a difference, so that a board that joins late, or misses a message, shows
// the right thing from the next one on.
inline constexpr int kBoardStateVersion = 1;

// A message longer than this is not read at all; every state that encodeBoardState() makes is
// shorter, whatever its texts.
inline constexpr qsizetype kMaxBoardStateBytes = 64 * 1024;

// The longest texts a state carries, in UTF-16 units: a stop's names and forms, the route's
// number, name and headsign, and a fare cell's value. Longer ones are cut when encoded.
inline constexpr qsizetype kMaxStateNameLength = 256;
inline constexpr qsizetype kMaxStateCellTextLength = 64;

QByteArray encodeBoardState(const BoardContent &content);

// Reads a message strictly, to the content or why it was turned down (Error's detail, naming
// the field; TooLarge or Invalid): anything that is not JSON, not an object, of another version,
// with a missing or unknown field, or with a value no board would hold (a cell's format outside the
// digit control's ranges, a backlight row other than 0 to 2, a text beyond the bounds above)
// is turned down whole.
Result<BoardContent> decodeBoardState(const QByteArray &message);

} // namespace q47
