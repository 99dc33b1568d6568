// The main window's content, headless: its frames, its controls' messages to the synthesiser,
// and a start without a sound card.
#include "app/window/HostViewController.h"
#include "app/device/DeviceAudioOutput.h"
#include "platform/audiounit/OfflineAudioOutput.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

namespace juce {
bool dispatchNextMessageOnSystemQueue(bool returnIfNoPendingMessages);
} // namespace juce

namespace {

using app::HostViewController;

// A sound card that is not there.
class UnpluggedOutput final : public AudioOutput {
public:
  AudioFormat format() const override { return AudioFormat::standard(44100, 2); }
  AUAudioFrameCount maximumFramesPerPull() const override { return 512; }
  AUResult<void> start(AudioEnginePull) override {
    return AUError{kAudioUnitErr_FailedInitialization, "the test device is unplugged"};
  }
  void stop() override {}
};

class HostViewControllerTest : public ::testing::Test {
protected:
  std::unique_ptr<HostViewController> make(std::shared_ptr<AudioOutput> output) {
    HostViewController::Options options;
    options.output = std::move(output);
    options.out = &lines;
    options.units.userCatalogues = false;
    options.units.synthesiserSeeds = {{1, 2, 3}};
    options.onSynthesiserReady = [this](const std::shared_ptr<AUAudioUnit>& unit) {
      readyUnit = unit;
    };
    return std::make_unique<HostViewController>(std::move(options));
  }
  static void settle(HostViewController& host) {
    while (host.controller().unitsSettled() < 2)
      juce::dispatchNextMessageOnSystemQueue(false);
    runPostedMessages();
  }

  std::ostringstream lines;
  std::shared_ptr<AUAudioUnit> readyUnit;
};

// The loudest sample of the next frames of the engine's mix.
float peakOfNext(OfflineAudioOutput& output, std::size_t frames) {
  const auto rendered = output.render(frames);
  EXPECT_TRUE(rendered);
  float peak = 0;
  if (rendered)
    for (const auto& channel : rendered.value())
      for (float sample : channel)
        peak = std::max(peak, std::abs(sample));
  return peak;
}

TEST_F(HostViewControllerTest, WithoutASoundCardTheEditorAndControlsStillWork) {
  auto host = make(std::make_shared<UnpluggedOutput>());
  EXPECT_EQ(host->auViewController(), nullptr); // nothing before the synthesiser
  settle(*host);
  EXPECT_NE(lines.str().find("Engine start error: the test device is unplugged\n"),
            std::string::npos)
      << lines.str();
  EXPECT_FALSE(host->controller().engine().isRunning());

  auto* editor = host->auViewController();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->getParentComponent(), &host->auContainerView);
  EXPECT_EQ(editor->getBounds(), host->auContainerView.getLocalBounds());
  EXPECT_EQ(editor->audioUnit(), host->controller().audioUnit());
  EXPECT_EQ(readyUnit, host->controller().audioUnit());

  // The preset menu is built over the synthesiser, and a choice there reaches the unit.
  ASSERT_TRUE(host->presetManager->isEnabled());
  host->presetPopup.setSelectedItemIndex(1, juce::sendNotificationSync);
  runPostedMessages();
  ASSERT_TRUE(editor->audioUnit()->currentPreset());
  EXPECT_EQ(editor->audioUnit()->currentPreset()->name, host->presetPopup.getText().toStdString());
  EXPECT_EQ(host->presetPopup.getText(), host->presetPopup.getItemText(1));

  // The editor follows the window.
  host->setSize(480, 492);
  EXPECT_EQ(editor->getBounds(), juce::Rectangle<int>(0, 0, 480, 360));

  // Play still toggles its title.
  host->togglePlay();
  EXPECT_EQ(host->playButton.getButtonText(), juce::String::fromUTF8("\u25a0"));
  host->togglePlay();
  EXPECT_EQ(host->playButton.getButtonText(), juce::String::fromUTF8("\u25b6"));
}

