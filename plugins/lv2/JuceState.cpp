// A JUCE-era state checked from its length to its shape before the unit sees it.
#include "plugins/lv2/JuceState.h"

#include "platform/audiounit/StereoSourceUnit.h"
#include "plugins/lv2/JuceBase64.h"

#include <span>
#include <string_view>

namespace plugins::lv2 {

std::string juceStateKey(const char* pluginUri) { return std::string(pluginUri) + ":StateString"; }

std::optional<foundation::PropertyList> readJuceState(const void* text, std::size_t size,
                                                      const AUAudioUnit& unit) {
  // Base-64 takes four characters for three bytes; the count and the dot fit in the rest.
  constexpr std::size_t kMaximumText = kMaximumJuceStateBytes / 3 * 4 + 64;
  if (!text || size == 0 || size > kMaximumText)
    return std::nullopt;
  std::string_view characters(static_cast<const char*>(text), size);
  if (characters.back() == '\0')
    characters.remove_suffix(1);
  const auto bytes = decodeJuceBase64(characters, kMaximumJuceStateBytes);
  if (!bytes || bytes->empty())
    return std::nullopt;
  auto parsed = foundation::PropertyList::read(std::span<const std::uint8_t>(*bytes));
  if (!parsed.value || !parsed.value->dictionary())
    return std::nullopt;
  // A unit falls back to its defaults for a state not its own; here it is no state at all.
  if (const auto* ours = dynamic_cast<const StereoSourceUnit*>(&unit))
    if (ours->stateProblem(*parsed.value))
      return std::nullopt;
  return std::move(parsed.value);
}

} // namespace plugins::lv2
