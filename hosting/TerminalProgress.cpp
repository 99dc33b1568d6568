// A percentage on standard error, redrawn in place.
#include "hosting/TerminalProgress.h"

#include <cstdio>
#include <unistd.h>

namespace hosting {

namespace {
constexpr auto kQuietPeriod = std::chrono::milliseconds(500);
}

TerminalProgress::TerminalProgress(std::string label)
    : label(std::move(label)), enabled(isatty(STDERR_FILENO) == 1) {}

TerminalProgress::~TerminalProgress() { finish(); }

void TerminalProgress::update(std::int64_t done, std::int64_t total) noexcept {
  if (!enabled || total <= 0)
    return;
  if (!shown && std::chrono::steady_clock::now() - start < kQuietPeriod)
    return;
  const int percent = static_cast<int>(done * 100 / total);
  if (percent == lastPercent)
    return;
  lastPercent = percent;
  shown = true;
  std::fprintf(stderr, "\r%s: %3d%%", label.c_str(), percent);
  std::fflush(stderr);
}

void TerminalProgress::finish() noexcept {
  if (!shown)
    return;
  shown = false;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
}

} // namespace hosting
