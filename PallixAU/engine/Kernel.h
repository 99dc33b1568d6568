// The blues generator's kernel: the phrase catalogue model, and the sequencer that plays the
// 12-bar form, its fills and its accompaniment as timed MIDI notes.
#pragma once

#include "PallixAU/engine/BarGeometry.h"
#include "PallixAU/engine/ContextHolder.h"
#include "PallixAU/engine/Harmony.h"
#include "PallixAU/engine/XorShiftRandom.h"

#include "platform/audiounit/AUParameterTypes.h"
#include "platform/audiounit/RenderEvent.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CatalogIndex;

// A note the sequencer still has to end.
struct ActiveNote {
  std::uint8_t note = 0;
  std::uint8_t channel = 0;
  std::int64_t samplesUntilOff = 0;
};

// A phrase note waiting for its position.
struct PendingPhraseEvent {
  double targetQuarter = -1.0; // absolute, in quarter notes
  std::uint8_t note = 0;
  std::uint8_t velocity = 0;
  std::uint8_t channel = 0;
  std::int64_t gateSamples = 0; // at least 1
};

// Threads: the nested types are plain values (copied, never shared), usable on any thread; the
// lookups are real-time safe. The kernel itself: the parameter fields and forcedFamilyIndex are
// relaxed atomics any thread may write (setParameter); everything else belongs to the render
// thread once render resources are allocated, and to the control thread before (reset,
// useCatalogue, sampleRate).
class Kernel {
public:
  // The ordinals are part of the catalogue format: they pack the catalogue index key and index
  // the selector's tables, so new values only ever go at the end.
  enum class SlotTag : std::uint8_t { turnaround, fillBar4, fillBar8, fillBar3to4, fillBar7to8 };
  enum class Mode : std::uint8_t { major, minor };
  enum class Tier : std::uint8_t { basic, quickFour, jazz };
  // simple: a pulse per quarter note; compound: a pulse per dotted quarter (x/8, x a multiple of
  // 3).
  enum class PulseSpacingClass : std::uint8_t { simple, compound };
  enum class MutationKind : std::uint8_t { drop, octaveShift, graceNote };
  // Bass notes are never octave-shifted; chord stabs never get a grace note.
  enum class VoiceTag : std::uint8_t { bass, melody, chordStab };

  // The parts of the generated accompaniment a playing phrase silences, as a bit mask.
  struct SuspensionFlags {
    enum Flag : std::uint8_t { bass = 1, chordFirst = 2, offbeats = 4 };

    constexpr SuspensionFlags() noexcept = default;
    constexpr SuspensionFlags(Flag flag) noexcept : rawValue(flag) {}
    constexpr explicit SuspensionFlags(std::uint8_t raw) noexcept : rawValue(raw) {}

    // Whether every flag of other is set (true for the empty set).
    constexpr bool contains(SuspensionFlags other) const noexcept {
      return (rawValue & other.rawValue) == other.rawValue;
    }
    constexpr void insert(SuspensionFlags other) noexcept { rawValue |= other.rawValue; }
    constexpr bool empty() const noexcept { return rawValue == 0; }

    friend constexpr SuspensionFlags operator|(SuspensionFlags a, SuspensionFlags b) noexcept {
      return SuspensionFlags(static_cast<std::uint8_t>(a.rawValue | b.rawValue));
    }
    // Without this, bass | offbeats would be the built-in int operator.
    friend constexpr SuspensionFlags operator|(Flag a, Flag b) noexcept {
      return SuspensionFlags(a) | SuspensionFlags(b);
    }
    friend constexpr bool operator==(SuspensionFlags, SuspensionFlags) noexcept = default;

    std::uint8_t rawValue = 0;
  };

  // What an absent or empty list of modes, tiers or spacing classes means: all of them.
  static constexpr std::array<Mode, 2> kAllModes{Mode::major, Mode::minor};
  static constexpr std::array<Tier, 3> kAllTiers{Tier::basic, Tier::quickFour, Tier::jazz};
  static constexpr std::array<PulseSpacingClass, 2> kAllSpacingClasses{PulseSpacingClass::simple,
                                                                       PulseSpacingClass::compound};

  // One note of a phrase, in pulses from the start of the phrase's first bar.
  struct PhraseEvent {
    double timeOffsetPulses = 0.0;
    int pitchSemitones = 0; // above the key's tonic in the base octave; may be negative
    double durationPulses = 0.0;
    std::uint8_t velocityLow = 0;
    std::uint8_t velocityHigh = 0; // inclusive; the catalogues may write it below velocityLow
    VoiceTag voiceTag = VoiceTag::bass;

