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

void expectFrame(juce::Rectangle<float> actual, juce::Rectangle<float> expected) {
  EXPECT_NEAR(actual.getX(), expected.getX(), 0.01f);
  EXPECT_NEAR(actual.getY(), expected.getY(), 0.01f);
  EXPECT_NEAR(actual.getWidth(), expected.getWidth(), 0.01f);
  EXPECT_NEAR(actual.getHeight(), expected.getHeight(), 0.01f);
}

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

TEST(PallixEditorLayout, WideAndTall) {
  const auto wide = layoutFor(480, 320);
  ASSERT_TRUE(wide);
  expectFrame(wide->rootPopup, {16, 16, 220, 28});
  expectFrame(wide->modePopup, {244, 16, 220, 28});
  EXPECT_TRUE(wide->wide);
  EXPECT_NEAR(wide->cellWidth, 149.33f, 0.01f);
  EXPECT_FLOAT_EQ(wide->cellHeight, 122.0f);
  EXPECT_FLOAT_EQ(wide->k, 110.0f);
  expectFrame(wide->knobs[static_cast<std::size_t>(PallixKnob::emotion)],
              {16 + 448.0f / 3 + (448.0f / 3 - 110) / 2, 60 + 122 + 6, 110, 110});

  struct Case {
    float w, h;
    bool wide;
    int row, column; // of etiquette
  };
  const Case cases[] = {
      {300, 600, false, 1, 0}, {480, 320, true, 0, 2},
      {300, 50, true, 0, 2},                            // no room for knobs: wide, knobs of size 0
      {100, 400, false, 1, 0}, {524, 600, false, 1, 0}, // area exactly square: tall
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
    const auto layout = layoutFor(c.w, c.h);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->wide, c.wide);
    const auto etiquette = layout->knobs[static_cast<std::size_t>(PallixKnob::etiquette)];
    EXPECT_NEAR(etiquette.getCentreX(), 16 + layout->cellWidth * (c.column + 0.5f), 0.01f);
    EXPECT_NEAR(etiquette.getCentreY(), 60 + layout->cellHeight * (c.row + 0.5f), 0.01f);
  }
  EXPECT_EQ(layoutFor(300, 50)->k, 0.0f);
  EXPECT_FALSE(layoutFor(0, 320));
  EXPECT_FALSE(layoutFor(480, 0));
}

TEST_F(PallixEditorTest, OpensAt480By320WithTheUnitsValues) {
  EXPECT_EQ(editor.getBounds(), juce::Rectangle<int>(0, 0, 480, 320));
  EXPECT_TRUE(editor.isWideArrangement());
  EXPECT_EQ(editor.backgroundColour(), juce::Colour(221, 85, 255));
  EXPECT_EQ(editor.rootPopupButton().getNumItems(), 12);
  EXPECT_EQ(editor.rootPopupButton().getItemText(1), "C#");
  EXPECT_EQ(editor.modePopupButton().getItemText(1), "Minor");
  EXPECT_EQ(editor.familyPopupButton(), nullptr); // switched off
  EXPECT_FLOAT_EQ(editor.knob(PallixKnob::emotion).value(), parameter(6).value());
  EXPECT_FLOAT_EQ(editor.knob(PallixKnob::evolution).value(), parameter(7).value());
  EXPECT_EQ(editor.rootPopupButton().getSelectedItemIndex(),
            static_cast<int>(parameter(4).value()));
  editor.setSize(300, 600);
  EXPECT_FALSE(editor.isWideArrangement());
}

TEST_F(PallixEditorTest, HostValuesSelectTheNearestItem) {
  struct Case {
    AUParameterAddress address;
    AUValue value;
    int root, mode; // selected afterwards
  };
  const AUValue nan = std::numeric_limits<AUValue>::quiet_NaN();
  const Case cases[] = {
      {4, 11.7f, 11, 0}, {4, 15.0f, 11, 0}, {4, -3.0f, 0, 0}, {4, 4.0f, 4, 0},
      {4, nan, 4, 0}, // not finite: ignored
      {5, 0.99f, 4, 0},  {5, 1.0f, 4, 1},   {5, 7.0f, 4, 1},  {5, nan, 4, 1},
  };
  parameter(5).setValue(0.0f); // the factory preset may be in minor
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.address << " = " << c.value);
    std::thread host([&] { parameter(c.address).setValue(c.value); });
    host.join();
    runPostedMessages();
    EXPECT_EQ(editor.rootPopupButton().getSelectedItemIndex(), c.root);
    EXPECT_EQ(editor.modePopupButton().getSelectedItemIndex(), c.mode);
  }
  EXPECT_EQ(editor.rootPopupButton().getText(), "E");
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
  // Knob values reach the host's other views; the editor's own observer stays quiet.
  parameter(2).setValue(0.8f, editor.observerToken());
  runPostedMessages();
  EXPECT_EQ(editor.knob(PallixKnob::etiquette).value(), 0.5f);
}

TEST_F(PallixEditorTest, APresetMovesEveryControl) {
  const auto presets = unit->factoryPresets();
  ASSERT_GE(presets.size(), 2u);
  for (const auto& preset : presets) {
    SCOPED_TRACE(preset.name);
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
  const auto missing = KnobsStyleKit::imageOfExoticaUnderlay({0, 0, 50, 40});
  EXPECT_EQ(missing.getBounds(), juce::Rectangle<int>(0, 0, 50, 40));
  EXPECT_TRUE(isFullyTransparent(missing));
  KnobsStyleKit::useBundles({});
}

TEST(PallixEditorArtwork, OpenEditorsShareTheArtworkAndTheLastToCloseReleasesIt) {
  const auto& artwork = KnobsStyleKit::sharedLibrary();
  {
    PallixAUViewControllerMac first;
    const int made = artwork.librariesMade();
    {
      PallixAUViewControllerMac second;
      second.createComponentSnapshot(second.getLocalBounds()); // draws every knob
      EXPECT_EQ(artwork.holders(), 2);
      EXPECT_EQ(artwork.librariesMade(), made);
    }
    EXPECT_TRUE(artwork.isLoaded());
    EXPECT_EQ(artwork.holders(), 1);
  }
  EXPECT_FALSE(artwork.isLoaded());
}

// Both arrangements, the squares between them (an area exactly square is tall), too low for
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
