// The help window's texts: the About page's lines and the eight text pages, all built in.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

struct HelpContentItem {
  enum class Kind { body, paramRow, tip };
  Kind kind = Kind::body;
  std::string name; // paramRow only
  std::string text;
};

struct HelpContentPage {
  std::string navLabel;
  std::string title;
  std::vector<HelpContentItem> items;
};

// The pages after "About", in segment order.
const std::vector<HelpContentPage>& helpPages();

inline constexpr std::string_view kAboutLabel = "About";
inline constexpr std::string_view kAboutTagline = "Polyphonic wavetable synthesizer";
inline constexpr std::string_view kAboutFormats =
    "LV2 \u00b7 VST3 \u2014 runs in any compatible host";

// "v1.2 (34)"; a missing value shows as "?".
std::string helpVersionLine(const std::optional<std::string>& shortVersion,
                            const std::optional<std::string>& buildNumber);
// The line for this build: its version and build number, compiled in.
std::string helpVersionLine();

} // namespace app
