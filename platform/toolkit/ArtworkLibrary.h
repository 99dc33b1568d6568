// Named artwork: SVG files found by name in a list of bundles, rendered at any size.
#pragma once

#include "platform/foundation/Bundle.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
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

// A kit's one library, alive while someone holds it: the open editors hold it, so images stay
// parsed and cached while any editor is open, and it goes with the last of them, while JUCE still
// runs (its objects must not outlive JUCE). Used while nobody holds it (a kit's images drawn
// outside an editor), it lives until JUCE shuts down, or until the holds taken after that end.
// The bundles searched are those of the kit's binary and the main bundle, or the ones given to
// use(); they outlast any one library. Threads: message thread.
class SharedArtworkLibrary {
public:
  // kitAddress: any address in the binary that holds the kit.
  explicit SharedArtworkLibrary(const void* kitAddress) noexcept : kitAddress_(kitAddress) {}
  SharedArtworkLibrary(const SharedArtworkLibrary&) = delete;
  SharedArtworkLibrary& operator=(const SharedArtworkLibrary&) = delete;
  // Lets go of an unheld use (a kit's static instance finds it gone with JUCE's shutdown).
  ~SharedArtworkLibrary();

  // The library, made now if there is none, kept until every copy of the result is gone (and no
  // longer than that, even if it was used unheld before).
  std::shared_ptr<ArtworkLibrary> hold();
  // The library, made now if there is none.
  ArtworkLibrary& get();
  // Searches these bundles from now on: lets go of what was parsed from the previous ones.
  void use(const std::vector<foundation::Bundle>& bundles);

  // How many holds are out; whether a library is alive; how many were made so far.
  long holders() const noexcept;
  bool isLoaded() const noexcept { return !library_.expired(); }
  int librariesMade() const noexcept { return librariesMade_; }

private:
  class UnheldUse;

  std::shared_ptr<ArtworkLibrary> make();

  const void* kitAddress_;
  std::optional<std::vector<foundation::Bundle>> bundles_; // as given to use()
  std::weak_ptr<ArtworkLibrary> library_;
  UnheldUse* unheld_ = nullptr; // owned by JUCE's list of objects deleted at its shutdown
  int librariesMade_ = 0;
};

} // namespace toolkit
