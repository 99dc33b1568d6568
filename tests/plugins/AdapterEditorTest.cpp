// The units' own editors in a host's window, through the plug-in adapter.
#include "QuorvaneAU/editor/QuorvaneAUViewControllerMac.h"
#include "plugins/adapter/UnitEditor.h"
#include "plugins/adapter/UnitPlugin.h"
#include "tests/support/GuiTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <memory>

using namespace plugins;

using quorvane::editor::QuorvaneAUViewControllerMac;
using quorvane::editor::QuorvaneKnob;
using quorvane::unit::QuorvaneAudioUnit;

namespace {

UnitEditorOptions synthSizes() {
  UnitEditorOptions sizes;
  sizes.defaultWidth = 720;
  sizes.defaultHeight = 480;
  sizes.minimumWidth = 480;
  sizes.minimumHeight = 320;
  return unitEditor<QuorvaneAUViewControllerMac>(sizes);
}

std::unique_ptr<UnitProcessor> makeSynthProcessor() {
  return std::unique_ptr<UnitProcessor>(
      static_cast<UnitProcessor*>(makeUnitProcessor<QuorvaneAudioUnit>("Quorvane", synthSizes())));
}

struct OpenEditor {
  explicit OpenEditor(UnitProcessor& processor)
      : editor(dynamic_cast<UnitEditor*>(processor.createEditor())) {}
  ~OpenEditor() { editor.reset(); }
  QuorvaneAUViewControllerMac& synth() {
    return dynamic_cast<QuorvaneAUViewControllerMac&>(editor->content());
  }
  std::unique_ptr<UnitEditor> editor;
};

// Counts the host's change gestures.
struct GestureCounter : juce::AudioProcessorListener {
  void audioProcessorParameterChanged(juce::AudioProcessor*, int, float) override {}
  void audioProcessorChanged(juce::AudioProcessor*, const ChangeDetails&) override {}
  void audioProcessorParameterChangeGestureBegin(juce::AudioProcessor*, int index) override {
    ++began;
    lastIndex = index;
  }
  void audioProcessorParameterChangeGestureEnd(juce::AudioProcessor*, int) override { ++ended; }
  int began = 0, ended = 0, lastIndex = -1;
};

juce::MemoryBlock stateOf(UnitProcessor& processor) {
  juce::MemoryBlock block;
  processor.getStateInformation(block);
  return block;
}

} // namespace

TEST(AdapterEditor, TheUnitsOwnEditorOpensAtItsRememberedSizeAndFollowsResizing) {
  auto processor = makeSynthProcessor();
  {
    OpenEditor open(*processor);
    ASSERT_NE(open.editor, nullptr);
    EXPECT_EQ(open.editor->getWidth(), 720);
    EXPECT_EQ(open.editor->getHeight(), 480);
    EXPECT_TRUE(open.editor->isResizable());
    EXPECT_EQ(open.synth().arrangement(), 2);
    open.editor->setSize(1000, 330);
    EXPECT_EQ(open.synth().getBounds(), juce::Rectangle<int>(0, 0, 1000, 330));
    EXPECT_EQ(open.synth().arrangement(), 3);
    // Beyond the limits the host's constrainer holds it.
    auto* constrainer = open.editor->getConstrainer();
    ASSERT_NE(constrainer, nullptr);
    EXPECT_EQ(constrainer->getMinimumWidth(), 480);
    EXPECT_EQ(constrainer->getMaximumHeight(), 1600);
  }
  OpenEditor reopened(*processor);
  EXPECT_EQ(reopened.editor->getBounds(), juce::Rectangle<int>(0, 0, 1000, 330));
}

TEST(AdapterEditor, TheSizeTravelsInTheStateAndOldStatesStillLoad) {
  auto original = makeSynthProcessor();
  original->setEditorSize(1200, 800);
  original->getParameters()[3]->setValueNotifyingHost(0.25f);
  const auto saved = stateOf(*original);
  EXPECT_TRUE(saved.toString().contains(UnitProcessor::kEditorSizeKey));

  auto restored = makeSynthProcessor();
  restored->setStateInformation(saved.getData(), static_cast<int>(saved.getSize()));
  EXPECT_EQ(restored->editorSize(), juce::Point<int>(1200, 800));
  EXPECT_FLOAT_EQ(restored->getParameters()[3]->getValue(), 0.25f);

  // A state from before the size was kept: the unit's alone. The size stays as it was.
  const auto unitOnly = original->unit().fullState()->toXML();
  auto older = makeSynthProcessor();
  older->setStateInformation(unitOnly.data(), static_cast<int>(unitOnly.size()));
  EXPECT_EQ(older->editorSize(), juce::Point<int>(720, 480));
  EXPECT_FLOAT_EQ(older->getParameters()[3]->getValue(), 0.25f);

  // Sizes outside the limits, or of the wrong kind, are ignored.
  for (const char* size : {"<integer>100</integer>", "<string>big</string>",
                           "<integer>-5</integer>", "<integer>99999999999</integer>"}) {
    SCOPED_TRACE(size);
    auto xml = saved.toString().replace("<integer>1200</integer>", size).toStdString();
    auto other = makeSynthProcessor();
    other->setStateInformation(xml.data(), static_cast<int>(xml.size()));
    EXPECT_EQ(other->editorSize(), juce::Point<int>(720, 480));
    EXPECT_FLOAT_EQ(other->getParameters()[3]->getValue(), 0.25f);
  }
}

