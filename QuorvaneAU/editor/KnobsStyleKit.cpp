// The synthesiser's artwork kit.
#include "QuorvaneAU/editor/KnobsStyleKit.h"

#include "platform/toolkit/ImageRendering.h"

#include <algorithm>
#include <memory>

namespace quorvane::editor {

namespace {

// Its address names the binary that holds the kit.
const int kitAnchor = 0;

toolkit::SharedArtworkLibrary& kitLibrary() {
  static toolkit::SharedArtworkLibrary library(&kitAnchor);
  return library;
}

juce::Image radio(juce::Rectangle<float> frame, bool on) {
  const float w = frame.getWidth(), h = frame.getHeight();
  return toolkit::renderPlatformImage(w, h, true, [&](juce::Graphics& g) {
    const float m = std::min(w, h);
    const juce::Point<float> centre(w / 2.0f, h / 2.0f);
    g.setColour(juce::Colours::white);
    const float ring = 0.45f * m;
    g.drawEllipse(centre.x - ring, centre.y - ring, 2.0f * ring, 2.0f * ring, 0.08f * m);
    if (on) {
      const float dot = 0.25f * m;
      g.fillEllipse(centre.x - dot, centre.y - dot, 2.0f * dot, 2.0f * dot);
    }
  });
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

juce::Image KnobsStyleKit::imageNamed(std::string_view name, juce::Rectangle<float> frame,
                                      float s) {
  return library().render(name, frame.getWidth(), frame.getHeight(), toolkit::ArtworkFit::fitted,
                          s);
}

juce::Image KnobsStyleKit::imageOfUnderlay(std::string_view name, juce::Rectangle<float> frame) {
  return imageNamed(name, frame, underlayScale);
}

juce::Image KnobsStyleKit::imageOfKnobOverlay(juce::Rectangle<float> f) {
  return imageNamed("KnobOverlay", f, 1.0f);
}
juce::Image KnobsStyleKit::imageOfQuorvaneUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("QuorvaneUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfAttackUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("AttackUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfBoostUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("BoostUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfDecayUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("DecayUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfDetuneUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("DetuneUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfDriftUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("DriftUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfDriveUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("DriveUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfEchoUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("EchoUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfFrequencyUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("FrequencyUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfMotionUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("MotionUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfRateUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("RateUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfReleaseUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("ReleaseUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfResonanceUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("ResonanceUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfShapeUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("ShapeUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfSpacetimeUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("SpacetimeUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfSpreadUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("SpreadUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfSustainUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("SustainUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfTimeUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("TimeUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfTouchUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("TouchUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfSpaceUnderlay(juce::Rectangle<float> f) {
  return imageOfUnderlay("SpaceUnderlay", f);
}
juce::Image KnobsStyleKit::imageOfLpLabel(juce::Rectangle<float> f) {
  return imageNamed("LpLabel", f, 1.0f);
}
juce::Image KnobsStyleKit::imageOfBpLabel(juce::Rectangle<float> f) {
  return imageNamed("BpLabel", f, 1.0f);
}
juce::Image KnobsStyleKit::imageOfHpLabel(juce::Rectangle<float> f) {
  return imageNamed("HpLabel", f, 1.0f);
}
juce::Image KnobsStyleKit::imageOfSlope12Label(juce::Rectangle<float> f) {
  return imageNamed("Slope12Label", f, 1.0f);
}
juce::Image KnobsStyleKit::imageOfSlope24Label(juce::Rectangle<float> f) {
  return imageNamed("Slope24Label", f, 1.0f);
}

juce::Image KnobsStyleKit::imageOfRadioOff(juce::Rectangle<float> frame) {
  return radio(frame, false);
}
juce::Image KnobsStyleKit::imageOfRadioOn(juce::Rectangle<float> frame) {
  return radio(frame, true);
}

} // namespace quorvane::editor
