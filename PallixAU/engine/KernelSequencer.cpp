// The render entry: follows the host's transport and position sample by sample, starts bars and
// pulses, fires queued notes and ends them after their gates.
#include "PallixAU/engine/Kernel.h"

#include "platform/foundation/SafeConvert.h"

#include <cmath>
#include <cstring>

namespace {

constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kNoteOff = 0x80;
constexpr double kEpsilon = 1e-9;
// Beyond these a host's meter is not a meter: bars would shrink to nothing or tempo would pass
// whole bars in one frame. Such values are ignored like non-finite ones.
constexpr double kMinQuartersPerBar = 1.0 / 64.0;
constexpr double kMaxQuartersPerBar = 4096.0;
constexpr double kMaxTempo = 100000.0;
// Far beyond any session (a year at 1000 bpm), yet where positions still resolve a sample.
constexpr double kMaxPosition = 1e9;

bool positiveFinite(double x) noexcept { return std::isfinite(x) && x > 0.0; }

} // namespace

void Kernel::send(std::int64_t time, std::uint8_t status, int note, int velocity) noexcept {
  if (!context_ || !context_->midiOut)
    return;
  const std::uint8_t bytes[3] = {status, static_cast<std::uint8_t>(note),
                                 static_cast<std::uint8_t>(velocity)};
  context_->midiOut(time, 0, 3, bytes);
}

void Kernel::startNote(std::int64_t onTime, int note, int velocity, int channel,
                       std::int64_t gate) noexcept {
  int slot = activeNoteCount;
  if (activeNoteCount == kActiveNoteCapacity) {
    // Every note that starts also ends: the one closest to its end gives up its slot.
    slot = 0;
    for (int i = 1; i < activeNoteCount; ++i)
      if (activeNotes[static_cast<std::size_t>(i)].samplesUntilOff <
          activeNotes[static_cast<std::size_t>(slot)].samplesUntilOff)
        slot = i;
    const ActiveNote& ended = activeNotes[static_cast<std::size_t>(slot)];
    send(onTime, static_cast<std::uint8_t>(kNoteOff + (ended.channel & 0x0F)), ended.note, 64);
  } else {
    ++activeNoteCount;
  }
  send(onTime, static_cast<std::uint8_t>(kNoteOn + (channel & 0x0F)), note, velocity);
  activeNotes[static_cast<std::size_t>(slot)] = {static_cast<std::uint8_t>(note),
                                                 static_cast<std::uint8_t>(channel), gate};
}

void Kernel::sendAllNotesOff(std::int64_t time) noexcept {
  for (int i = 0; i < activeNoteCount; ++i) {
    const ActiveNote& n = activeNotes[static_cast<std::size_t>(i)];
    send(time, static_cast<std::uint8_t>(kNoteOff + (n.channel & 0x0F)), n.note, 64);
  }
}

void Kernel::reset() noexcept {
  hostQuarterPos = 0.0;
  barStartQuarter = 0.0;
  barIndex = 0;
  pulsesEmittedInBar = 0;
  pendingOffbeatTarget = -1.0;
  pendingOffbeatNote = 0;
  pendingOffbeatChannel = 0;
  pendingOffbeatTarget2 = -1.0;
  pendingOffbeatNote2 = 0;
  pendingOffbeatChannel2 = 0;
  phraseActive = false;
  phraseEndQ = 0.0;
  phraseSuspends = {};
  phraseEventCount = 0;
  chorusUseMatched = false;
  lastFillFamily.reset();
  activeNoteCount = 0;
  playEdgeWarmup = 0;
  startBar(false);
}