TEST_F(HostViewControllerTest, KeysPlayOnlyOnceTheSynthesiserIsReady) {
  auto output = std::make_shared<OfflineAudioOutput>(AudioFormat::standard(44100, 2), 512);
  auto host = make(output);
  // Before the synthesiser exists: dropped, silently.
  host->keyboardNoteOn(60);
  host->pitchBendChanged(16383);
  settle(*host);
  ASSERT_TRUE(host->controller().engine().isRunning()) << lines.str();
  EXPECT_EQ(peakOfNext(*output, 8192), 0.0f);

  host->keyboardNoteOn(60);
  EXPECT_GT(peakOfNext(*output, 8192), 0.01f);
  host->keyboardPolyPressure(60, 127);
  host->keyboardNoteOff(60);
  host->pitchBendChanged(8192);
  EXPECT_GT(peakOfNext(*output, 512), 0.0f); // the release still sounds
}

// What the tempo field shows after each entry (whole numbers from 40 to 240, else the tempo
// before), the tempo and the stepper it sets, and the stepper setting the field. Rewritten with
// ORRINBROOK_UPDATE_GOLDEN=1 (tests/support/GoldenFile.h) after a change made on purpose.
TEST_F(HostViewControllerTest, TheTempoFieldAsRecorded) {
  auto host = make(std::make_shared<UnpluggedOutput>());
  settle(*host);
  std::ostringstream out;
  for (const char* typed :
       {"96", "300", "abc", "120.5", " 40 ", "39", "240", "241", "", "-50", "0120", "120"}) {
    host->tempoField.setText(typed, juce::dontSendNotification);
    host->tempoFieldDone();
    out << "typed \"" << typed << "\": " << host->tempoField.getText() << ", tempo "
        << host->controller().tempoBPM() << ", stepper " << host->tempoStepper.value() << "\n";
  }
  host->tempoStepper.setValue(240);
  host->tempoStepped();
  out << "stepped to 240: " << host->tempoField.getText() << "\n";
  golden::expectSection("tempo-field", out.str());
}

TEST_F(HostViewControllerTest, HoldLightsItsButtonInThePressedGreen) {
  auto host = make(std::make_shared<UnpluggedOutput>());
  EXPECT_FALSE(host->holdButton.litColour());
  host->holdTapped();
  EXPECT_TRUE(host->keyboardView.holdEnabled());
  EXPECT_EQ(host->holdButton.litColour(), app::kPressedGreen);
  host->holdTapped();
  EXPECT_FALSE(host->holdButton.litColour());
  settle(*host);
}

// Rewritten with ORRINBROOK_UPDATE_GOLDEN=1 (tests/support/GoldenFile.h) after a change made on
// purpose: every view's whole-pixel frame at the initial and at the smallest size.
TEST_F(HostViewControllerTest, ViewFramesAsRecorded) {
  auto host = make(std::make_shared<UnpluggedOutput>());
#define VIEW(name)                                                                                 \
  { #name, &host->name }
  const std::pair<const char*, juce::Component*> views[] = {
      VIEW(topPanel),     VIEW(presetPopup),   VIEW(helpButton),    VIEW(playButton),
      VIEW(tempoLabel),   VIEW(tempoField),    VIEW(tempoStepper),  VIEW(auContainerView),
      VIEW(keyboardView), VIEW(pitchBendView), VIEW(rightControls), VIEW(octLabel),
      VIEW(leftChevron),  VIEW(rightChevron),  VIEW(holdLabel),     VIEW(holdButton)};
#undef VIEW
  std::ostringstream out;
  for (const auto& [w, h] : {std::pair{720, 612}, {480, 492}}) {
    host->setSize(w, h);
    out << w << " x " << h << "\n";
    for (const auto& [name, view] : views)
      out << "  " << name << " " << golden::frame(view->getBounds()) << "\n";
  }
  golden::expectSection("host-views", out.str());
  settle(*host);
}

TEST(DeviceAudioOutputTest, ADeviceThatIsNotThereIsTheReasonStartGives) {
  app::DeviceAudioOutput output;
  const std::string reason = output.open({"", "No Such Device 42"});
  EXPECT_EQ(reason, "no audio output device named \"No Such Device 42\"");
  EXPECT_FALSE(output.currentDevice());
  EXPECT_EQ(output.format().sampleRate, 44100.0);
  const auto started = output.start(
      [](const AudioTimeStamp&, AUAudioFrameCount, AudioBufferList&) { return noErr; });
  ASSERT_FALSE(started);
  EXPECT_EQ(started.error().localizedDescription(), reason);
  output.stop();
}

} // namespace
