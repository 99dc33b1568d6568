// The generator's editor: building, laying out and syncing its controls.
#include "PallixAU/editor/PallixAUViewControllerMac.h"

#include "PallixAU/editor/KnobsStyleKit.h"
#include "PallixAU/editor/PallixDevFlags.h"
#include "PallixAU/engine/PallixParameters.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string_view>

namespace pallix::editor {

namespace {

const juce::Colour kBackground =
    juce::Colour::fromFloatRGBA(0.8666666666666667f, 0.3333333333333333f, 1.0f, 1.0f);

using engine::PallixParameter;
constexpr AUParameterAddress kRootNoteAddress = engine::addressOf(PallixParameter::rootNote);
constexpr AUParameterAddress kModeAddress = engine::addressOf(PallixParameter::mode);

struct KnobEntry {
  PallixParameter parameter;
  juce::Image (*underlay)(juce::Rectangle<float>);
  std::string_view name; // of the underlay's artwork
  AUParameterAddress address() const noexcept { return engine::addressOf(parameter); }
};

// By PallixKnob.
const std::array<KnobEntry, kKnobCount> kKnobTable{{
    {PallixParameter::embroidery, &KnobsStyleKit::imageOfEmbroideryUnderlay, "EmbroideryUnderlay"},
    {PallixParameter::easiness, &KnobsStyleKit::imageOfEasinessUnderlay, "EasinessUnderlay"},
    {PallixParameter::etiquette, &KnobsStyleKit::imageOfEtiquetteUnderlay, "EtiquetteUnderlay"},
    {PallixParameter::exotica, &KnobsStyleKit::imageOfExoticaUnderlay, "ExoticaUnderlay"},
    {PallixParameter::emotion, &KnobsStyleKit::imageOfEmotionUnderlay, "EmotionUnderlay"},
    {PallixParameter::evolution, &KnobsStyleKit::imageOfEvolutionUnderlay, "EvolutionUnderlay"},
}};

std::optional<PallixKnob> knobForAddress(AUParameterAddress address) {
  for (std::size_t i = 0; i < kKnobCount; ++i)
    if (kKnobTable[i].address() == address)
      return static_cast<PallixKnob>(i);
  return std::nullopt;
}

} // namespace

PallixAUViewControllerMac::PallixAUViewControllerMac()
    : toolkit::AUViewController(kBackground),
      artwork_(KnobsStyleKit::holdLibrary()), knobs_{&embroideryKnob, &easinessKnob,
                                                     &etiquetteKnob,  &exoticaKnob,
                                                     &emotionKnob,    &evolutionKnob} {
  buildKnobs();
  buildPopups();
  setSize(kDefaultWidth, kDefaultHeight);
}

PallixAUViewControllerMac::~PallixAUViewControllerMac() {
  disconnect();
  rootPopup.setLookAndFeel(nullptr);
  modePopup.setLookAndFeel(nullptr);
  if (familyPopup)
    familyPopup->setLookAndFeel(nullptr);
}

AUResult<std::shared_ptr<AUAudioUnit>>
PallixAUViewControllerMac::createAudioUnit(const AudioComponentDescription& description) {
  return createAudioUnitOf<unit::PallixAudioUnit>(description);
}

toolkit::AURotaryControl& PallixAUViewControllerMac::knob(PallixKnob which) noexcept {
  return *knobs_[static_cast<std::size_t>(which)];
}

toolkit::AURotaryControl* PallixAUViewControllerMac::knobOf(AUParameterAddress address) noexcept {
  const auto which = knobForAddress(address);
  return which ? &knob(*which) : nullptr;
}

void PallixAUViewControllerMac::buildKnobs() {
  for (std::size_t i = 0; i < kKnobCount; ++i) {
    const auto which = static_cast<PallixKnob>(i);
    toolkit::AURotaryControl& control = knob(which);
    control.lowerBound = 0.0f;
    control.upperBound = 1.0f;
    control.resetValue = foundation::defaultPosition(engine::rowOf(kKnobTable[i].parameter));
    // Without its artwork a knob keeps the control's own plain face and pointer, rather than
    // the kit's transparent stand-in, so it stays visible and usable.
    if (KnobsStyleKit::library().find(kKnobTable[i].name))
      control.underlayImageProvider = [draw = kKnobTable[i].underlay](float w, float h) {
        return draw({w, h});
      };
    if (KnobsStyleKit::library().find("KnobOverlay"))
      control.overlayImageProvider = [](float w, float h) {
        return KnobsStyleKit::imageOfKnobOverlay({w, h});
      };
    forwardKnob(control, *this, which, &PallixAUViewControllerMac::knobChanged,
                &PallixAUViewControllerMac::gesture);
    showValuesOn(control, engine::rowOf(kKnobTable[i].parameter));
    addAndMakeVisible(control);
  }
}

void PallixAUViewControllerMac::buildPopups() {
  const SafePointer<PallixAUViewControllerMac> self(this);
  const auto fill = [&](juce::ComboBox& popup, const auto& names) {
    int id = 1;
    for (std::string_view name : names)
      popup.addItem(juce::String(name.data(), name.size()), id++);
    popup.setSelectedItemIndex(0, juce::dontSendNotification);
    popup.setLookAndFeel(&popupStyle_);
    addAndMakeVisible(popup);
  };
  fill(rootPopup, engine::rowOf(PallixParameter::rootNote).valueNames);
  fill(modePopup, engine::rowOf(PallixParameter::mode).valueNames);
  rootPopup.onChange = [self] {
    if (self)
      self->rootPopupChanged();
  };
  modePopup.onChange = [self] {
    if (self)
      self->modePopupChanged();
  };
  if constexpr (PallixDevFlags::familyPickerEnabled) {
    familyPopup = std::make_unique<juce::ComboBox>();
    familyPopup->onChange = [self] {
      if (self)
        self->familyPopupChanged();
    };
    familyPopup->setLookAndFeel(&popupStyle_);
    addAndMakeVisible(*familyPopup);
  }
}

void PallixAUViewControllerMac::resized() { layoutControls(); }

void PallixAUViewControllerMac::layoutControls() {
  const auto layout = layoutFor(static_cast<float>(getWidth()), static_cast<float>(getHeight()));
  if (!layout)
    return;
  wide_ = layout->wide;
  rootPopup.setBounds(layout->rootPopup.toNearestInt());
  modePopup.setBounds(layout->modePopup.toNearestInt());
  for (std::size_t i = 0; i < kKnobCount; ++i)
    knobs_[i]->setBounds(layout->knobs[i].toNearestInt());
  if (familyPopup) // under the pop-ups, across the view, when switched on
    familyPopup->setBounds(layout->rootPopup.withY(layout->rootPopup.getBottom() + 4.0f)
                               .withWidth(layout->modePopup.getRight() - layout->rootPopup.getX())
                               .withHeight(20.0f)
                               .toNearestInt());
}

void PallixAUViewControllerMac::knobChanged(PallixKnob which) {
  if (applyingUnitValue_)
    return; // the unit has the value already; writing it back would only echo to other views
  if (const auto target = parameter(kKnobTable[static_cast<std::size_t>(which)].address()))
    target->setValue(knob(which).value(), observerToken());
}

void PallixAUViewControllerMac::gesture(PallixKnob which, AUParameterAutomationEventType type) {
  if (const auto target = parameter(kKnobTable[static_cast<std::size_t>(which)].address()))
    target->setValue(knob(which).value(), observerToken(), type);
}

void PallixAUViewControllerMac::selectItem(juce::ComboBox& popup, AUValue value) {
  if (!std::isfinite(value) || popup.getNumItems() == 0)
    return; // no item to show; the pop-up keeps its selection
  const float last = static_cast<float>(popup.getNumItems() - 1);
  const int index = static_cast<int>(std::clamp(std::trunc(value), 0.0f, last));
  if (popup.getSelectedItemIndex() != index)
    popup.setSelectedItemIndex(index, juce::dontSendNotification);
}

void PallixAUViewControllerMac::popupChanged(juce::ComboBox& popup, AUParameterAddress address) {
  const int index = popup.getSelectedItemIndex();
  if (index < 0)
    return;
  if (const auto target = parameter(address))
    target->setValue(static_cast<AUValue>(index), observerToken());
}

void PallixAUViewControllerMac::rootPopupChanged() { popupChanged(rootPopup, kRootNoteAddress); }

void PallixAUViewControllerMac::modePopupChanged() { popupChanged(modePopup, kModeAddress); }

void PallixAUViewControllerMac::familyPopupChanged() {
  auto* generator = dynamic_cast<unit::PallixAudioUnit*>(audioUnit().get());
  if (!generator || !familyPopup)
    return;
  const juce::String title =
      familyPopup->getSelectedItemIndex() < 0 ? juce::String(kNoFamily) : familyPopup->getText();
  if (title == kNoFamily)
    generator->setForcedFamily(std::nullopt);
  else
    generator->setForcedFamily(title.toStdString());
}

void PallixAUViewControllerMac::parameterChanged(AUParameterAddress address, AUValue value) {
  if (const auto which = knobForAddress(address)) {
    const juce::ScopedValueSetter<bool> fromUnit(applyingUnitValue_, true);
    knob(*which).setValue(value); // ignores a value that is not finite
    return;
  }
  if (address == kRootNoteAddress)
    selectItem(rootPopup, value);
  else if (address == kModeAddress)
    selectItem(modePopup, value);
}

void PallixAUViewControllerMac::syncAllControls() {
  const auto tree = audioUnit() ? audioUnit()->parameterTree() : nullptr;
  if (!tree)
    return;
  for (const auto& source : tree->allParameters())
    parameterChanged(source->address(), source->value());
}

void PallixAUViewControllerMac::willConnect() {
  if (!familyPopup)
    return;
  familyPopup->clear(juce::dontSendNotification);
  familyPopup->addItem(kNoFamily, 1);
  if (auto* generator = dynamic_cast<unit::PallixAudioUnit*>(audioUnit().get()))
    for (const auto& family : generator->allFamilies())
      familyPopup->addItem(family, familyPopup->getNumItems() + 1);
}

} // namespace pallix::editor
