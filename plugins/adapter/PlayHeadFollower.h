// The host's tempo, meter and transport as a unit asks for them, from the positions the host
// gives and, between them, from the last one.
#pragma once

#include "platform/audiounit/RenderTypes.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <cstdint>

namespace plugins {

// Some hosts give a position in every block, others only when the transport changes. So the
// last position is kept and, while the transport rolls, moved on by the frames rendered since
// at its tempo.
// Threads: prepare on a control thread while nothing renders; the rest on the render thread.
// Nothing here allocates or locks.
class PlayHeadFollower {
public:
  void prepare(double sampleRate) noexcept;
  // Forgets every position: until the host gives one, the answers are false.
  void forget() noexcept { known_ = false; }

  // At the start of a host block: the host's position, if it gave one, in quarter notes.
  void beginBlock(const juce::Optional<juce::AudioPlayHead::PositionInfo>& position) noexcept;
  // After frames more have been rendered.
  void advance(std::int64_t frames) noexcept { framesSince_ += frames; }

  // The answers of the unit's musical-context and transport-state host blocks for the frames
  // about to be rendered; false while no position is known.
  bool musicalContext(double* tempo, double* numerator, long* denominator, double* beat,
                      long* samplesToNextBeat, double* downbeat) const noexcept;
  bool transportState(AUHostTransportStateFlags* flags, double* samplePosition, double* cycleStart,
                      double* cycleEnd) const noexcept;

private:
  double quartersNow() const noexcept;
  double quartersPerBar() const noexcept { return numerator_ * 4.0 / denominator_; }
  double samplesPerQuarter() const noexcept { return sampleRate_ * 60.0 / tempo_; }

  double sampleRate_ = 44100.0;
  bool known_ = false;
  bool playing_ = false;
  double tempo_ = 120.0; // quarter notes per minute
  double numerator_ = 4.0;
  long denominator_ = 4;
  double quarters_ = 0.0;     // at the last position the host gave
  double barStart_ = 0.0;     // a bar line, in quarters
  double samplePosition_ = 0; // at the last position the host gave
  std::int64_t framesSince_ = 0;
};

} // namespace plugins
