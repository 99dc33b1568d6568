// Building, laying out and wiring the main window's views.
#include "app/window/HostViewController.h"

#include "app/host/ControlMidi.h"
#include "app/host/Demo.h"

#include <cmath>
#include <iostream>

namespace app {

namespace {

juce::Rectangle<int> frame(const LayoutRect& r) {
  return juce::Rectangle<double>(r.x, r.y, r.width, r.height).getSmallestIntegerContainer();
}

// A one-line label's natural height: its font's line height, in whole points.
double naturalHeight(const juce::Label& label) { return std::ceil(label.getFont().getHeight()); }

void postToMessageThread(std::function<void()> task) {
  juce::MessageManager::callAsync(std::move(task));
}

} // namespace

std::optional<int> acceptedTempo(const juce::String& text) {
  const juce::String trimmed = text.trim();
  if (trimmed.isEmpty() || trimmed.length() > 3 || !trimmed.containsOnly("0123456789"))
    return std::nullopt;
  const int value = trimmed.getIntValue();
  if (value < static_cast<int>(kMinDemoTempo) || value > static_cast<int>(kMaxDemoTempo))
    return std::nullopt;
  return value;
}

HostViewController::HostViewController(Options options)
    : toolkit::FlippedView(kDarkGreen),
      presetManager(PresetManager::create(options.userPresetsFolder, postToMessageThread)),
      presetPopup(presetManager), options_(std::move(options)) {
  setSize(kInitialWidth, kInitialHeight);
  std::ostream& out = options_.out != nullptr ? *options_.out : std::cout;
  controller_ = HostController::create(options_.output, postToMessageThread, out);

  // 1. The top bar.
  addAndMakeVisible(topPanel);
  presetPopup.setColour(juce::ComboBox::backgroundColourId, juce::Colour(0xfff4f4f4));
  presetPopup.setColour(juce::ComboBox::textColourId, juce::Colour(0xff1e1e1e));
  presetPopup.setColour(juce::ComboBox::arrowColourId, juce::Colour(0xff1e1e1e));
  presetPopup.setColour(juce::ComboBox::outlineColourId, juce::Colour(0x59000000));
  topPanel.addAndMakeVisible(presetPopup);
  helpButton.onClick = [this] { helpTapped(); };
  topPanel.addAndMakeVisible(helpButton);
  playButton.onClick = [this] { togglePlay(); };
  topPanel.addAndMakeVisible(playButton);
  styleLabel(tempoLabel, "BPM", 12.0f, juce::Justification::centredRight);
  topPanel.addAndMakeVisible(tempoLabel);
  tempoField.setJustification(juce::Justification::centred);
  tempoField.setFont(semiboldFont(12.0f));
  tempoField.setInputRestrictions(8);
  tempoField.onReturnKey = [this] { tempoFieldDone(); };
  tempoField.onFocusLost = [this] { tempoFieldDone(); };
  tempoField.onEscapeKey = [this] { showTempo(); };
  topPanel.addAndMakeVisible(tempoField);
  tempoStepper.onChange = [this] { tempoStepped(); };
  topPanel.addAndMakeVisible(tempoStepper);
  showTempo();

  // 2. The editor's container; 3–4. the keyboard and pitch strip (their callbacks end in
  // keyboardNoteOn … pitchBendChanged).
  addAndMakeVisible(auContainerView);
  keyboardView.onNoteOn = [this](int note) { keyboardNoteOn(note); };
  keyboardView.onNoteOff = [this](int note) { keyboardNoteOff(note); };
  keyboardView.onPolyPressure = [this](int note, std::uint8_t pressure) {
    keyboardPolyPressure(note, pressure);
  };
  addAndMakeVisible(keyboardView);
  pitchBendView.onPitchBend = [this](int bend) { pitchBendChanged(bend); };
  addAndMakeVisible(pitchBendView);

  // 5. The octave and HOLD controls.
  addAndMakeVisible(rightControls);
  styleLabel(octLabel, "OCT", 11.0f, juce::Justification::centred);
  styleLabel(holdLabel, "HOLD", 11.0f, juce::Justification::centred);
  leftChevron.onClick = [this] { octaveDown(); };
  rightChevron.onClick = [this] { octaveUp(); };
  holdButton.onClick = [this] { holdTapped(); };
  for (juce::Component* child : std::initializer_list<juce::Component*>{
           &octLabel, &leftChevron, &rightChevron, &holdLabel, &holdButton})
    rightControls.addAndMakeVisible(child);

  resized();

  // 6–7. Both units, synthesiser first.
  const SafePointer<HostViewController> self(this);
  controller_->setSynthesiserLoadedAction([self] {
    if (auto* alive = self.getComponent())
      alive->synthesiserDidLoad();
  });
  controller_->registerInProcessUnits(options_.units);
}

HostViewController::~HostViewController() {
  controller_->setSynthesiserLoadedAction(nullptr);
  // The editor lets go of the unit before the controller's units go.
  auViewController_.reset();
}

void HostViewController::resized() {
  const HostLayout l = layoutHost(getWidth(), getHeight(), naturalHeight(tempoLabel));
  topPanel.setBounds(frame(l.topPanel));
  presetPopup.setBounds(frame(l.presetPopup));
  helpButton.setBounds(frame(l.helpButton));
  playButton.setBounds(frame(l.playButton));
  tempoLabel.setBounds(frame(l.tempoLabel));
  tempoField.setBounds(frame(l.tempoField));
  tempoStepper.setBounds(frame(l.tempoStepper));
  auContainerView.setBounds(frame(l.auContainerView));
  if (auViewController_)
    auViewController_->setBounds(auContainerView.getLocalBounds());
  keyboardView.setBounds(frame(l.keyboardView));
  pitchBendView.setBounds(frame(l.pitchBendView));
  rightControls.setBounds(frame(l.rightControls));
  if (l.rightControlsPlaced) {
    octLabel.setBounds(frame(l.octLabel));
    leftChevron.setBounds(frame(l.leftChevron));
    rightChevron.setBounds(frame(l.rightChevron));
    holdLabel.setBounds(frame(l.holdLabel));
    holdButton.setBounds(frame(l.holdButton));
  }
}

void HostViewController::synthesiserDidLoad() {
  const auto& unit = controller_->audioUnit();
  if (std::dynamic_pointer_cast<quorvane::unit::QuorvaneAudioUnit>(unit)) {
    auViewController_ = std::make_unique<quorvane::editor::QuorvaneAUViewControllerMac>();
    auViewController_->setAudioUnit(unit);
    auViewController_->setBounds(auContainerView.getLocalBounds());
    auContainerView.addAndMakeVisible(*auViewController_);
    resized();
  }
  // The preset menu, its snapshot and the parameter observer.
  if (unit)
    presetManager->synthesiserDidLoad(unit);
  if (options_.onSynthesiserReady)
    options_.onSynthesiserReady(unit);
}

void HostViewController::togglePlay() {
  controller_->togglePlay();
  playButton.setButtonText(juce::String::fromUTF8(controller_->isPlaying() ? "\u25a0" : "\u25b6"));
}

void HostViewController::showTempo() {
  const int bpm = static_cast<int>(std::lround(controller_->tempoBPM()));
  tempoField.setText(juce::String(bpm), juce::dontSendNotification);
  tempoStepper.setValue(bpm);
}

void HostViewController::tempoFieldDone() {
  // Text the formatter refuses never reaches the tempo: the field shows the tempo again.
  if (const auto bpm = acceptedTempo(tempoField.getText()))
    controller_->setTempo(*bpm);
  showTempo();
}

void HostViewController::tempoStepped() {
  controller_->setTempo(tempoStepper.value());
  showTempo();
}

void HostViewController::octaveDown() { keyboardView.octaveDown(); }

void HostViewController::octaveUp() { keyboardView.octaveUp(); }

void HostViewController::holdTapped() {
  keyboardView.setHoldEnabled(!keyboardView.holdEnabled());
  holdButton.setLitColour(keyboardView.holdEnabled()
                              ? std::optional<juce::Colour>(keyboardView.pressedFillColor)
                              : std::nullopt);
}

void HostViewController::helpTapped() {
  if (options_.onHelp)
    options_.onHelp();
}

void HostViewController::keyboardNoteOn(int note) {
  sendControlMessage(controller_->audioUnit().get(), noteOnMessage(note));
}

void HostViewController::keyboardNoteOff(int note) {
  sendControlMessage(controller_->audioUnit().get(), noteOffMessage(note));
}

void HostViewController::keyboardPolyPressure(int note, int pressure) {
  sendControlMessage(controller_->audioUnit().get(), polyPressureMessage(note, pressure));
}

void HostViewController::pitchBendChanged(int bend) {
  sendControlMessage(controller_->audioUnit().get(), pitchBendMessage(bend));
}

} // namespace app
