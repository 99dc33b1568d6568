// Start-up, commands, settings and the end of the app.
#include "app/window/AppDelegate.h"

#include "app/window/MainWindow.h"

#include "platform/foundation/UserFolders.h"

#include <juce_audio_utils/juce_audio_utils.h>

#include <iostream>

namespace app {

namespace {

AppOptions& launchOptions() {
  static AppOptions options;
  return options;
}

MidiInputChoice midiChoiceFrom(const std::optional<std::string>& text) {
  if (!text || *text == "all")
    return {MidiInputChoice::Kind::all, {}};
  if (*text == "none")
    return {MidiInputChoice::Kind::none, {}};
  return {MidiInputChoice::Kind::named, *text};
}

std::string textOf(const MidiInputChoice& choice) {
  switch (choice.kind) {
  case MidiInputChoice::Kind::all:
    return "all";
  case MidiInputChoice::Kind::none:
    return "none";
  case MidiInputChoice::Kind::named:
    break;
  }
  return choice.name;
}

} // namespace

void AppDelegate::setLaunchOptions(const AppOptions& options) { launchOptions() = options; }

AppDelegate::AppDelegate() = default;

AppDelegate::~AppDelegate() = default;

void AppDelegate::initialise(const juce::String&) {
  const AppOptions& options = launchOptions();
  // Start-up lines appear as they happen, also when standard output is a file.
  std::cout << std::unitbuf;
  settingsFile_ = foundation::appSettingsFile();
  if (settingsFile_)
    settings_ = AppSettings::read(*settingsFile_);

  // The sound card: a device named on the command line must be that one (its absence is the
  // start error); the one saved last time is only preferred.
  output_ = std::make_shared<DeviceAudioOutput>();
  if (options.audioDevice) {
    output_->open({{}, *options.audioDevice});
  } else if (settings_.audioDeviceName) {
    if (!output_->open({settings_.audioDeviceType.value_or(""), *settings_.audioDeviceName})
             .empty())
      output_->open({});
  } else {
    output_->open({});
  }
  output_->deviceManager().addChangeListener(this);
  midiChoice_ = midiChoiceFrom(options.midiInput ? options.midiInput : settings_.midiInput);

  commands_.registerAllCommandsForTarget(this);

  HostViewController::Options host;
  host.output = output_;
  host.out = &std::cout;
  host.userPresetsFolder = foundation::userPresetsFolder();
  host.onSynthesiserReady = [this](const std::shared_ptr<AUAudioUnit>& unit) {
    synthesiserReady(unit);
  };
  host.onHelp = [this] { showHelp(); };
  auto content = std::make_unique<HostViewController>(std::move(host));
  content->setSize(std::max(settings_.windowWidth.value_or(HostViewController::kInitialWidth),
                            HostViewController::kMinimumWidth),
                   std::max(settings_.windowHeight.value_or(HostViewController::kInitialHeight),
                            HostViewController::kMinimumHeight));
  window_ = std::make_unique<MainWindow>(std::move(content), [this] { mainWindowClosed(); });
  window_->addKeyListener(commands_.getKeyMappings());
  window_->setVisible(true);
  window_->toFront(true);

  // The window is on screen: the first launch ever shows the help.
  const HelpShownSetting helpShown{[this] { return settings_.hasShownHelp; },
                                   [this] {
                                     settings_.hasShownHelp = true;
                                     saveSettings();
                                   }};
  if (firstLaunchHelp_.shouldShowHelp(helpShown))
    showHelp();
}

void AppDelegate::showHelp() {
  if (!help_) {
    help_ = std::make_unique<HelpWindowController>();
    help_->onClosed = [this] { quitWhenNoWindowIsOpen(); };
    // Ctrl+Q and Ctrl+, work from the help window too.
    help_->window().addKeyListener(commands_.getKeyMappings());
  }
  help_->showHelp();
}

void AppDelegate::quitWhenNoWindowIsOpen() {
  // After the closing window has gone from the screen.
  juce::MessageManager::callAsync([this] {
    if (!window_ && !(help_ && help_->isOpen()))
      quit();
  });
}

void AppDelegate::synthesiserReady(const std::shared_ptr<AUAudioUnit>& unit) {
  if (!unit)
    return;
  midi_ = std::make_unique<HardwareMidiInputs>(output_->deviceManager(),
                                               unit->scheduleMIDIEventBlock());
  const auto device = output_->currentDevice();
  midi_->open(midiChoice_, device && device->type == "JACK");
}

void AppDelegate::shutdown() {
  saveSettings();
  if (settingsDialog_ != nullptr)
    delete settingsDialog_.getComponent();
  output_->deviceManager().removeChangeListener(this);
  // Inputs first, so nothing is scheduled on a unit that is going; then the window, whose
  // controller stops the engine; the device last.
  midi_.reset();
  window_.reset();
  help_.reset();
  output_.reset();
}

void AppDelegate::saveSettings() {
  if (!settingsFile_)
    return;
  if (window_) {
    settings_.windowWidth = window_->host().getWidth();
    settings_.windowHeight = window_->host().getHeight();
  }
  if (output_) {
    if (const auto device = output_->currentDevice()) {
      settings_.audioDeviceType = device->type;
      settings_.audioDeviceName = device->name;
    }
  }
  if (midi_)
    midiChoice_ = midi_->currentChoice();
  settings_.midiInput = textOf(midiChoice_);
  std::string error;
  if (!settings_.write(*settingsFile_, &error))
    std::cout << "Cannot save settings: " << error << '\n';
}

void AppDelegate::mainWindowClosed() {
  saveSettings();
  // Not inside the window's own callback.
  juce::MessageManager::callAsync([this] {
    midi_.reset();
    window_.reset();
    quitWhenNoWindowIsOpen();
  });
}

void AppDelegate::showAudioSettings() {
  if (settingsDialog_ != nullptr) {
    settingsDialog_->toFront(true);
    return;
  }
  auto selector = std::make_unique<juce::AudioDeviceSelectorComponent>(
      output_->deviceManager(), 0, 0, 1, 2, true, false, true, false);
  selector->setSize(520, 420);
  juce::DialogWindow::LaunchOptions dialog;
  dialog.content.setOwned(selector.release());
  dialog.dialogTitle = "Audio and MIDI Settings";
  dialog.dialogBackgroundColour = kDarkGreen;
  dialog.escapeKeyTriggersCloseButton = true;
  dialog.useNativeTitleBar = true;
  dialog.resizable = false;
  settingsDialog_ = dialog.launchAsync();
}

void AppDelegate::getAllCommands(juce::Array<juce::CommandID>& commands) {
  commands.add(quitCommand, audioSettingsCommand);
}

void AppDelegate::getCommandInfo(juce::CommandID command, juce::ApplicationCommandInfo& info) {
  if (command == quitCommand) {
    info.setInfo("Quit Quorvane", "Ends the program", "Quorvane", 0);
    info.addDefaultKeypress('q', juce::ModifierKeys::commandModifier);
  } else if (command == audioSettingsCommand) {
    info.setInfo(juce::String::fromUTF8("Audio and MIDI Settings\u2026"),
                 "Chooses the sound card and the MIDI inputs", "Quorvane", 0);
    info.addDefaultKeypress(',', juce::ModifierKeys::commandModifier);
  }
}

bool AppDelegate::perform(const InvocationInfo& info) {
  if (info.commandID == quitCommand) {
    systemRequestedQuit();
    return true;
  }
  if (info.commandID == audioSettingsCommand) {
    showAudioSettings();
    return true;
  }
  return false;
}

void AppDelegate::changeListenerCallback(juce::ChangeBroadcaster*) {
  // Another device in the dialog: a new rate needs the units prepared again.
  if (output_->formatChangedSinceStart() && window_) {
    if (auto started = window_->host().controller().restartEngine(); !started)
      std::cout << "Engine start error: " << started.error().localizedDescription() << '\n';
  }
  saveSettings();
}

} // namespace app
