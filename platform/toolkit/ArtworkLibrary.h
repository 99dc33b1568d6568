// Named artwork: SVG files found by name in a list of bundles, rendered at any size.
#pragma once

#include "platform/foundation/Bundle.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace toolkit {

// How a named image fills a frame.
enum class ArtworkFit {
  // Scaled uniformly to the largest size that fits, times the scale, centred; whatever falls
  // outside the frame is cut off.
  fitted,
  // Given exactly the frame's size.
  stretched,
};

// An image named N is the file artwork/N.svg in a bundle's resources; the first bundle in the
// list that holds one wins. Bundles whose resources folder is missing or already listed are
// skipped. A name no bundle holds (or whose file does not parse) renders as a transparent image
// of the requested size. Files are read once; renders of the same size are kept.
// Threads: message thread only (JUCE's drawables are components).
class ArtworkLibrary {
public:
  static constexpr std::string_view kFolder = "artwork";
  static constexpr std::string_view kExtension = "svg";

  explicit ArtworkLibrary(const std::vector<foundation::Bundle>& bundles);
  ArtworkLibrary(const ArtworkLibrary&) = delete;
  ArtworkLibrary& operator=(const ArtworkLibrary&) = delete;

  // The resources folders searched, in order.
  const std::vector<foundation::Bundle>& bundles() const noexcept { return bundles_; }

  // The parsed image of that name, or null.
  const juce::Drawable* find(std::string_view name);

  // The named image in a width × height image (pixels), placed by fit; scale applies to
  // ArtworkFit::fitted only.
  juce::Image render(std::string_view name, float width, float height, ArtworkFit fit,
                     float scale = 1.0f);

private:
  static constexpr std::size_t kRenderCacheCapacity = 256;
  using RenderKey = std::tuple<std::string, int, int, ArtworkFit, float>;

  std::vector<foundation::Bundle> bundles_;
  std::map<std::string, std::unique_ptr<juce::Drawable>, std::less<>> drawables_;
  std::map<RenderKey, juce::Image> renders_;
};

// The rectangle a drawing was made for (an SVG's view box), in its own coordinates.
juce::Rectangle<float> naturalBoundsOf(const juce::Drawable& drawable);

// Draws drawable so that its natural bounds land on target.
void drawInto(juce::Graphics& g, const juce::Drawable& drawable, juce::Rectangle<float> target);

// Where a drawing of natural size natural lands in a width × height frame by the fitted rule.
juce::Rectangle<float> fittedFrame(juce::Rectangle<float> natural, float width, float height,
                                   float scale);

// The bundle of the running program's executable (the "main bundle").
foundation::Bundle mainBundle();

// A kit's one library: made on first use from the bundle holding the kit and the main bundle,
// replaceable (tests, tools given a resources folder), and released while JUCE still runs, since
// its objects must not outlive JUCE. Threads: message thread.
class SharedArtworkLibrary {
public:
  // kitAddress: any address in the binary that holds the kit.
  explicit SharedArtworkLibrary(const void* kitAddress) noexcept : kitAddress_(kitAddress) {}

  ArtworkLibrary& get();
  void use(const std::vector<foundation::Bundle>& bundles) {
    library_ = std::make_unique<ArtworkLibrary>(bundles);
  }
  void release() noexcept { library_.reset(); }

private:
  const void* kitAddress_;
  std::unique_ptr<ArtworkLibrary> library_;
};

} // namespace toolkit