void Kernel::readHostContext(const ContextHolder& context, bool& contextValid) noexcept {
  contextValid = false;
  if (context.musicalContext) {
    double tempo = 0.0, numerator = 0.0, beat = 0.0, downbeat = 0.0;
    long denominator = 0, toNextBeat = 0;
    if (context.musicalContext(&tempo, &numerator, &denominator, &beat, &toNextBeat, &downbeat)) {
      if (positiveFinite(tempo) && tempo <= kMaxTempo)
        hostTempo = tempo;
      const double beatUnit = denominator > 0 ? static_cast<double>(denominator) : hostBeatUnit;
      const double beatsPerBar = positiveFinite(numerator) ? numerator : hostBeatsPerBar;
      const double quarters = beatsPerBar * 4.0 / beatUnit;
      if (quarters >= kMinQuartersPerBar && quarters <= kMaxQuartersPerBar) {
        hostBeatsPerBar = beatsPerBar;
        hostBeatUnit = beatUnit;
      }
      // Without a usable position the generator runs on its own clock, as with no context.
      if (std::abs(beat) <= kMaxPosition && std::abs(downbeat) <= kMaxPosition) {
        rawBeatPos = beat;
        rawDownbeat = downbeat;
        rawSampleOffsetToNextBeat = toNextBeat;
        contextValid = true;
      }
    }
  }
  geometry_ = BarGeometry::of(hostBeatsPerBar, static_cast<long>(hostBeatUnit));
  if (context.transportState) {
    AUHostTransportStateFlags flags = 0;
    double samplePosition = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
    if (context.transportState(&flags, &samplePosition, &cycleStart, &cycleEnd))
      hostPlaying = (flags & AUHostTransportStateMoving) != 0;
  }
}

void Kernel::applyParameterEvents(const AURenderEvent* events) noexcept {
  for (const AURenderEvent* e = events; e; e = e->head.next)
    if (e->head.eventType == AURenderEventParameter ||
        e->head.eventType == AURenderEventParameterRamp)
      setParameter(e->parameter.parameterAddress, e->parameter.value);
}

void Kernel::startTransport(bool contextValid) noexcept {
  reset();
  playEdgeWarmup = kPlayEdgeWarmupFrames;
  const double quarters = geometry_.quartersPerBar;
  if (!contextValid || !(quarters > 0.0))
    return;
  // A host that reports the half-beat before a barline as the start lies half a beat early.
  const double half = (4.0 / hostBeatUnit) * 0.5;
  const double d = rawBeatPos - rawDownbeat;
  if (d < half || d > quarters - half)
    detectedBeatOffset =
        static_cast<double>(rawSampleOffsetToNextBeat) / samplesPerQuarter() > half ? 0.5 : 0.0;
}

double Kernel::bufferStartPosition(bool contextValid, std::int64_t t0) noexcept {
  const double quarters = geometry_.quartersPerBar;
  if (!contextValid || !(quarters > 0.0))
    return hostQuarterPos;
  const double pos = rawBeatPos - detectedBeatOffset;
  if (pos < hostQuarterPos - 0.5) {
    sendAllNotesOff(t0);
    activeNoteCount = 0;
    phraseActive = false;
    phraseEventCount = 0;
    phraseEndQ = 0.0;
    pendingOffbeatTarget = -1.0;
    pendingOffbeatTarget2 = -1.0;
  }
  // A buffer that continues the previous one crosses its bar lines in the frame loop, where
  // fills may start; only a jump re-synchronises the bar.
  const bool continues = std::abs(pos - hostQuarterPos) <= 1e-6;
  hostQuarterPos = pos;
  if (continues)
    return pos;
  const long long n =
      std::max<long long>(0, truncateInto(std::floor(pos / quarters + kEpsilon), 0LL, 1LL << 53));
  const double barStart = quarters * static_cast<double>(n);
  barIndex = static_cast<int>(n % 12);
  if (std::abs(barStart - barStartQuarter) > 1e-6) {
    barStartQuarter = barStart;
    pulsesEmittedInBar = std::max<long long>(
        0, truncateInto(std::ceil(std::max(0.0, pos - barStart) / geometry_.pulseLength - kEpsilon),
                        0LL, 1LL << 53));
    startBar(false);
  } else {
    barStartQuarter = barStart;
  }
  return pos;
}

void Kernel::fireQueuedPhraseNotes(double q, std::int64_t t) noexcept {
  for (int i = 0; i < phraseEventCount;) {
    const PendingPhraseEvent& event = phraseEventQueue[static_cast<std::size_t>(i)];
    if (event.targetQuarter - kEpsilon <= q) {
      startNote(t, event.note, event.velocity, event.channel, event.gateSamples);
      phraseEventQueue[static_cast<std::size_t>(i)] =
          phraseEventQueue[static_cast<std::size_t>(--phraseEventCount)];
    } else {
      ++i;
    }
  }
  if (phraseEndQ - kEpsilon < q) {
    phraseActive = false;
    phraseEventCount = 0;
  }
}

