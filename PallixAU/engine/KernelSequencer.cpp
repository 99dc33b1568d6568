// The render entry: follows the host's transport and position sample by sample, starts bars and
// pulses, fires queued notes and ends them after their gates.
#include "PallixAU/engine/Kernel.h"

#include "platform/foundation/SafeConvert.h"

#include <algorithm>
#include <cmath>

namespace pallix::engine {

namespace {

constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kNoteOff = 0x80;

} // namespace

void Kernel::send(std::int64_t time, std::uint8_t status, int note, int velocity) noexcept {
  const std::uint8_t bytes[3] = {status, static_cast<std::uint8_t>(note),
                                 static_cast<std::uint8_t>(velocity)};
  midi_(time, bytes, 3);
}

void Kernel::endNote(std::int64_t time, const ActiveNote& note) noexcept {
  send(time, static_cast<std::uint8_t>(kNoteOff + (note.channel & 0x0F)), note.note, 64);
}

void Kernel::startNote(std::int64_t onTime, int note, int velocity, int channel,
                       std::int64_t gate) noexcept {
  if (const auto ended = activeNotes_.add(
          {static_cast<std::uint8_t>(note), static_cast<std::uint8_t>(channel), gate}))
    endNote(onTime, *ended);
  // A catalogue's 8-bit bounds can draw 0 (a note-off in disguise) or a byte above 127.
  send(onTime, static_cast<std::uint8_t>(kNoteOn + (channel & 0x0F)), note,
       std::clamp(velocity, 1, 127));
}

void Kernel::endAllNotes(std::int64_t time) noexcept {
  activeNotes_.endAll([this, time](const ActiveNote& note) { endNote(time, note); });
}

void Kernel::reset(bool playWithoutTransport) noexcept {
  const ActiveNoteTable sounding = activeNotes_;
  restartForm();
  activeNotes_ = sounding;
  endNotesOnRender_ = activeNotes_.size() > 0;
  transport_.setPlaying(playWithoutTransport);
}

void Kernel::restartForm() noexcept {
  transport_.rewind();
  barStartQuarter_ = 0.0;
  barIndex_ = 0;
  pulsesEmittedInBar_ = 0;
  offbeats_.clear();
  strum_.clear();
  phrase_.clear();
  chorusUseMatched_ = false;
  lastFillFamily_.reset();
  activeNotes_.clear();
  startBar(false);
}

double Kernel::bufferStartPosition(std::int64_t t0) noexcept {
  const TransportFollower::BufferStart start = transport_.locateBuffer();
  if (start.wentBack) {
    endAllNotes(t0);
    phrase_.clear();
    offbeats_.clear();
    strum_.clear();
  }
  if (!start.jumpedInto)
    return start.position;
  const TransportFollower::Bar& bar = *start.jumpedInto;
  barIndex_ = static_cast<int>(bar.number % 12);
  const bool newBar = std::abs(bar.startQuarter - barStartQuarter_) > 1e-6;
  barStartQuarter_ = bar.startQuarter;
  // A start inside the bar the start edge left current (bar 0) skips its earlier pulses too,
  // rather than playing them all at once when the warm-up ends.
  if (newBar || transport_.starting())
    pulsesEmittedInBar_ = std::max<long long>(
        0, foundation::truncateInto(
               std::ceil(std::max(0.0, start.position - bar.startQuarter) / geometry().pulseLength -
                         kPositionTolerance),
               0LL, 1LL << 53));
  if (newBar)
    startBar(false);
  return start.position;
}

void Kernel::playFrame(double pos, std::int64_t s, std::int64_t t) noexcept {
  activeNotes_.advanceFrame([this, t](const ActiveNote& note) { endNote(t, note); });
  strum_.advanceFrame([this, t](const StrummedNote& note) {
    startNote(t, note.note, note.velocity, 0, note.gate);
  });
  const double q = pos + static_cast<double>(s) / samplesPerQuarter_;
  phrase_.playDue(q, [this, t](const PendingPhraseEvent& event) {
    startNote(t, event.note, event.velocity, event.channel, event.gateSamples);
  });
  offbeats_.playDue(q, [this, t](const PendingOffbeat& offbeat) {
    startNote(t, offbeat.note, offbeat.velocity, offbeat.channel, shortGate_);
  });
  const BarGeometry& bars = geometry();
  const double quarters = bars.quartersPerBar;
  if (quarters > 0.0)
    while (barStartQuarter_ + quarters - kPositionTolerance <= q) {
      barStartQuarter_ = barStartQuarter_ + quarters;
      barIndex_ = (barIndex_ + 1) % 12;
      pulsesEmittedInBar_ = 0;
      startBar(true);
    }
  if (barStartQuarter_ + bars.pulseLength * static_cast<double>(pulsesEmittedInBar_) -
          kPositionTolerance <=
      q) {
    playPulse(t);
    ++pulsesEmittedInBar_;
  }
}

void Kernel::render(double sampleTime, std::uint32_t frameCount, const HostPosition& position,
                    MidiSink midi) noexcept {
  midi_ = midi;
  transport_.read(position);
  const std::int64_t t0 = transport_.bufferStartTime(sampleTime, frameCount);
  if (endNotesOnRender_) {
    endAllNotes(t0);
    endNotesOnRender_ = false;
  }

  if (transport_.stopping()) {
    endAllNotes(t0);
    restartForm();
  }
  if (transport_.starting()) {
    restartForm();
    transport_.start(sampleRate_);
  }

  double pos = 0.0;
  if (transport_.playing()) {
    samplesPerQuarter_ = samplesPerQuarter();
    shortGate_ = foundation::truncateInto(samplesPerQuarter_ * 0.5, 0LL, 1LL << 53);
    pos = bufferStartPosition(t0);
    for (std::int64_t s = 0; s < frameCount; ++s)
      if (!transport_.warmingUp())
        playFrame(pos, s, t0 + s);
  }
  transport_.finishBuffer(pos, frameCount, samplesPerQuarter_);
  midi_ = {};
}

} // namespace pallix::engine
