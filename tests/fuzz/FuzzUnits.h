// The units as the fuzz targets host them, and the check of the MIDI they put out.
#pragma once

#include "tests/fuzz/FuzzInput.h"
#include "tests/support/Heard.h"
#include "tests/support/Units.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace fuzz {

// A synthesiser without factory presets, its random sources seeded so that an input always
// renders the same.
std::shared_ptr<quorvane::unit::QuorvaneAudioUnit> makeSeededSynth();

// Watches the generator's MIDI output: every message well formed, note-ons with a velocity of
// 1 ... 127, stamped inside the render call that sent it, and in the end every note-on ended
// by its note-off. Keeps the first fault; records without allocating, as the render thread may.
class MidiLedger {
public:
  // The frames of the render call about to run; a first sample time of -1 (a time stamp that
  // pins none) leaves times unchecked.
  void expectCall(std::int64_t firstSampleTime, std::int64_t frames) noexcept;
  void receive(AUEventSampleTime time, int length, const std::uint8_t* bytes) noexcept;
  // The generator's MIDI output block, into this ledger.
  AUMIDIOutputEventBlock outputBlock();
  // For notes the generator can no longer end: its host took the MIDI output away.
  void forgetOpenNotes() noexcept { open_ = {}; }

  const Verdict& fault() const noexcept { return fault_; }
  // The first note still sounding, described; empty when every note has ended.
  Verdict openNotes() const;
  // The first fault, else the first note still sounding.
  Verdict verdict() const { return fault_.empty() ? openNotes() : fault_; }

private:
  void fail(const char* what, AUEventSampleTime time, int length, const std::uint8_t* bytes);

  std::array<std::array<int, 128>, 16> open_{};
  std::int64_t first_ = 0;
  std::int64_t end_ = 0;
  bool timesKnown_ = false;
  Verdict fault_;
};

} // namespace fuzz