    friend bool operator==(const PhraseEvent&, const PhraseEvent&) = default;
  };

  // A hand-written fill, run or turnaround and where it may be played. A default phrase suits
  // every mode, tier and spacing class, as one decoded without those keys does.
  struct Phrase {
    SlotTag slot = SlotTag::turnaround;
    // Copied from the arrays rather than from initializer lists, which GCC 12 at -O3 reports
    // as maybe uninitialized.
    std::vector<Mode> modes{kAllModes.begin(), kAllModes.end()};
    std::vector<Tier> tiers{kAllTiers.begin(), kAllTiers.end()};
    int pulsesPerBar = 0; // of the meter it was written for; must match the current one
    std::vector<PulseSpacingClass> spacingClasses{kAllSpacingClasses.begin(),
                                                  kAllSpacingClasses.end()};
    SuspensionFlags suspends;
    std::string family;
    std::vector<MutationKind> disableMutations;
    std::vector<PhraseEvent> events;

    // Whether the mutation kind must not be applied when the phrase starts.
    bool disables(MutationKind kind) const noexcept {
      return std::find(disableMutations.begin(), disableMutations.end(), kind) !=
             disableMutations.end();
    }

    friend bool operator==(const Phrase&, const Phrase&) = default;
  };

  // One catalogue file as decoded; the loader accepts only kCatalogVersion.
  struct CatalogFile {
    int version = 0;
    std::vector<Phrase> phrases;

    friend bool operator==(const CatalogFile&, const CatalogFile&) = default;
  };

  static constexpr int kCatalogVersion = 4;

  // How many bars a phrase of the slot covers; a value outside the enumeration counts as 1.
  static constexpr int barsOfSlot(SlotTag slot) noexcept {
    switch (slot) {
    case SlotTag::turnaround:
    case SlotTag::fillBar3to4:
    case SlotTag::fillBar7to8:
      return 2;
    default:
      return 1;
    }
  }

  static constexpr int kActiveNoteCapacity = 16;
  static constexpr int kPhraseEventCapacity = 48;
  // Frames left silent after the transport starts, while hosts settle their position.
  static constexpr int kPlayEdgeWarmupFrames = 1024;

  Kernel() = default;
  Kernel(const Kernel&) = delete;
  Kernel& operator=(const Kernel&) = delete;

  // --- Operations ---

  // The phrases fills choose from and the family list forcedFamilyIndex points into; until this
  // is called there are none and the generator plays without catalogue fills. Control thread,
  // before rendering.
  void useCatalogue(std::shared_ptr<const CatalogIndex> index,
                    std::shared_ptr<const std::vector<std::string>> families) noexcept;

  // The parameter at address (0 ... 7; others are ignored or read as 0). Root Note and Mode
  // are truncated toward zero; a non-finite value for them is ignored. Any thread.
  void setParameter(AUParameterAddress address, AUValue value) noexcept;
  AUValue parameterValue(AUParameterAddress address) const noexcept;

  // One buffer: follows the host's tempo, meter, position and transport, sends the notes due in
  // its frames through context.midiOut, and fills outputData with silence. Always returns 0.
  // Render thread; never allocates, locks or throws.
  OSStatus render(const AudioTimeStamp& timestamp, AUAudioFrameCount frameCount,
                  AudioBufferList* outputData, const AURenderEvent* events,
                  const ContextHolder& context) noexcept;

  // Clears the playback state (no note-offs are sent) and starts bar 0 without fills.
  void reset() noexcept;

  // What happens at a bar line: the bar's chords, a new chorus at bar 0, and (with allowFills)
  // whether a fill, turnaround or bass run starts.
  void startBar(bool allowFills) noexcept;
  void startChorus() noexcept;
  // A phrase of the slot for the current key, tier and meter, or none; draws once if found.
  const Phrase* selectFill(SlotTag slot) noexcept;
  const Phrase* selectTurnaround() noexcept;
  // Fill the phrase queue from a phrase, or with a generated bass run, starting at barStart.
  void startPhrase(const Phrase& phrase, double barStart) noexcept;
  void startBassRun(double barStart) noexcept;
  // The accompaniment of the pulse pulsesEmittedInBar, due at sample time t.
  void playPulse(std::int64_t t) noexcept;

