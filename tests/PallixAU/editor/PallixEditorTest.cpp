// The generator's editor: its two arrangements, pop-ups and knobs kept in step with a real unit.
#include "PallixAU/editor/KnobsStyleKit.h"
#include "PallixAU/editor/PallixAUViewControllerMac.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/GuiTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <thread>

using namespace pallix::editor;
using pallix::unit::PallixAudioUnit;

namespace {

class PallixEditorTest : public testing::Test {
protected:
  void SetUp() override {
    editor.setAudioUnit(unit);
    runPostedMessages();
  }
  AUParameter& parameter(AUParameterAddress address) {
    return *unit->parameterTree()->parameterWithAddress(address);
  }
  std::shared_ptr<PallixAudioUnit> unit =
      AUAudioUnit::create<PallixAudioUnit>(PallixAudioUnit::kDescription).value();
  PallixAUViewControllerMac editor;
};

} // namespace

TEST(PallixEditorLayout, EverySizeKeepsItsControlsInsideApartAndCentred) {
  for (float w : {60.0f, 200.0f, 480.0f, 900.0f})
    for (float h : {120.0f, 320.0f, 600.0f, 1000.0f}) {
      SCOPED_TRACE(testing::Message() << w << " x " << h);
      const auto l = layoutFor(w, h);
      ASSERT_TRUE(l);
      EXPECT_FLOAT_EQ(l->rootPopup.getX(), w - l->modePopup.getRight());
      EXPECT_FALSE(l->rootPopup.intersects(l->modePopup));
      float left = w, right = 0;
      for (std::size_t i = 0; i < kKnobCount; ++i) {
        const auto& knob = l->knobs[i];
        EXPECT_TRUE(juce::Rectangle<float>(0, l->rootPopup.getBottom(), w, h).contains(knob));
        for (std::size_t j = 0; j < i; ++j)
          EXPECT_FALSE(knob.intersects(l->knobs[j]));
        left = std::min(left, knob.getX());
        right = std::max(right, knob.getRight());
      }
      EXPECT_NEAR(left, w - right, 1e-3f);
    }
}

TEST_F(PallixEditorTest, OpensAt480By320WithTheUnitsValues) {
  EXPECT_EQ(editor.getBounds(), juce::Rectangle<int>(0, 0, 480, 320));
  EXPECT_TRUE(editor.isWideArrangement());
  EXPECT_EQ(editor.backgroundColour(), juce::Colour(221, 85, 255));
  EXPECT_EQ(editor.rootPopupButton().getNumItems(), 12);
  EXPECT_EQ(editor.rootPopupButton().getItemText(1), "C#");
  EXPECT_EQ(editor.modePopupButton().getItemText(1), "Minor");
  EXPECT_EQ(editor.familyPopupButton(), nullptr); // switched off
  editor.setSize(300, 600);
  EXPECT_FALSE(editor.isWideArrangement());
}

// What the pop-ups show after values a host sets from another thread: the nearest item, the
// end item beyond the ends, no change for values not finite. Rewritten with
// ORRINBROOK_UPDATE_GOLDEN=1 (tests/support/GoldenFile.h) after a change made on purpose.
TEST_F(PallixEditorTest, HostValuesAsRecorded) {
  const AUValue nan = std::numeric_limits<AUValue>::quiet_NaN();
  const std::pair<AUParameterAddress, AUValue> sets[] = {{4, 11.7f}, {4, 15.0f}, {4, -3.0f},
                                                         {4, 4.0f},  {4, nan},   {5, 0.99f},
                                                         {5, 1.0f},  {5, 7.0f},  {5, nan}};
  parameter(5).setValue(0.0f); // the factory preset may be in minor
  std::ostringstream out;
  for (const auto& [address, value] : sets) {
    std::thread host([&, address = address, value = value] { parameter(address).setValue(value); });
    host.join();
    runPostedMessages();
    out << (address == 4 ? "root " : "mode ") << value << ": " << editor.rootPopupButton().getText()
        << " " << editor.modePopupButton().getText() << "\n";
  }
  golden::expectSection("pallix-host-values", out.str());
}

