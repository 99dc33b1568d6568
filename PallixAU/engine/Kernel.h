// The blues generator's sequencer: plays the 12-bar form, its fills and its accompaniment as
// timed MIDI notes, following the host's transport.
#pragma once

#include "PallixAU/engine/ActiveNoteTable.h"
#include "PallixAU/engine/BarGeometry.h"
#include "PallixAU/engine/Harmony.h"
#include "PallixAU/engine/HostPosition.h"
#include "PallixAU/engine/MidiSink.h"
#include "PallixAU/engine/PallixParameters.h"
#include "PallixAU/engine/PendingOffbeats.h"
#include "PallixAU/engine/PendingStrum.h"
#include "PallixAU/engine/PhraseQueue.h"
#include "PallixAU/engine/TransportFollower.h"
#include "PallixAU/engine/XorShiftRandom.h"
#include "PallixAU/engine/catalogue/CatalogueFormat.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pallix::engine {

class CatalogIndex;

// Threads: the parameters and the forced family are relaxed atomics any thread may set and
// read; everything else belongs to the render thread once render resources are allocated, and
// to the control thread before (setSampleRate, reset, useCatalogue).
class Kernel {
public:
  // The catalogue model and the parts of the sequencer's state, under the names the
  // sequencer's code gives them.
  using SlotTag = engine::SlotTag;
  using Mode = engine::Mode;
  using Tier = engine::Tier;
  using PulseSpacingClass = engine::PulseSpacingClass;
  using MutationKind = engine::MutationKind;
  using VoiceTag = engine::VoiceTag;
  using SuspensionFlags = engine::SuspensionFlags;
  using PhraseEvent = engine::PhraseEvent;
  using Phrase = engine::Phrase;
  using CatalogFile = engine::CatalogFile;
  using ActiveNote = engine::ActiveNote;
  using PendingPhraseEvent = engine::PendingPhraseEvent;

  static constexpr int kCatalogueVersion = engine::kCatalogueVersion;
  static constexpr int barsOfSlot(SlotTag slot) noexcept { return engine::barsOfSlot(slot); }

  Kernel() = default;
  Kernel(const Kernel&) = delete;
  Kernel& operator=(const Kernel&) = delete;

  // The rate render calls run at; reset after it. Control thread, while nothing renders.
  void setSampleRate(double sampleRate) noexcept { sampleRate_ = sampleRate; }

  // Clears the playback state and starts bar 0 without fills; notes still sounding end at the
  // first frame of the next render call, since a receiver would otherwise hold them. With
  // playWithoutTransport, for hosts that report no transport, the generator plays from the
  // first render call on its own clock; otherwise it waits for the transport to move. Control
  // thread, while nothing renders.
  void reset(bool playWithoutTransport = false) noexcept;

  // The phrases fills choose from and the family list forcedFamily points into; until this is
  // called there are none and the generator plays without catalogue fills. Control thread,
  // while nothing renders.
  void useCatalogue(std::shared_ptr<const CatalogIndex> index,
                    std::shared_ptr<const std::vector<std::string>> families) noexcept;

  // Root Note and Mode are truncated toward zero; a non-finite value for them is ignored.
  // Any thread.
  void setParameter(PallixParameter parameter, float value) noexcept;
  float parameterValue(PallixParameter parameter) const noexcept;

  // Every fill and turnaround comes from this family, an index into the families given to
  // useCatalogue; a negative or unknown index restricts nothing. Any thread.
  void setForcedFamily(std::int8_t index) noexcept {
    forcedFamilyIndex_.store(index, std::memory_order_relaxed);
  }
  std::int8_t forcedFamily() const noexcept {
    return forcedFamilyIndex_.load(std::memory_order_relaxed);
  }

  // One buffer of frameCount frames from sampleTime (a non-finite one continues the previous
  // buffer): follows the host's tempo, meter, position and transport as position tells them,
  // and sends the notes due in its frames to midi. Render thread; never allocates, locks or
  // throws.
  void render(double sampleTime, std::uint32_t frameCount, const HostPosition& position,
              MidiSink midi) noexcept;

private:
  // --- The form (KernelSequencer.cpp) ---

  // What reset clears but the transport's playing state; also at its start and stop edges.
  void restartForm() noexcept;
  double bufferStartPosition(std::int64_t t0) noexcept;
  void playFrame(double pos, std::int64_t s, std::int64_t t) noexcept;

