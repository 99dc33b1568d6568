// The synthesiser's editor: building, laying out and syncing its controls.
#include "QuorvaneAU/editor/QuorvaneAUViewControllerMac.h"

#include "QuorvaneAU/editor/KnobsStyleKit.h"

#include <algorithm>
#include <cmath>

namespace quorvane::editor {

namespace {

const juce::Colour kBackground = juce::Colour::fromFloatRGBA(
    0.2235294117647059f, 0.5568627450980392f, 0.23529411764705882f, 1.0f);

juce::Rectangle<int> toPixels(juce::Rectangle<float> frame) { return frame.toNearestInt(); }

} // namespace

QuorvaneAUViewControllerMac::QuorvaneAUViewControllerMac()
    : toolkit::AUViewController(kBackground), artwork_(KnobsStyleKit::holdLibrary()),
      waveformView(unit::QuorvaneAudioUnit::wavetable()),
      knobs_{&shapeKnob,     &detuneKnob,    &spreadKnob, &attackKnob, &decayKnob,
             &sustainKnob,   &releaseKnob,   &rateKnob,   &motionKnob, &spacetimeKnob,
             &frequencyKnob, &resonanceKnob, &driveKnob,  &driftKnob,  &echoKnob,
             &timeKnob,      &touchKnob,     &boostKnob,  &spaceKnob},
      typeGroup_{{&lpButton, &bpButton, &hpButton}, kFilterTypeAddress, &selectedType_},
      rolloffGroup_{{&slope12Button, &slope24Button}, kFilterRolloffAddress, &selectedRolloff_} {
  buildControls();
  setSize(kDefaultWidth, kDefaultHeight);
}

QuorvaneAUViewControllerMac::~QuorvaneAUViewControllerMac() { disconnect(); }

AUResult<std::shared_ptr<AUAudioUnit>>
QuorvaneAUViewControllerMac::createAudioUnit(const AudioComponentDescription& description) {
  return createAudioUnitOf<unit::QuorvaneAudioUnit>(description);
}

toolkit::AURotaryControl& QuorvaneAUViewControllerMac::knob(QuorvaneKnob which) noexcept {
  return *knobs_[static_cast<std::size_t>(which)];
}

toolkit::AURotaryControl* QuorvaneAUViewControllerMac::knobOf(AUParameterAddress address) noexcept {
  const auto which = knobForAddress(address);
  return which ? &knob(*which) : nullptr;
}

toolkit::ImageButton& QuorvaneAUViewControllerMac::radioButton(RadioLine line) noexcept {
  switch (line) {
  case RadioLine::lp:
    return lpButton;
  case RadioLine::bp:
    return bpButton;
  case RadioLine::hp:
    return hpButton;
  case RadioLine::slope12:
    return slope12Button;
  case RadioLine::slope24:
    break;
  }
  return slope24Button;
}

toolkit::ImageView& QuorvaneAUViewControllerMac::radioLabel(RadioLine line) noexcept {
  switch (line) {
  case RadioLine::lp:
    return lpLabel;
  case RadioLine::bp:
    return bpLabel;
  case RadioLine::hp:
    return hpLabel;
  case RadioLine::slope12:
    return slope12Label;
  case RadioLine::slope24:
    break;
  }
  return slope24Label;
}

void QuorvaneAUViewControllerMac::buildControls() {
  const SafePointer<QuorvaneAUViewControllerMac> self(this);
  for (const KnobEntry& entry : kKnobTable) {
    toolkit::AURotaryControl& control = knob(entry.knob);
    control.lowerBound = 0.0f;
    control.upperBound = 1.0f;
    control.resetValue = foundation::defaultPosition(rowOf(entry));
    // Without its artwork a knob keeps the control's own plain face and pointer, rather than
    // the kit's transparent stand-in, so it stays visible and usable.
    if (KnobsStyleKit::library().find(entry.underlay))
      control.underlayImageProvider = [name = entry.underlay](float w, float h) {
        return KnobsStyleKit::imageOfUnderlay(name, {w, h});
      };
    if (KnobsStyleKit::library().find("KnobOverlay"))
      control.overlayImageProvider = [](float w, float h) {
        return KnobsStyleKit::imageOfKnobOverlay({w, h});
      };
    const QuorvaneKnob which = entry.knob;
    forwardKnob(control, *this, which, &QuorvaneAUViewControllerMac::knobChanged,
                &QuorvaneAUViewControllerMac::gesture);
    showValuesOn(control, rowOf(entry));
    addAndMakeVisible(control);
  }
  waveformView.shape = 0.5f;
  waveformView.rowSpread = 0.0f;
  addAndMakeVisible(waveformView);

  filterTypeLabels = {&KnobsStyleKit::imageOfLpLabel, &KnobsStyleKit::imageOfBpLabel,
                      &KnobsStyleKit::imageOfHpLabel};
  filterRolloffLabels = {&KnobsStyleKit::imageOfSlope12Label, &KnobsStyleKit::imageOfSlope24Label};
  for (auto* group : {&typeGroup_, &rolloffGroup_})
    for (toolkit::ImageButton* button : group->buttons) {
      button->onClick = [self, group, button] {
        if (!self)
          return;
        if (group == &self->typeGroup_)
          self->filterTypeClicked(*button);
        else
          self->filterRolloffClicked(*button);
      };
      addAndMakeVisible(*button);
    }
  const std::array<toolkit::ImageView*, 3> typeLabels{&lpLabel, &bpLabel, &hpLabel};
  for (std::size_t i = 0; i < typeLabels.size(); ++i) {
    typeLabels[i]->setImageProvider([draw = filterTypeLabels[i]](float w, float h) {
      return draw({w, h});
    });
    addAndMakeVisible(*typeLabels[i]);
  }
  const std::array<toolkit::ImageView*, 2> rolloffLabels{&slope12Label, &slope24Label};
  for (std::size_t i = 0; i < rolloffLabels.size(); ++i) {
    rolloffLabels[i]->setImageProvider([draw = filterRolloffLabels[i]](float w, float h) {
      return draw({w, h});
    });
    addAndMakeVisible(*rolloffLabels[i]);
  }
  selectRadio(typeGroup_, selectedType_);
  selectRadio(rolloffGroup_, selectedRolloff_);
  buildTuningMenu();
}

void QuorvaneAUViewControllerMac::buildTuningMenu() {
  tuningMenu.unit = [this] { return dynamic_cast<unit::QuorvaneAudioUnit*>(audioUnit().get()); };
  tuningMenu.bendRange = [this]() -> std::optional<float> {
    const auto range = parameter(kBendRangeAddress);
    return range ? std::optional(range->value()) : std::nullopt;
  };
  // One gesture, as a host records a knob's.
  tuningMenu.setBendRange = [this](float semitones) {
    if (const auto range = parameter(kBendRangeAddress)) {
      range->setValue(semitones, observerToken(), AUParameterAutomationEventType::touch);
      range->setValue(semitones, observerToken());
      range->setValue(semitones, observerToken(), AUParameterAutomationEventType::release);
    }
  };
  addAndMakeVisible(tuningMenu);
}

void QuorvaneAUViewControllerMac::resized() { layoutControls(); }

void QuorvaneAUViewControllerMac::layoutControls() {
  const auto layout = layoutFor(static_cast<float>(getWidth()), static_cast<float>(getHeight()));
  if (!layout)
    return;
  mode_ = layout->mode;
  for (std::size_t i = 0; i < kKnobCount; ++i)
    if (layout->knobs[i])
      knobs_[i]->setBounds(toPixels(*layout->knobs[i]));
  waveformView.setBounds(toPixels(layout->waveform));
  tuningMenu.placeAt(toPixels(layout->waveform).getTopRight().translated(-4, 4));
  std::vector<juce::Component*> controls(knobs_.begin(), knobs_.end());
  for (std::size_t i = 0; i < kRadioLineCount; ++i) {
    const auto line = static_cast<RadioLine>(i);
    radioLabel(line).setBounds(toPixels(layout->labels[i]));
    radioButton(line).setBounds(toPixels(layout->buttons[i]));
    controls.push_back(&radioButton(line));
  }
  controls.push_back(&tuningMenu);
  setReadingOrder(controls, QuorvaneEditorLayout::kMargin, layout->ch);
  if (const auto type = parameter(kFilterTypeAddress))
    selectRadioFromValue(typeGroup_, type->value());
  else
    selectRadio(typeGroup_, selectedType_);
  if (const auto rolloff = parameter(kFilterRolloffAddress))
    selectRadioFromValue(rolloffGroup_, rolloff->value());
  else
    selectRadio(rolloffGroup_, selectedRolloff_);
}

void QuorvaneAUViewControllerMac::knobChanged(QuorvaneKnob which) {
  const AUParameterAddress address = specOf(which).address;
  const float p = foundation::valueAtPosition(rowOf(specOf(which)), knob(which).value());
  // A value that came from the unit is not written back: through the taper and back it may
  // differ in its last bit, and two editors of one unit would then answer each other forever.
  if (const auto target = applyingUnitValue_ ? nullptr : parameter(address))
    target->setValue(p, observerToken());
  if (address == kShapeAddress)
    waveformView.setShape(p);
  else if (address == kRowSpreadAddress)
    waveformView.setRowSpread(p);
}

void QuorvaneAUViewControllerMac::gesture(QuorvaneKnob which, AUParameterAutomationEventType type) {
  const KnobEntry& entry = specOf(which);
  if (const auto target = parameter(entry.address))
    target->setValue(foundation::valueAtPosition(rowOf(entry), knob(which).value()),
                     observerToken(), type);
}

void QuorvaneAUViewControllerMac::selectRadio(RadioGroup& group, int index) {
  *group.selected = index;
  for (std::size_t position = 0; position < group.buttons.size(); ++position) {
    toolkit::ImageButton& button = *group.buttons[position];
    if (button.getWidth() <= 0)
      continue;
    const bool on = static_cast<int>(position) == index;
    button.setImageProvider([on](float w, float h) {
      return on ? KnobsStyleKit::imageOfRadioOn({w, h}) : KnobsStyleKit::imageOfRadioOff({w, h});
    });
  }
}

void QuorvaneAUViewControllerMac::selectRadioFromValue(RadioGroup& group, AUValue value) {
  if (!std::isfinite(value))
    return; // no index to show; the group keeps its selection
  // Within int range before converting; anything outside the group selects no button.
  const float bounded = std::clamp(value, -1.0f, 1000.0f);
  selectRadio(group, static_cast<int>(bounded));
}

void QuorvaneAUViewControllerMac::radioClicked(RadioGroup& group, int tag) {
  selectRadio(group, tag);
  if (const auto target = parameter(group.address))
    target->setValue(static_cast<AUValue>(tag), observerToken());
}

void QuorvaneAUViewControllerMac::filterTypeClicked(const toolkit::ImageButton& sender) {
  radioClicked(typeGroup_, sender.tag());
}

void QuorvaneAUViewControllerMac::filterRolloffClicked(const toolkit::ImageButton& sender) {
  radioClicked(rolloffGroup_, sender.tag());
}

void QuorvaneAUViewControllerMac::parameterChanged(AUParameterAddress address, AUValue value) {
  if (address == kFilterTypeAddress) {
    selectRadioFromValue(typeGroup_, value);
    return;
  }
  if (address == kFilterRolloffAddress) {
    selectRadioFromValue(rolloffGroup_, value);
    return;
  }
  const auto which = knobForAddress(address);
  if (!which || !std::isfinite(value))
    return;
  const juce::ScopedValueSetter<bool> fromUnit(applyingUnitValue_, true);
  knob(*which).setValue(foundation::positionOfValue(rowOf(specOf(*which)), value));
  if (address == kShapeAddress)
    waveformView.setShape(value);
  else if (address == kRowSpreadAddress)
    waveformView.setRowSpread(value);
}

void QuorvaneAUViewControllerMac::syncAllControls() {
  for (AUParameterAddress address = 0; address < kParameterCount; ++address) {
    const auto which = knobForAddress(address);
    const auto source = which ? parameter(address) : nullptr;
    if (!source)
      continue;
    toolkit::AURotaryControl& control = knob(*which);
    const float x = foundation::positionOfValue(rowOf(specOf(*which)), source->value());
    if (!std::isfinite(x))
      continue;
    const float position = std::clamp(x, control.lowerBound, control.upperBound);
    const juce::ScopedValueSetter<bool> fromUnit(applyingUnitValue_, true);
    if (position != control.value())
      control.setValue(position);
  }
  if (const auto type = parameter(kFilterTypeAddress))
    selectRadioFromValue(typeGroup_, type->value());
  if (const auto rolloff = parameter(kFilterRolloffAddress))
    selectRadioFromValue(rolloffGroup_, rolloff->value());
  if (const auto shape = parameter(kShapeAddress))
    waveformView.setShape(shape->value());
  if (const auto spread = parameter(kRowSpreadAddress))
    waveformView.setRowSpread(spread->value());
}

} // namespace quorvane::editor