  // Derived values the operations above share.
  const BarGeometry& geometry() const noexcept { return geometry_; }
  double samplesPerQuarter() const noexcept { return sampleRate * 60.0 / hostTempo; }
  Tier selectionTier() const noexcept;

  // --- Fields, in the order of the sequencer's state ---

  double sampleRate = 44100.0;
  std::atomic<float> embroidery{0.5f};
  std::atomic<float> easiness{0.5f};
  std::atomic<float> etiquette{0.5f};
  std::atomic<float> exotica{0.5f};
  std::atomic<float> emotion{0.5f};
  std::atomic<float> evolution{0.5f};
  std::atomic<int> rootNote{0};
  std::atomic<int> mode{0};
  double hostTempo = 120.0;
  double hostBeatsPerBar = 4.0;
  double hostBeatUnit = 4.0;
  double hostQuarterPos = 0.0;
  double barStartQuarter = 0.0;
  int barIndex = 0;
  std::int64_t pulsesEmittedInBar = 0;
  double rawBeatPos = 0.0;
  double rawDownbeat = 0.0;
  long rawSampleOffsetToNextBeat = 0;
  double detectedBeatOffset = 0.0;
  double pendingOffbeatTarget = -1.0;
  std::uint8_t pendingOffbeatNote = 0;
  std::uint8_t pendingOffbeatChannel = 0;
  std::uint8_t pendingOffbeatVelocity = 100;
  double pendingOffbeatTarget2 = -1.0;
  std::uint8_t pendingOffbeatNote2 = 0;
  std::uint8_t pendingOffbeatChannel2 = 0;
  std::uint8_t pendingOffbeatVelocity2 = 100;
  std::array<ActiveNote, kActiveNoteCapacity> activeNotes{};
  int activeNoteCount = 0;
  bool hostPlaying = false;
  bool wasPlaying = false;
  int playEdgeWarmup = 0;
  int currentBarFirstOffset = 0;
  ChordType currentBarFirstChordType = ChordType::majorTriad;
  int currentBarSecondOffset = 0;
  ChordType currentBarSecondChordType = ChordType::majorTriad;
  bool phraseActive = false;
  double phraseEndQ = 0.0;
  SuspensionFlags phraseSuspends;
  std::array<PendingPhraseEvent, kPhraseEventCapacity> phraseEventQueue{};
  int phraseEventCount = 0;
  std::array<int, 8> barOctaveShifts{};
  bool chorusUseMatched = false;
  // A view of a family name inside the catalogue, so that recording it never allocates.
  std::optional<std::string_view> lastFillFamily;
  std::atomic<std::int8_t> forcedFamilyIndex{-1};
  XorShiftRandom rngState;

private:
  // Sends a note-on and tracks its note-off; a full table first ends the note closest to its
  // end. The gate counts from the current frame.
  void startNote(std::int64_t onTime, int note, int velocity, int channel,
                 std::int64_t gate) noexcept;
  void sendAllNotesOff(std::int64_t time) noexcept;
  void send(std::int64_t time, std::uint8_t status, int note, int velocity) noexcept;
  void readHostContext(const ContextHolder& context, bool& contextValid) noexcept;
  void applyParameterEvents(const AURenderEvent* events) noexcept;
  void startTransport(bool contextValid) noexcept;
  double bufferStartPosition(bool contextValid, std::int64_t t0) noexcept;
  void playFrame(double pos, std::int64_t s, std::int64_t t) noexcept;
  void fireQueuedPhraseNotes(double q, std::int64_t t) noexcept;
  void fireOffbeats(double q, std::int64_t t) noexcept;
  void playOffbeats(double pq, int toneCount) noexcept;
  int offbeatNote(std::uint32_t draw, int toneCount) const noexcept;
  int currentChordRoot() const noexcept;
  const Phrase* filterPhrase(SlotTag slot, std::optional<std::string_view> family) noexcept;

  std::shared_ptr<const CatalogIndex> catalog_;
  std::shared_ptr<const std::vector<std::string>> families_;
  BarGeometry geometry_ = BarGeometry::of(4.0, 4);
  // Valid during render: the MIDI output, and the buffer's samples per quarter and short gate.
  const ContextHolder* context_ = nullptr;
  double samplesPerQuarter_ = 22050.0;
  std::int64_t shortGate_ = 11025;
  std::int64_t lastSampleTimeEnd_ = 0;
};