TEST_F(PallixEditorTest, ChoicesAndKnobsWriteTheirParameters) {
  editor.modePopupButton().setSelectedItemIndex(1, juce::sendNotificationSync);
  EXPECT_EQ(parameter(5).value(), 1.0f);
  editor.rootPopupButton().setSelectedItemIndex(9, juce::sendNotificationSync);
  EXPECT_EQ(parameter(4).value(), 9.0f);
  for (std::size_t i = 0; i < kKnobCount; ++i) {
    auto& knob = editor.knob(static_cast<PallixKnob>(i));
    knob.setValue(0.125f);
    knob.doubleClicked();
    EXPECT_EQ(knob.value(), 0.5f);
  }
  for (AUParameterAddress address : {0, 1, 2, 3, 6, 7})
    EXPECT_EQ(parameter(address).value(), 0.5f) << address;
  // Each knob shows and takes its own parameter's value.
  auto& emotion = editor.knob(PallixKnob::emotion);
  EXPECT_EQ(emotion.valueText(emotion.value()), "0.50");
  ASSERT_TRUE(emotion.onTextEntered("90%"));
  EXPECT_EQ(parameter(6).value(), 0.9f);
  EXPECT_EQ(editor.knobOf(6), &emotion);
  // Knob values reach the host's other views; the editor's own observer stays quiet.
  parameter(2).setValue(0.8f, editor.observerToken());
  runPostedMessages();
  EXPECT_EQ(editor.knob(PallixKnob::etiquette).value(), 0.5f);
}

// The unit's values when the editor opens, and each preset's after it.
TEST_F(PallixEditorTest, APresetMovesEveryControl) {
  auto presets = unit->factoryPresets();
  ASSERT_GE(presets.size(), 2u);
  presets.insert(presets.begin(), {-1, "as opened"});
  for (const auto& preset : presets) {
    SCOPED_TRACE(preset.name);
    if (preset.number >= 0)
      unit->setCurrentPreset(preset);
    runPostedMessages();
    const std::pair<PallixKnob, AUParameterAddress> knobs[] = {
        {PallixKnob::embroidery, 0}, {PallixKnob::easiness, 1}, {PallixKnob::etiquette, 2},
        {PallixKnob::exotica, 3},    {PallixKnob::emotion, 6},  {PallixKnob::evolution, 7}};
    for (const auto& [knob, address] : knobs)
      EXPECT_FLOAT_EQ(editor.knob(knob).value(), parameter(address).value()) << address;
    EXPECT_EQ(editor.rootPopupButton().getSelectedItemIndex(),
              static_cast<int>(parameter(4).value()));
    EXPECT_EQ(editor.modePopupButton().getSelectedItemIndex(),
              static_cast<int>(parameter(5).value()));
  }
}

TEST(PallixStyleKit, NamedImagesAreStretchedToTheFrame) {
  TemporaryFolder resources("pallix-kit");
  writeArtwork(resources.path, "EmotionUnderlay", 200, 100,
               "<rect x=\"0\" y=\"0\" width=\"200\" height=\"100\" fill=\"#fff\"/>");
  KnobsStyleKit::useBundles({foundation::Bundle::withResourcesFolder(resources.path)});
  const auto face = KnobsStyleKit::imageOfEmotionUnderlay({0, 0, 50, 50});
  EXPECT_EQ(opaquePixelCount(face), 50 * 50);
  KnobsStyleKit::useBundles({});
}

TEST(PallixEditorArtwork, OpenEditorsShareTheArtworkAndTheLastToCloseReleasesIt) {
  const auto& artwork = KnobsStyleKit::sharedLibrary();
  {
    PallixAUViewControllerMac first;
    const int made = artwork.librariesMade();
    PallixAUViewControllerMac second;
    second.createComponentSnapshot(second.getLocalBounds()); // draws every knob
    EXPECT_EQ(artwork.holders(), 2);
    EXPECT_EQ(artwork.librariesMade(), made);
  }
  EXPECT_FALSE(artwork.isLoaded());
}

// Rewritten with ORRINBROOK_UPDATE_GOLDEN=1 (tests/support/GoldenFile.h) after a change made on
// purpose: both arrangements, the sizes about an exactly square knob area (tall), too low for
// knobs, and no width at all.
TEST(PallixEditorLayout, FramesAsRecorded) {
  constexpr const char* kNames[] = {"embroidery", "easiness", "etiquette",
                                    "exotica",    "emotion",  "evolution"};
  const std::pair<float, float> sizes[] = {{480, 320}, {300, 600}, {432, 476},
                                           {433, 476}, {524, 600}, {300, 50},
                                           {32, 50},   {0, 320},   {480, 0}};
  std::ostringstream out;
  for (const auto& [w, h] : sizes) {
    out << w << " x " << h << ": ";
    const auto l = layoutFor(w, h);
    if (!l) {
      out << "nothing laid out\n";
      continue;
    }
    out << (l->wide ? "wide, " : "tall, ") << l->rows << " x " << l->columns << " cells of "
        << golden::number(l->cellWidth, true) << " x " << golden::number(l->cellHeight, true)
        << ", knobs " << golden::number(l->k, true) << "\n";
    out << "  root " << golden::frame(l->rootPopup) << "\n";
    out << "  mode " << golden::frame(l->modePopup) << "\n";
    for (std::size_t i = 0; i < kKnobCount; ++i)
      out << "  " << kNames[i] << " " << golden::frame(l->knobs[i]) << "\n";
  }
  golden::expectSection("pallix-editor", out.str());
}
