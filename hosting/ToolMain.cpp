// How the tools end: exit statuses and one-line reports.
#include "hosting/ToolMain.h"

#include "hosting/CommandLine.h"
#include "hosting/Interruption.h"
#include "platform/foundation/Log.h"

#include <algorithm>
#include <iostream>
#include <string>

namespace hosting {

namespace {
std::string_view runningTool = "note";
} // namespace

int reportError(std::string_view tool, std::string_view message, int status) {
  // Errors quoted from libraries may span lines; the report stays one.
  std::string line(message);
  std::replace(line.begin(), line.end(), '\n', ' ');
  std::cerr << tool << ": " << line << '\n';
  return status;
}

void reportNote(std::string_view message) { reportError(runningTool, message, 0); }

int reportWriteFailure(std::string_view tool, std::string_view destination, std::string_view why) {
  // A signal ends a write into a stalled pipe: that is the interruption, not the pipe's fault.
  if (interruptionRequested())
    return reportError(tool, "interrupted; " + inQuotes(destination) + " left as it was",
                       kInterruptedStatus);
  return reportError(tool, "cannot write " + inQuotes(destination) + ": " + std::string(why),
                     kUsageStatus);
}

int runTool(std::string_view tool, const std::function<int()>& body) {
  // Standard error is for what went wrong: progress notes of the units (catalogues loaded) are
  // dropped, their errors (a malformed file, named) kept.
  foundation::Log::setSink([](const foundation::LogRecord& record) {
    if (record.level == foundation::LogLevel::error)
      foundation::Log::writeToStandardError(record);
  });
  runningTool = tool;
  try {
    return body();
  } catch (const UsageError& error) {
    return reportError(tool, error.what(), kUsageStatus);
  } catch (const std::exception& error) {
    return reportError(tool, error.what(), kFailureStatus);
  }
}

} // namespace hosting