TEST(AdapterEditor, AKnobDragIsOneHostGestureAndHostChangesMoveTheKnob) {
  auto processor = makeSynthProcessor();
  GestureCounter gestures;
  processor->addListener(&gestures);
  OpenEditor open(*processor);
  auto& release = open.synth().knob(QuorvaneKnob::release);
  release.dragBegan();
  release.dragChanged(10, 0);
  release.dragChanged(20, 0);
  release.dragEnded();
  EXPECT_EQ(gestures.began, 1);
  EXPECT_EQ(gestures.ended, 1);
  EXPECT_EQ(gestures.lastIndex, 6); // the release parameter, in tree order
  const float shown = processor->getParameters()[6]->getValue();
  const auto* host = dynamic_cast<juce::RangedAudioParameter*>(processor->getParameters()[6]);
  ASSERT_TRUE(host);
  EXPECT_NEAR(processor->unit().parameterTree()->parameterWithAddress(6)->value(),
              host->convertFrom0to1(shown), 1e-3f);
  EXPECT_GT(shown, 0.0f);

  // The host automates sustain (as a wrapper does, on its own thread): the render call would
  // take it to the engine; the editor sees it once the message thread passes it on.
  processor->getParameters()[5]->setValue(0.75f);
  runPostedMessages();
  EXPECT_NE(open.synth().knob(QuorvaneKnob::sustain).value(), 0.75f);
  processor->showHostChanges();
  runPostedMessages();
  EXPECT_FLOAT_EQ(open.synth().knob(QuorvaneKnob::sustain).value(), 0.75f);
  processor->removeListener(&gestures);
}

TEST(AdapterEditor, SeveralInstancesWithEditorsOpenAtOnceStayApart) {
  auto first = makeSynthProcessor();
  auto second = makeSynthProcessor();
  OpenEditor a(*first), b(*second), again(*first);
  // A curved taper does not give back exactly the position it was given; two editors of one
  // unit must still settle rather than answer each other.
  for (float position : {0.1f, 0.3337f, 0.77f}) {
    a.synth().knob(QuorvaneKnob::attack).setValue(position);
    runPostedMessages();
    EXPECT_NEAR(again.synth().knob(QuorvaneKnob::attack).value(), position, 1e-6f);
    EXPECT_EQ(a.synth().knob(QuorvaneKnob::attack).value(), position);
  }
  a.synth().knob(QuorvaneKnob::shape).setValue(0.1f);
  runPostedMessages();
  // The other editor of the same instance follows; the other instance does not.
  EXPECT_FLOAT_EQ(again.synth().knob(QuorvaneKnob::shape).value(), 0.1f);
  EXPECT_NE(b.synth().knob(QuorvaneKnob::shape).value(), 0.1f);
  b.editor.reset(); // closing one leaves the others working
  again.synth().knob(QuorvaneKnob::shape).setValue(0.2f);
  runPostedMessages();
  EXPECT_FLOAT_EQ(a.synth().knob(QuorvaneKnob::shape).value(), 0.2f);
}

// As the plug-ins make it: the preset bar above the editor, following the host's program menu
// and the preset a restored state names.
TEST(AdapterEditor, ThePresetBarFollowsTheHostsProgramsAndRestoredStates) {
  TemporaryFolder folder{"adapter-presets"};
  UnitEditorOptions sizes;
  sizes.defaultWidth = 720;
  sizes.defaultHeight = 480;
  auto processor = std::unique_ptr<UnitProcessor>(
      static_cast<UnitProcessor*>(makeUnitProcessor<QuorvaneAudioUnit>(
          "Quorvane", unitEditorWithPresets<QuorvaneAudioUnit, QuorvaneAUViewControllerMac>(
                          sizes, folder.path, juce::Colours::black))));
  std::unique_ptr<juce::AudioProcessorEditor> window(processor->createEditor());
  auto& shown =
      dynamic_cast<toolkit::EditorWithPresets&>(dynamic_cast<UnitEditor&>(*window).content());
  EXPECT_EQ(window->getHeight(), 480 + toolkit::PresetBar::kHeight);
  EXPECT_EQ(shown.editor().getBounds(), juce::Rectangle<int>(0, 32, 720, 480));
  auto& bar = shown.bar();
  EXPECT_EQ(bar.shownName(), processor->getProgramName(0));

  processor->setCurrentProgram(3);
  runPostedMessages();
  EXPECT_EQ(bar.shownName(), processor->getProgramName(3));

  // A session saved under a user preset reopens under it.
  processor->unit().parameterTree()->parameterWithIdentifier("decay")->setValue(7.0f);
  bar.manager()->saveAs("Test Lead");
  const auto saved = stateOf(*processor);
  processor->setCurrentProgram(1);
  runPostedMessages();
  EXPECT_EQ(bar.shownName(), processor->getProgramName(1));
  processor->setStateInformation(saved.getData(), static_cast<int>(saved.getSize()));
  runPostedMessages();
  EXPECT_EQ(bar.shownName(), "Test Lead");
  window.reset();
}
