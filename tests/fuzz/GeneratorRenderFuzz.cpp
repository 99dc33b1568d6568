// The generator's render block under any host: arbitrary calls, event lists and scheduled MIDI,
// and a host whose tempo, meter, position and transport may be anything. Every message it
// sends must be valid MIDI inside its call, and once the transport stops every note has ended.
#include "tests/fuzz/FuzzHost.h"
#include "tests/fuzz/FuzzTargets.h"
#include "tests/fuzz/FuzzUnits.h"

#include "hosting/HostTimeline.h"

#include <cmath>
#include <limits>

namespace fuzz {

namespace {

constexpr int kMaxOperations = 48;

// Mostly a steady transport, as hosting::HostTimeline answers; the bytes change its tempo,
// meter and position, stop and start it, make it answer nothing, or answer anything at all.
class FuzzedHostClock {
public:
  // A steady transport stays within what a host's timeline can answer; the values no host
  // should give come through the wild answers.
  void configure(FuzzInput& in) {
    tempo_ = 20.0 + static_cast<double>(in.inRange(0, 3800)) / 10.0;
    meter_ = {static_cast<int>(in.inRange(1, 16)), 1 << in.inRange(0, 5)};
    origin_ = static_cast<double>(in.inRange(0, 1 << 16)) / 256.0;
  }

  // The answers for the call at start (-1: a time stamp that pins none), read from the bytes.
  void prepareCall(FuzzInput& in, double sampleRate, std::int64_t start) {
    answers_ = true;
    moving_ = moving_ != (in.byte() >= 232); // a start or a stop
    const std::uint8_t choice = in.byte();
    if (choice >= 248) {
      answers_ = false;
    } else if (choice >= 232) {
      configure(in);
    } else if (choice >= 224) {
      wild_ = true;
      wildPosition_ = {
          in.number(20.0, 400.0), {}, in.number(-1.0, 1e6), in.raw<long>(), in.number(-1.0, 1e6)};
      wildNumerator_ = in.number(1.0, 16.0);
      wildDenominator_ = in.raw<long>();
      return;
    }
    wild_ = false;
    if (start >= 0)
      position_ = hosting::musicalPositionAt(sampleRate, tempo_, meter_, static_cast<double>(start),
                                             origin_);
  }

  bool musicalContext(double* tempo, double* numerator, long* denominator, double* beat,
                      long* toNextBeat, double* downbeat) const {
    if (!answers_)
      return false;
    if (!wild_)
      return hosting::answerMusicalContext(position_, tempo, numerator, denominator, beat,
                                           toNextBeat, downbeat);
    hosting::answerMusicalContext(wildPosition_, tempo, nullptr, nullptr, beat, toNextBeat,
                                  downbeat);
    if (numerator)
      *numerator = wildNumerator_;
    if (denominator)
      *denominator = wildDenominator_;
    return true;
  }

  bool transportState(AUHostTransportStateFlags* flags, double* position, double* cycleStart,
                      double* cycleEnd) const {
    return hosting::answerTransportState(moving_, 0.0, flags, position, cycleStart, cycleEnd);
  }

  // A sane host, stopped, for the call that ends the run.
  void stop() {
    answers_ = true;
    wild_ = false;
    moving_ = false;
    tempo_ = 120.0;
    meter_ = {};
  }

private:
  double tempo_ = 120.0;
  hosting::Meter meter_;
  double origin_ = 0.0;
  bool moving_ = true;
  bool answers_ = true;
  bool wild_ = false;
  hosting::MusicalPosition position_;
  hosting::MusicalPosition wildPosition_;
  double wildNumerator_ = 4.0;
  long wildDenominator_ = 4;
};

} // namespace

Verdict generatorRender(std::span<const std::uint8_t> bytes) {
  FuzzInput in(bytes);
  auto unit = makeGenerator(shippedCatalogues());
  MidiLedger ledger;
  FuzzedHostClock clock;
  clock.configure(in);

  // A host offers each block or not, mostly all of them; the generator reads them when it
  // allocates.
  const auto offerBlocks = [&] {
    const std::uint8_t which = in.byte() >= 224 ? in.byte() : 0;
    unit->setMIDIOutputEventBlock(which & 1 ? AUMIDIOutputEventBlock{} : ledger.outputBlock());
    unit->setMusicalContextBlock(
        which & 2 ? AUHostMusicalContextBlock{}
                  : [&clock](double* t, double* n, long* d, double* b, long* next, double* db) {
                      return clock.musicalContext(t, n, d, b, next, db);
                    });
    unit->setTransportStateBlock(
        which & 4 ? AUHostTransportStateBlock{}
                  : [&clock](AUHostTransportStateFlags* f, double* p, double* s, double* e) {
                      return clock.transportState(f, p, s, e);
                    });
  };
  offerBlocks();
  if (Verdict fault = allocate(*unit, in); !fault.empty())
    return fault;
  HostRenderer host(*unit);
  host.beforeCall = [&](std::int64_t start, AUAudioFrameCount frames) {
    clock.prepareCall(in, unit->outputBusses()[0].format().sampleRate, start);
    ledger.expectCall(start, frames);
  };
  using enum Operation;
  HostSession session{{call, call, call, call, call, scheduleMIDI, setParameter, reallocate},
                      kMaxOperations};
  session.beforeAllocating = offerBlocks;
  // The notes still sounding end with the next render call, through the MIDI output block
  // there is then; without one they cannot.
  session.reallocated = [&] {
    if (!unit->renderResourcesAllocated() || !unit->MIDIOutputEventBlock())
      ledger.forgetOpenNotes();
  };
  session.check = [&ledger] { return ledger.fault(); };
  if (Verdict fault = session.run(*unit, host, in); !fault.empty())
    return fault;

  if (!unit->renderResourcesAllocated() || !unit->transportStateBlock() ||
      !unit->MIDIOutputEventBlock())
    return {};
  host.beforeCall = [&](std::int64_t start, AUAudioFrameCount frames) {
    clock.stop();
    ledger.expectCall(start, frames);
  };
  if (Verdict fault = host.call(1, nullptr); !fault.empty())
    return fault;
  return ledger.verdict();
}

} // namespace fuzz
