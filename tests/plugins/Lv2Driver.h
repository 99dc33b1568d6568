// An instance of either LV2 plug-in, in a liblilv world, run as a sweep host.
#pragma once

#include "tests/plugins/SweepChecks.h"
#include "tools/lv2-host/Lv2Host.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

inline const std::string kQuorvane = "https://orrinbrook.org/plugins/quorvane";
inline const std::string kPallix = "https://orrinbrook.org/plugins/pallix";

// One instance with its control inputs in the parameters' own units: the dice's 0 and 1 are the
// ends of each range; the transport's position goes with every block.
class Lv2Driver : public SweepHost {
public:
  Lv2Driver(Lv2World& in, const std::string& uri, double rate, int prepared)
      : SweepHost(rate), uri(uri), instance(in, uri, rate, static_cast<std::uint32_t>(prepared)),
        parameters(in.parameters(uri)) {}

  std::size_t parameterCount() const override { return parameters.size(); }
  std::string parameterName(std::size_t i) const override { return parameters[i].identifier; }
  void setParameter(std::size_t i, float normalised) override {
    const Lv2Parameter& p = parameters[i];
    instance.setControl(p.identifier, p.minimum + normalised * (p.maximum - p.minimum));
  }
  using SweepHost::setParameter;
  std::string saveState() override { return instance.saveState(); }
  void restoreState(const std::string& state) override { instance.restoreState(state); }
  void deliverAutomation(int block) override { run(block); }
  // LV2 has no rate change short of a new instance (HostCan::changeRate is false).
  void reactivate(double, int) override { instance.reactivate(); }
  // Factory preset n is the LV2 preset "preset<n + 1>".
  void chooseProgram(int index) override {
    instance.loadPreset(uri + ":preset" + std::to_string(index + 1));
  }

  std::string uri;
  Lv2Instance instance;
  std::vector<Lv2Parameter> parameters;

private:
  void render(int frames, std::span<const TimedMidi> due) override {
    instance.addPosition(0, quarters(), 120.0, playing);
    for (const TimedMidi& m : due)
      instance.addMidi(static_cast<std::uint32_t>(m.time - now), m.bytes,
                       static_cast<std::uint32_t>(midiLength(m.bytes[0])));
    for (const Lv2MidiMessage& m : instance.run(static_cast<std::uint32_t>(frames)))
      emitted(m.sampleTime, m.bytes);
    for (int channel : {0, 1})
      heard(instance.output(channel));
  }
};
