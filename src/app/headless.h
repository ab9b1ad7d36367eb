#pragma once

namespace q47 {

struct CommandLine;

// The runs that end by themselves: a picture of the board or of one ticket, written without a
// display, and the check of a ticket plug-in. Each returns the program's exit code.

// The board as the saved state leaves it, or on the route given.
int runScreenshot(const CommandLine &line, char *program);
// One ticket of the plug-in given: on the route's stop when one is given, else with sample
// values.
int runTicket(const CommandLine &line, char *program);
// Each fault of the plug-in with its line, and each barcode that would be left out.
int runPluginCheck(const CommandLine &line);

} // namespace q47
