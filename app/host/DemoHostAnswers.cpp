// The demo's musical-context and transport answers.
#include "app/host/DemoHostAnswers.h"

#include "hosting/HostTimeline.h"

namespace app {

namespace {
constexpr auto relaxed = std::memory_order_relaxed;
} // namespace

bool answerMusicalContext(const DemoState& state, double* tempo, double* numerator,
                          long* denominator, double* beatPosition, long* sampleOffsetToNextBeat,
                          double* measureDownbeat) noexcept {
  const double start = state.transportStartSample.load(relaxed);
  const bool started = state.isPlaying.load(relaxed) && start >= 0.0;
  const hosting::Meter meter{static_cast<int>(state.beatsPerBar), static_cast<int>(state.beatUnit)};
  const auto position =
      hosting::musicalPositionAt(state.sampleRate, state.tempo.load(relaxed), meter,
                                 started ? state.currentSampleTime.load(relaxed) - start : 0.0);
  return hosting::answerMusicalContext(position, tempo, numerator, denominator, beatPosition,
                                       sampleOffsetToNextBeat, measureDownbeat);
}

bool answerTransportState(const DemoState& state, AUHostTransportStateFlags* flags,
                          double* samplePosition, double* cycleStart, double* cycleEnd) noexcept {
  return hosting::answerTransportState(state.isPlaying.load(relaxed),
                                       state.currentSampleTime.load(relaxed) -
                                           state.transportStartSample.load(relaxed),
                                       flags, samplePosition, cycleStart, cycleEnd);
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

} // namespace app
