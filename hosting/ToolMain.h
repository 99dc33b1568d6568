// How the tools end: the exit statuses they share and the one line that says what went wrong.
#pragma once

#include <functional>
#include <string_view>

namespace hosting {

inline constexpr int kFailureStatus = 1;
inline constexpr int kUsageStatus = 2;
inline constexpr int kInterruptedStatus = 130; // as a shell reports a Ctrl-C

// Prints "TOOL: MESSAGE" on standard error; returns status.
int reportError(std::string_view tool, std::string_view message, int status);

// Prints "TOOL: MESSAGE" on standard error for the tool that runTool runs, which goes on: for
// what the user should know of a command line the tool could still follow.
void reportNote(std::string_view message);

// "TOOL: cannot write 'DESTINATION': WHY" with status 2: what stops an output (a full disk, a
// read-only folder) is the user's to mend, as a bad option is. After an interruption, which also
// ends a write, the interruption's report and status instead.
int reportWriteFailure(std::string_view tool, std::string_view destination, std::string_view why);

// The body's status; a UsageError it throws gives status 2, any other exception status 1, each
// reported on one line. Only error-level log records reach standard error meanwhile.
int runTool(std::string_view tool, const std::function<int()>& body);

} // namespace hosting
