// Audits the generator unit's render calls: no allocation, free, lock, sleep or I/O.
#include "PallixTestSupport.h"

#include "RealtimeAudit.h"

#include "platform/audiounit/RenderEventList.h"

#include <cmath>

using pallix::engine::CatalogIndex;
using P = pallix::engine::PallixParameter;

namespace {

void anchor() {} // an address inside this test binary, beside which the catalogues lie

} // namespace

TEST(RealtimeAudit, PallixRenderCallsWhilePlayingWithAHostContextAreSafe) {
  constexpr AUAudioFrameCount kMax = 512;
  // Brisk, so that two sweeps of buffer sizes cross the fills of bars 4 and 8.
  constexpr double kBeatsPerSample = 360.0 / 60.0 / 44100.0;
  auto unit =
      makeGenerator(std::make_shared<const CatalogIndex>(CatalogIndex::load(
                        foundation::Bundle::of(reinterpret_cast<const void*>(&anchor)), {})),
                    true);
  for (const auto& parameter : unit->parameterTree()->allParameters())
    parameter->setValue(parameter->address() == addressOf(P::mode) ? 1.0f : 0.9f); // busy, minor
  double now = 0;
  unit->setMusicalContextBlock([&now](double* tempo, double* numerator, long* denominator,
                                      double* beat, long* toNextBeat, double* downbeat) {
    *tempo = 360;
    *numerator = 4;
    *denominator = 4;
    *toNextBeat = 0;
    *beat = now * kBeatsPerSample;
    *downbeat = 4 * std::floor(*beat / 4);
    return true;
  });
  unit->setTransportStateBlock([](AUHostTransportStateFlags* flags, auto*, auto*, auto*) {
    *flags = AUHostTransportStateMoving;
    return true;
  });
  std::size_t count = 0;
  unit->setMIDIOutputEventBlock([&](AUEventSampleTime, std::uint8_t, int, const std::uint8_t*) {
    ++count;
    return noErr;
  });
  ASSERT_TRUE(unit->allocateRenderResources().ok());
  const AURenderBlock render = unit->renderBlock();
  const AURenderPullInputBlock pull;
  std::vector<float> left(kMax), right(kMax);
  RenderEventList events(1);

  resetRealtimeCounts();
  gCounting = true;
  for (int sweep = 0; sweep < 2; ++sweep)
    for (AUAudioFrameCount frames = 1; frames <= kMax; ++frames) {
      float* channels[2] = {left.data(), right.data()};
      AudioBufferList list = AudioBufferList::forChannels(channels, 2, frames);
      const AudioTimeStamp stamp = AudioTimeStamp::withSampleTime(now);
      events.clear();
      events.addParameter(AUEventSampleTime(now), addressOf(P::etiquette),
                          float(frames % 10) / 10.0f);
      ASSERT_EQ(render(nullptr, &stamp, frames, 0, &list, events.head(), pull), noErr);
      now += frames;
    }
  gCounting = false;
  EXPECT_EQ(realtimeCounts(), RealtimeCounts{});
  EXPECT_GT(count, 100u);
}
