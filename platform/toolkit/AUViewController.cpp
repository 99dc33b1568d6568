// Connecting an editor to its unit, and letting go of it.
#include "platform/toolkit/AUViewController.h"

#include "platform/foundation/ParameterText.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace toolkit {

AUViewController::AUViewController(juce::Colour background) : FlippedView(background) {}

AUViewController::~AUViewController() { disconnect(); }

void AUViewController::setAudioUnit(std::shared_ptr<AUAudioUnit> unit) {
  disconnect();
  audioUnit_ = std::move(unit);
  connect();
}

std::shared_ptr<AUParameter> AUViewController::parameter(AUParameterAddress address) const {
  const auto tree = audioUnit_ ? audioUnit_->parameterTree() : nullptr;
  return tree ? tree->parameterWithAddress(address) : nullptr;
}

void AUViewController::showValuesOn(AURotaryControl& control, const foundation::ParameterRow& row) {
  control.valueText = [&row](float position) {
    return juce::String(foundation::displayText(row, foundation::valueAtPosition(row, position)));
  };
  const SafePointer<AUViewController> self(this);
  AURotaryControl* knob = &control;
  control.onTextEntered = [self, knob, &row](const juce::String& text) {
    const auto value = foundation::valueFromText(row, text.toStdString());
    if (!value)
      return false;
    const auto target = self ? self->parameter(row.address) : nullptr;
    const AUParameterObserverToken token = self ? self->observerToken() : kAUNoObserverToken;
    if (target)
      target->setValue(*value, token, AUParameterAutomationEventType::touch);
    // The knob writes its taper's value, close to the typed one; the typed one follows it.
    knob->setValue(
        std::clamp(foundation::positionOfValue(row, *value), knob->lowerBound, knob->upperBound));
    if (target) {
      target->setValue(*value, token);
      target->setValue(*value, token, AUParameterAutomationEventType::release);
    }
    return true;
  };
}

void AUViewController::setReadingOrder(const std::vector<juce::Component*>& controls, float top,
                                       float rowHeight) {
  auto sorted = controls;
  const auto key = [&](const juce::Component* c) {
    const auto centre = c->getBounds().toFloat().getCentre();
    const int row =
        rowHeight > 0.0f ? static_cast<int>(std::floor((centre.y - top) / rowHeight)) : 0;
    return std::make_tuple(row, c->getX(), c->getY());
  };
  std::stable_sort(sorted.begin(), sorted.end(),
                   [&](const auto* a, const auto* b) { return key(a) < key(b); });
  int order = 1;
  for (juce::Component* c : sorted)
    c->setExplicitFocusOrder(order++);
}

void AUViewController::connect() {
  const auto tree = audioUnit_ ? audioUnit_->parameterTree() : nullptr;
  if (!tree)
    return;
  disconnect();
  willConnect();
  syncAllControls();
  const SafePointer<AUViewController> self(this);
  paramObserverToken_ =
      tree->tokenByAddingParameterObserver([self](AUParameterAddress address, AUValue value) {
        callOnMainThread(self, [address, value](AUViewController& editor) {
          editor.parameterChanged(address, value);
        });
      });
  stateObservation_ =
      std::make_unique<UnitStateObservation>(audioUnit_, *this, [this] { syncAllControls(); });
}

void AUViewController::disconnect() {
  stateObservation_.reset();
  if (paramObserverToken_ != kAUNoObserverToken) {
    if (const auto tree = audioUnit_ ? audioUnit_->parameterTree() : nullptr)
      tree->removeParameterObserver(paramObserverToken_);
    paramObserverToken_ = kAUNoObserverToken;
  }
}

} // namespace toolkit
