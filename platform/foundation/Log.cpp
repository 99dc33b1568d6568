// The process-wide log sink and its default, standard error.
#include "platform/foundation/Log.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <utility>

namespace foundation {

namespace {

std::mutex& sinkMutex() {
  static std::mutex mutex;
  return mutex;
}

// Shared so that a record can be delivered outside the lock while another thread swaps sinks.
std::shared_ptr<const LogSink>& currentSink() {
  static std::shared_ptr<const LogSink> sink;
  return sink;
}

void appendEscaped(std::string& line, std::string_view text) {
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\n') {
      line += "\\n";
    } else if (c == '\r') {
      line += "\\r";
    } else if (c == '\t') {
      line += "\\t";
    } else if (u < 0x20 || u == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", u);
      line += escaped;
    } else {
      line += c;
    }
  }
}

} // namespace

Log::Log(std::string subsystem, std::string category)
    : subsystem_(std::move(subsystem)), category_(std::move(category)) {}

void Log::info(std::string_view message) const { write(LogLevel::info, message); }

void Log::error(std::string_view message) const { write(LogLevel::error, message); }

void Log::write(LogLevel level, std::string_view message) const {
  std::shared_ptr<const LogSink> sink;
  {
    std::lock_guard lock(sinkMutex());
    sink = currentSink();
  }
  const LogRecord record{subsystem_, category_, level, std::string(message)};
  if (sink && *sink)
    (*sink)(record);
  else
    writeToStandardError(record);
}

LogSink Log::setSink(LogSink sink) {
  auto next = sink ? std::make_shared<const LogSink>(std::move(sink)) : nullptr;
  std::lock_guard lock(sinkMutex());
  std::shared_ptr<const LogSink> previous = std::exchange(currentSink(), std::move(next));
  return previous ? *previous : LogSink{};
}

void Log::quietenForPlugin() {
  [[maybe_unused]] static const bool installed = [] {
    const char* asked = std::getenv(kPluginLogVariable);
    const bool informational = asked && *asked && std::string_view(asked) != "0";
    setSink([informational](const LogRecord& record) {
      if (informational || record.level == LogLevel::error)
        writeToStandardError(record);
    });
    return true;
  }();
}

void Log::writeToStandardError(const LogRecord& record) {
  std::string line = "[";
  appendEscaped(line, record.subsystem);
  line += ':';
  appendEscaped(line, record.category);
  line += "] ";
  if (record.level == LogLevel::error)
    line += "error: ";
  appendEscaped(line, record.message);
  line += '\n';
  // One call per line: stdio locks the stream, so lines from several threads do not mix.
  std::fwrite(line.data(), 1, line.size(), stderr);
}

ScopedLogCapture::ScopedLogCapture()
    : records_(std::make_shared<Records>()),
      previous_(Log::setSink([records = records_](const LogRecord& record) {
        std::lock_guard lock(records->mutex);
        records->list.push_back(record);
      })) {}

ScopedLogCapture::~ScopedLogCapture() { Log::setSink(std::move(previous_)); }

std::vector<LogRecord> ScopedLogCapture::records() const {
  std::lock_guard lock(records_->mutex);
  return records_->list;
}

std::vector<std::string> ScopedLogCapture::messages() const {
  std::lock_guard lock(records_->mutex);
  std::vector<std::string> result;
  result.reserve(records_->list.size());
  for (const auto& record : records_->list)
    result.push_back(record.message);
  return result;
}

} // namespace foundation