  // --- Notes (KernelSequencer.cpp) ---

  // Sends a note-on and tracks its note-off; a full table first ends the note closest to its
  // end. The gate counts from the current frame.
  void startNote(std::int64_t onTime, int note, int velocity, int channel,
                 std::int64_t gate) noexcept;
  void endNote(std::int64_t time, const ActiveNote& note) noexcept;
  void endAllNotes(std::int64_t time) noexcept;
  void send(std::int64_t time, std::uint8_t status, int note, int velocity) noexcept;

  // --- Bar starts and phrases (KernelFills.cpp) ---

  // What happens at a bar line: the bar's chords, a new chorus at bar 0, and (with allowFills)
  // whether a fill, turnaround or bass run starts.
  void startBar(bool allowFills) noexcept;
  void startChorus() noexcept;
  // A phrase of the slot for the current key, tier and meter, or none; draws once if found.
  const Phrase* selectFill(SlotTag slot) noexcept;
  const Phrase* selectTurnaround() noexcept;
  const Phrase* filterPhrase(SlotTag slot, std::optional<std::string_view> family) noexcept;
  Tier selectionTier() const noexcept;
  // Fill the phrase queue from a phrase, or with a generated bass run, starting at barStart.
  void startPhrase(const Phrase& phrase, double barStart) noexcept;
  void startBassRun(double barStart) noexcept;

  // --- The accompaniment (KernelAccompaniment.cpp) ---

  // The accompaniment of the pulse pulsesEmittedInBar_, due at sample time t.
  void playPulse(std::int64_t t) noexcept;
  void scheduleOffbeats(double pq, int toneCount, double dropChance) noexcept;
  int offbeatNote(std::uint32_t draw, int toneCount) const noexcept;
  int currentChordRoot() const noexcept;

  const BarGeometry& geometry() const noexcept { return transport_.geometry(); }
  double samplesPerQuarter() const noexcept { return transport_.samplesPerQuarter(sampleRate_); }

  // --- State ---

  double sampleRate_ = 44100.0;
  // The parameters, by PallixParameter, from their defaults.
  static constexpr float initial(PallixParameter p) noexcept { return rowOf(p).defaultValue; }
  std::atomic<float> embroidery_{initial(PallixParameter::embroidery)};
  std::atomic<float> easiness_{initial(PallixParameter::easiness)};
  std::atomic<float> etiquette_{initial(PallixParameter::etiquette)};
  std::atomic<float> exotica_{initial(PallixParameter::exotica)};
  std::atomic<float> emotion_{initial(PallixParameter::emotion)};
  std::atomic<float> evolution_{initial(PallixParameter::evolution)};
  std::atomic<int> rootNote_{static_cast<int>(initial(PallixParameter::rootNote))};
  std::atomic<int> mode_{static_cast<int>(initial(PallixParameter::mode))};
  std::atomic<std::int8_t> forcedFamilyIndex_{-1};

  std::shared_ptr<const CatalogIndex> catalogue_;
  std::shared_ptr<const std::vector<std::string>> families_;

  TransportFollower transport_;
  // The form: where the current bar starts, which of the twelve it is, its pulses so far and
  // its two half-bar chords.
  double barStartQuarter_ = 0.0;
  int barIndex_ = 0;
  std::int64_t pulsesEmittedInBar_ = 0;
  HalfBarChord currentBarFirst_;
  HalfBarChord currentBarSecond_;
  // The chorus's family rule: whether its fills keep to the family of its first fill choice.
  bool chorusUseMatched_ = false;
  // A view of a family name inside the catalogue, so that recording it never allocates.
  std::optional<std::string_view> lastFillFamily_;
  XorShiftRandom rngState_;

  PhraseQueue phrase_;
  PendingOffbeats offbeats_;
  PendingStrum strum_;
  ActiveNoteTable activeNotes_;
  // Set by reset while notes sounded: the next render call ends them first.
  bool endNotesOnRender_ = false;

  // Valid during render: the MIDI output, and the buffer's samples per quarter and short gate.
  MidiSink midi_;
  double samplesPerQuarter_ = 22050.0;
  std::int64_t shortGate_ = 11025;
};

} // namespace pallix::engine
