#pragma once

namespace q47 {

struct CommandLine;

// The whole ride of the command line's route recorded into a video file without a display:
// the board's frames from its own renderer, the step sounds, chimes and speech mixed at their
// times; a progress line on the error output. SIGINT or SIGTERM cancels it, leaving nothing
// behind. Returns the program's exit code.
int runRecording(const CommandLine &line, char *program);

} // namespace q47
