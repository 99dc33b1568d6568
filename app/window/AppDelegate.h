// The application: its main window, the sound card and MIDI inputs, the settings, and the end of
// the program when its last window closes.
#pragma once

#include "app/AppOptions.h"
#include "app/device/DeviceAudioOutput.h"
#include "app/device/HardwareMidiInputs.h"
#include "app/host/AppSettings.h"
#include "app/window/HelpWindowController.h"
#include "app/window/HostViewController.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <filesystem>
#include <memory>
#include <optional>

namespace app {

class MainWindow;

// Threads: message thread.
class AppDelegate final : public juce::JUCEApplication, private juce::ChangeListener {
public:
  // The command line the next AppDelegate starts with (set by main before JUCE starts).
  static void setLaunchOptions(const AppOptions& options);

  AppDelegate();
  ~AppDelegate() override;

  const juce::String getApplicationName() override { return "Quorvane"; }
  const juce::String getApplicationVersion() override { return "1.0"; }
  bool moreThanOneInstanceAllowed() override { return true; }
  void initialise(const juce::String& commandLine) override;
  void shutdown() override;
  void systemRequestedQuit() override { quit(); }
  void anotherInstanceStarted(const juce::String&) override {}

  // The main window's close button: the program ends when no other window is open.
  void mainWindowClosed();
  void showHelp();
  void showAudioSettings();

private:
  enum Command : juce::CommandID { quitCommand = 0x5100, audioSettingsCommand };

  juce::ApplicationCommandTarget* getNextCommandTarget() override { return nullptr; }
  void getAllCommands(juce::Array<juce::CommandID>& commands) override;
  void getCommandInfo(juce::CommandID command, juce::ApplicationCommandInfo& info) override;
  bool perform(const InvocationInfo& info) override;
  void changeListenerCallback(juce::ChangeBroadcaster* source) override;

  void synthesiserReady(const std::shared_ptr<AUAudioUnit>& unit);
  void saveSettings();
  void quitWhenNoWindowIsOpen();

  std::optional<std::filesystem::path> settingsFile_;
  AppSettings settings_;
  MidiInputChoice midiChoice_;
  std::shared_ptr<DeviceAudioOutput> output_;
  std::unique_ptr<HardwareMidiInputs> midi_;
  juce::ApplicationCommandManager commands_;
  std::unique_ptr<MainWindow> window_;
  // The app's, not the main window's: it stays open when the main window closes.
  std::unique_ptr<HelpWindowController> help_;
  FirstLaunchHelpCheck firstLaunchHelp_;
  juce::Component::SafePointer<juce::DialogWindow> settingsDialog_;
};

} // namespace app
