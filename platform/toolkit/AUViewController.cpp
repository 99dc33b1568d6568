// Connecting an editor to its unit, and letting go of it.
#include "platform/toolkit/AUViewController.h"

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
