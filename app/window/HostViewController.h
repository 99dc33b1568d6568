// The main window's content: the top bar, the synthesiser's editor and the keyboard area, over
// the app's host logic (HostController).
#pragma once

#include "QuorvaneAU/editor/QuorvaneAUViewControllerMac.h"
#include "app/host/HostController.h"
#include "app/window/HostControls.h"
#include "app/window/HostLayout.h"
#include "app/window/PianoKeyboardView.h"
#include "app/window/PitchBendView.h"
#include "app/window/PresetPopup.h"
#include "platform/audiounit/PresetManager.h"
#include "platform/toolkit/FlippedView.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

namespace app {

// The tempo field's formatter: a whole number from 40 to 240, nothing else (not "120.0").
std::optional<int> acceptedTempo(const juce::String& text);

// Threads: message thread. The synthesiser's instantiation finishes on it, later: until then the
// controls send nothing.
class HostViewController : public toolkit::FlippedView {
public:
  struct Options {
    std::shared_ptr<AudioOutput> output; // where the engine plays
    std::ostream* out = nullptr;         // the start-up lines; must outlive the controller
    InProcessUnitOptions units;
    // Where user presets live; nothing: factory presets only.
    std::optional<std::filesystem::path> userPresetsFolder;
    // Once the synthesiser is in the graph and its editor embedded (hardware MIDI starts here).
    std::function<void(const std::shared_ptr<AUAudioUnit>&)> onSynthesiserReady;
    std::function<void()> onHelp; // the "?" button
  };

  static constexpr int kInitialWidth = 720;
  static constexpr int kInitialHeight = 612;
  static constexpr int kMinimumWidth = 480;
  static constexpr int kMinimumHeight = 492;

  // Builds every view, then registers and instantiates both units.
  explicit HostViewController(Options options);
  ~HostViewController() override;

  void resized() override; // the layout

  // The control actions.
  void togglePlay();
  void tempoFieldDone();
  void tempoStepped();
  void octaveDown();
  void octaveUp();
  void holdTapped();
  void helpTapped();

  // What the keyboard and the pitch strip call.
  void keyboardNoteOn(int note);
  void keyboardNoteOff(int note);
  void keyboardPolyPressure(int note, int pressure);
  void pitchBendChanged(int bend);

  HostController& controller() noexcept { return *controller_; }
  quorvane::editor::QuorvaneAUViewControllerMac* auViewController() noexcept {
    return auViewController_.get();
  }

  // The preset menu's model, and the views, for the app and its tests.
  std::shared_ptr<PresetManager> presetManager;
  toolkit::FlippedView topPanel{kDarkGreen};
  PresetPopup presetPopup;
  RoundedButton helpButton{"?", 15.0f};
  RoundedButton playButton{juce::String::fromUTF8("\u25b6"), 14.0f};
  juce::Label tempoLabel;
  juce::TextEditor tempoField;
  TempoStepper tempoStepper{40, 240, 120};
  toolkit::FlippedView auContainerView{kLightGreen};
  PianoKeyboardView keyboardView;
  PitchBendView pitchBendView;
  toolkit::FlippedView rightControls;
  juce::Label octLabel, holdLabel;
  OutlinedButton leftChevron{"<"}, rightChevron{">"}, holdButton{""};

private:
  void synthesiserDidLoad();
  void showTempo();

  Options options_;
  std::shared_ptr<HostController> controller_;
  std::unique_ptr<quorvane::editor::QuorvaneAUViewControllerMac> auViewController_;
};

} // namespace app
