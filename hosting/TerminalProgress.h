// A percentage on standard error, redrawn in place, for work long enough to wait on.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace hosting {

// Shows nothing unless standard error is a terminal and the work has run for half a second.
class TerminalProgress {
public:
  explicit TerminalProgress(std::string label);
  ~TerminalProgress();

  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  void update(std::int64_t done, std::int64_t total) noexcept;
  // Erases the line, so whatever is printed next starts clean.
  void finish() noexcept;

private:
  std::string label;
  bool enabled;
  bool shown = false;
  int lastPercent = -1;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

} // namespace hosting
