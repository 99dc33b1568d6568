// The generator's artwork kit.
#include "PallixAU/editor/KnobsStyleKit.h"

#include <memory>

namespace pallix::editor {

namespace {

// Its address names the binary that holds the kit.
const int kitAnchor = 0;

toolkit::SharedArtworkLibrary& kitLibrary() {
  static toolkit::SharedArtworkLibrary library(&kitAnchor);
  return library;
}

} // namespace

void KnobsStyleKit::useBundles(const std::vector<foundation::Bundle>& bundles) {
  kitLibrary().use(bundles);
}

std::shared_ptr<toolkit::ArtworkLibrary> KnobsStyleKit::holdLibrary() {
  return kitLibrary().hold();
}

const toolkit::SharedArtworkLibrary& KnobsStyleKit::sharedLibrary() { return kitLibrary(); }

toolkit::ArtworkLibrary& KnobsStyleKit::library() { return kitLibrary().get(); }

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