void Kernel::fireOffbeats(double q, std::int64_t t) noexcept {
  if (pendingOffbeatTarget >= 0.0 && pendingOffbeatTarget - kEpsilon <= q) {
    startNote(t, pendingOffbeatNote, pendingOffbeatVelocity, pendingOffbeatChannel, shortGate_);
    pendingOffbeatTarget = -1.0;
  }
  if (pendingOffbeatTarget2 >= 0.0 && pendingOffbeatTarget2 - kEpsilon <= q) {
    startNote(t, pendingOffbeatNote2, pendingOffbeatVelocity2, pendingOffbeatChannel2, shortGate_);
    pendingOffbeatTarget2 = -1.0;
  }
}

void Kernel::playFrame(double pos, std::int64_t s, std::int64_t t) noexcept {
  for (int i = 0; i < activeNoteCount;) {
    ActiveNote& n = activeNotes[static_cast<std::size_t>(i)];
    if (--n.samplesUntilOff <= 0) {
      send(t, static_cast<std::uint8_t>(kNoteOff + (n.channel & 0x0F)), n.note, 64);
      n = activeNotes[static_cast<std::size_t>(--activeNoteCount)];
    } else {
      ++i;
    }
  }
  const double q = pos + static_cast<double>(s) / samplesPerQuarter_;
  if (phraseActive)
    fireQueuedPhraseNotes(q, t);
  fireOffbeats(q, t);
  const double quarters = geometry_.quartersPerBar;
  if (quarters > 0.0)
    while (barStartQuarter + quarters - kEpsilon <= q) {
      barStartQuarter = barStartQuarter + quarters;
      barIndex = (barIndex + 1) % 12;
      pulsesEmittedInBar = 0;
      startBar(true);
    }
  if (barStartQuarter + geometry_.pulseLength * static_cast<double>(pulsesEmittedInBar) -
          kEpsilon <=
      q) {
    playPulse(t);
    ++pulsesEmittedInBar;
  }
}

OSStatus Kernel::render(const AudioTimeStamp& timestamp, AUAudioFrameCount frameCount,
                        AudioBufferList* outputData, const AURenderEvent* events,
                        const ContextHolder& context) noexcept {
  context_ = &context;
  bool contextValid = false;
  readHostContext(context, contextValid);
  applyParameterEvents(events);
  // A non-finite time stamp continues from the previous buffer.
  const std::int64_t t0 = std::isfinite(timestamp.mSampleTime)
                              ? truncateInto(timestamp.mSampleTime, -(1LL << 62), 1LL << 62)
                              : lastSampleTimeEnd_;
  lastSampleTimeEnd_ = t0 + frameCount;

  if (wasPlaying && !hostPlaying) {
    sendAllNotesOff(t0);
    reset();
  }
  if (!wasPlaying && hostPlaying)
    startTransport(contextValid);

  if (hostPlaying) {
    samplesPerQuarter_ = samplesPerQuarter();
    shortGate_ = truncateInto(samplesPerQuarter_ * 0.5, 0LL, 1LL << 53);
    const double pos = bufferStartPosition(contextValid, t0);
    for (std::int64_t s = 0; s < frameCount; ++s) {
      if (playEdgeWarmup > 0) {
        --playEdgeWarmup;
        continue;
      }
      playFrame(pos, s, t0 + s);
    }
    hostQuarterPos = pos + static_cast<double>(frameCount) / samplesPerQuarter_;
  }
  wasPlaying = hostPlaying;
  if (outputData)
    for (std::uint32_t b = 0; b < outputData->mNumberBuffers && b < AudioBufferList::kMaxBuffers;
         ++b)
      if (AudioBuffer& buffer = outputData->mBuffers[b]; buffer.mData)
        std::memset(buffer.mData, 0, buffer.mDataByteSize);
  context_ = nullptr;
  return 0;
}
