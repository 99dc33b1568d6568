// Property lists of any bytes, XML or binary: reading never fails but by its error; what is
// read writes as XML that reads back and writes the same again; and as the saved state of
// either unit it leaves a unit that saves a readable state and plays cleanly.
#include "tests/fuzz/FuzzTargets.h"
#include "tests/fuzz/FuzzUnits.h"
#include "tests/fuzz/SteadyPlay.h"

#include "platform/foundation/PropertyList.h"

#include <string>

namespace fuzz {

namespace {

using foundation::PropertyList;

std::span<const std::uint8_t> bytesOf(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// What a unit saves after taking the state is a property list that reads back.
Verdict savesReadableState(const AUAudioUnit& unit, const char* which) {
  const auto saved = unit.fullState();
  if (!saved)
    return std::string(which) + " saves no state";
  if (const auto reread = PropertyList::read(bytesOf(saved->toXML())); !reread.value)
    return std::string(which) + "'s saved state does not read back: " + reread.error;
  return {};
}

} // namespace

Verdict unitState(std::span<const std::uint8_t> bytes) {
  const PropertyList::ReadResult read = PropertyList::read(bytes);
  if (!read.value) {
    if (read.error.empty())
      return "a refused property list without a reason";
    return {};
  }
  const std::string xml = read.value->toXML();
  const PropertyList::ReadResult reread = PropertyList::read(bytesOf(xml));
  if (!reread.value)
    return "what was read writes as XML that does not read back: " + reread.error;
  if (reread.value->toXML() != xml)
    return "what was read, written and read back writes differently";

  SteadyPlay play;
  play.frames = 4096;
  auto synth = makeSeededSynth();
  synth->setFullState(*read.value);
  if (Verdict fault = savesReadableState(*synth, "the synthesiser"); !fault.empty())
    return fault;
  // A tuning it took travels on in what it saves.
  if (synth->tuning() &&
      !synth->fullState()->find(quorvane::unit::QuorvaneAudioUnit::kTuningScaleKey))
    return "the synthesiser took a tuning its saved state leaves out";
  if (Verdict fault = playSynth(*synth, play); !fault.empty())
    return "the synthesiser with this state: " + fault;

  auto generator = makeGenerator(shippedCatalogues());
  generator->setFullState(*read.value);
  if (Verdict fault = savesReadableState(*generator, "the generator"); !fault.empty())
    return fault;
  play.frames = 16000; // the warm-up, then a few bars
  if (Verdict fault = playGenerator(*generator, play); !fault.empty())
    return "the generator with this state: " + fault;
  return {};
}

} // namespace fuzz
