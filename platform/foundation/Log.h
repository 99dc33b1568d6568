// Messages tagged with a subsystem and a category, one line each on standard error unless a
// test or the host installs another sink.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace foundation {

enum class LogLevel { info, error };

struct LogRecord {
  std::string subsystem;
  std::string category;
  LogLevel level = LogLevel::info;
  std::string message;
};

using LogSink = std::function<void(const LogRecord&)>;

// Never from the render thread: logging allocates and takes a lock.
class Log {
public:
  // Any thread.
  Log(std::string subsystem, std::string category);

  // Default level. Any thread but the render thread.
  void info(std::string_view message) const;
  // Error level. Any thread but the render thread.
  void error(std::string_view message) const;

  // Sends every later record of the process to sink (an empty sink restores standard error)
  // and returns the previous one. Sinks are called outside the lock, possibly from several
  // threads at once. Any thread but the render thread.
  static LogSink setSink(LogSink sink);

  // The default sink: "[subsystem:category] message", "error: " before the message at error
  // level, control characters escaped so that a record stays one line. Any thread.
  static void writeToStandardError(const LogRecord& record);

  // For a plug-in inside a host, which prints its plug-ins' standard error: sends this binary's
  // log there, informational lines only when kPluginLogVariable is set to other than "0". Each
  // plug-in binary has its own log, so no other code in the host is touched. Idempotent; any
  // thread but the render thread.
  static constexpr const char* kPluginLogVariable = "ORRINBROOK_PLUGIN_LOG";
  static void quietenForPlugin();

private:
  void write(LogLevel level, std::string_view message) const;

  std::string subsystem_;
  std::string category_;
};

// Collects every record logged while it exists, in place of the current sink, which it
// restores when destroyed (so captures nest). For tests. Any thread but the render thread.
class ScopedLogCapture {
public:
  ScopedLogCapture();
  ~ScopedLogCapture();
  ScopedLogCapture(const ScopedLogCapture&) = delete;
  ScopedLogCapture& operator=(const ScopedLogCapture&) = delete;

  // A copy of the records so far, in the order they arrived.
  std::vector<LogRecord> records() const;
  // Just the messages, the common thing to assert on.
  std::vector<std::string> messages() const;

private:
  struct Records {
    std::mutex mutex;
    std::vector<LogRecord> list;
  };
  // Shared with the sink: a record already on its way may arrive after this capture ends.
  std::shared_ptr<Records> records_;
  LogSink previous_;
};

} // namespace foundation
