// A log sink for the LV2 plug-ins; the JUCE adapter has its own, as that library needs JUCE.
#include "plugins/lv2/PluginLog.h"

#include "platform/foundation/Log.h"

#include <cstdlib>
#include <string_view>

namespace plugins::lv2 {

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

} // namespace plugins::lv2
