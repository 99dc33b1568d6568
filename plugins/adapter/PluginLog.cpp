// A log sink for plug-ins: hosts print their plug-ins' standard error, so only what matters.
#include "plugins/adapter/PluginLog.h"

#include "platform/foundation/Log.h"

#include <cstdlib>
#include <string_view>

namespace plugins {

void quietenPluginLog() {
  [[maybe_unused]] static const bool installed = [] {
    const char* asked = std::getenv(kPluginLogVariable);
    const bool informational = asked && *asked && std::string_view(asked) != "0";
    foundation::Log::setSink([informational](const foundation::LogRecord& record) {
      if (informational || record.level == foundation::LogLevel::error)
        foundation::Log::writeToStandardError(record);
    });
    return true;
  }();
}

} // namespace plugins
