// The generator's artwork kit.
#include "PallixAU/editor/KnobsStyleKit.h"

#include <memory>

namespace pallix::editor {

namespace {

// Its address names the binary that holds the kit.
const int kitAnchor = 0;

std::unique_ptr<toolkit::ArtworkLibrary>& sharedLibrary() {
  static std::unique_ptr<toolkit::ArtworkLibrary> library;
  return library;
}

} // namespace

void KnobsStyleKit::useBundles(const std::vector<foundation::Bundle>& bundles) {
  sharedLibrary() = std::make_unique<toolkit::ArtworkLibrary>(bundles);
}

void KnobsStyleKit::releaseLibrary() noexcept { sharedLibrary().reset(); }

toolkit::ArtworkLibrary& KnobsStyleKit::library() {
  auto& library = sharedLibrary();
  if (!library)
    library = std::make_unique<toolkit::ArtworkLibrary>(
        std::vector<foundation::Bundle>{foundation::Bundle::of(&kitAnchor), toolkit::mainBundle()});
  return *library;
}

juce::Image KnobsStyleKit::imageNamed(std::string_view name, juce::Rectangle<float> frame) {
  return library().render(name, frame.getWidth(), frame.getHeight(),
                          toolkit::ArtworkFit::stretched);
}

juce::Image KnobsStyleKit::imageOfKnobOverlay(juce::Rectangle<float> f) {
  return imageNamed("KnobOverlay", f);
}
juce::Image KnobsStyleKit::imageOfPallixUnderlay(juce::Rectangle<float> f) {
  return imageNamed("PallixUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfEmbroideryUnderlay(juce::Rectangle<float> f) {
  return imageNamed("EmbroideryUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfEasinessUnderlay(juce::Rectangle<float> f) {
  return imageNamed("EasinessUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfEmotionUnderlay(juce::Rectangle<float> f) {
  return imageNamed("EmotionUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfEtiquetteUnderlay(juce::Rectangle<float> f) {
  return imageNamed("EtiquetteUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfEvolutionUnderlay(juce::Rectangle<float> f) {
  return imageNamed("EvolutionUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfExoticaUnderlay(juce::Rectangle<float> f) {
  return imageNamed("ExoticaUnderlay", f);
}

} // namespace pallix::editor
