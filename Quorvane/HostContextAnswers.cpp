// The demo's musical-context and transport answers.
#include "Quorvane/HostContextAnswers.h"

#include <cmath>

namespace {
constexpr auto relaxed = std::memory_order_relaxed;
} // namespace

bool answerMusicalContext(const DemoState& state, double* tempo, double* numerator,
                          long* denominator, double* beatPosition, long* sampleOffsetToNextBeat,
                          double* measureDownbeat) noexcept {
  const double currentTempo = state.tempo.load(relaxed);
  if (tempo)
    *tempo = currentTempo;
  if (numerator)
    *numerator = state.beatsPerBar;
  if (denominator)
    *denominator = state.beatUnit;

  const double samplesPerBeat = state.sampleRate * 60.0 / currentTempo;
  const double start = state.transportStartSample.load(relaxed);
  double beat = 0.0;
  double toNextBeat = samplesPerBeat;
  double downbeat = 0.0;
  if (state.isPlaying.load(relaxed) && start >= 0.0) {
    beat = (state.currentSampleTime.load(relaxed) - start) / samplesPerBeat;
    // Exactly on a beat this is a whole beat, not 0.
    toNextBeat = samplesPerBeat - samplesPerBeat * (beat - std::floor(beat));
    downbeat = state.beatsPerBar * std::floor(beat / state.beatsPerBar);
  }
  if (beatPosition)
    *beatPosition = beat;
  if (sampleOffsetToNextBeat)
    *sampleOffsetToNextBeat = static_cast<long>(toNextBeat); // truncation toward zero
  if (measureDownbeat)
    *measureDownbeat = downbeat;
  return true;
}

bool answerTransportState(const DemoState& state, AUHostTransportStateFlags* flags,
                          double* samplePosition, double* cycleStart, double* cycleEnd) noexcept {
  if (flags)
    *flags = state.isPlaying.load(relaxed) ? AUHostTransportStateMoving : 0;
  if (samplePosition)
    *samplePosition =
        state.currentSampleTime.load(relaxed) - state.transportStartSample.load(relaxed);
  if (cycleStart)
    *cycleStart = 0.0;
  if (cycleEnd)
    *cycleEnd = 0.0;
  return true;
}

AUHostMusicalContextBlock musicalContextBlockFor(std::shared_ptr<const DemoState> state) {
  return [state = std::move(state)](double* tempo, double* numerator, long* denominator,
                                    double* beat, long* toNextBeat, double* downbeat) {
    return answerMusicalContext(*state, tempo, numerator, denominator, beat, toNextBeat, downbeat);
  };
}

AUHostTransportStateBlock transportStateBlockFor(std::shared_ptr<const DemoState> state) {
  return [state = std::move(state)](AUHostTransportStateFlags* flags, double* position,
                                    double* cycleStart, double* cycleEnd) {
    return answerTransportState(*state, flags, position, cycleStart, cycleEnd);
  };
}
