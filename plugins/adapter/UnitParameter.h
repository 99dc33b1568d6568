// One parameter of a unit's tree as the host sees it: identifier, name, range, value strings
// and the unit's own display strings.
#pragma once

#include "platform/audiounit/AUParameter.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <limits>
#include <memory>

namespace plugins {

// The value the host sees is kept here (normalised). A value from the host waits as a pending
// change until the adapter hands it to the unit; a value from the unit only updates what the
// host sees, so neither side hears its own change back.
// VST3 hosts hand a value the plug-in announced back to it, some time later. When a state is
// restored in between, that late copy belongs to what the state replaced: the value announced
// before the restore is kept as superseded, and the first host value equal to it is dropped.
// Threads: setValue, takePendingValue and the superseded members may run on any thread, the
// audio thread included (they neither allocate nor lock); the text members allocate.
class UnitParameter : public juce::RangedAudioParameter {
public:
  explicit UnitParameter(std::shared_ptr<AUParameter> parameter);

  AUParameter& unitParameter() const noexcept { return *parameter_; }

  // Takes the change the host made since the last call, in the unit's units.
  bool takePendingValue(AUValue& value) noexcept;
  // Shows the host a value the unit set itself, and drops any older change of the host.
  void showUnitValue(AUValue value);
  // The host's latest value, if it changed since the last call (or was shown by the unit
  // since): what the unit's other observers (an editor) have not seen. Any thread.
  bool takeHostChange(AUValue& value) noexcept;

  // A state is about to replace every value: the last announced one becomes superseded.
  void supersedeAnnounced() noexcept;
  void forgetSuperseded() noexcept { superseded_.store(kNone, std::memory_order_relaxed); }

  float getValue() const override { return value_.load(std::memory_order_relaxed); }
  void setValue(float normalised) override;
  float getDefaultValue() const override { return default_; }
  bool isDiscrete() const override { return discrete_; }
  bool isBoolean() const override;
  juce::String getText(float normalised, int maximumLength) const override;
  float getValueForText(const juce::String& text) const override;
  juce::StringArray getAllValueStrings() const override;
  const juce::NormalisableRange<float>& getNormalisableRange() const override { return range_; }

private:
  static constexpr float kNone = std::numeric_limits<float>::quiet_NaN();

  std::shared_ptr<AUParameter> parameter_;
  juce::NormalisableRange<float> range_;
  bool discrete_;
  float default_;
  std::atomic<float> value_;
  std::atomic<bool> pending_{false};
  std::atomic<bool> hostChanged_{false};
  std::atomic<float> announced_{kNone};
  std::atomic<float> superseded_{kNone};
};

} // namespace plugins
