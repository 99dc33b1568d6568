// Catalogue encoding into insertion-ordered nlohmann-json values.
#include "PallixAU/engine/catalogue/CatalogueEncoding.h"

#include "PallixAU/engine/catalogue/CatalogueSpellings.h"

namespace pallix::engine {

namespace {

using json = nlohmann::ordered_json;

// A value outside its enumeration has no spelling and is written as "", which no decoder
// accepts, rather than as a number that would look valid.
template <typename E> json spellings(const std::vector<E>& values) {
  json result = json::array();
  for (const E value : values)
    result.push_back(spellingOf(value));
  return result;
}

// Bits above the three known flags have no name and are not written.
json flagNames(SuspensionFlags flags) {
  json result = json::array();
  for (std::size_t bit = 0; bit < suspensionFlagNames.size(); ++bit)
    if (flags.contains(SuspensionFlags(static_cast<std::uint8_t>(1u << bit))))
      result.push_back(suspensionFlagNames[bit]);
  return result;
}

} // namespace

json encodePhraseEvent(const PhraseEvent& event) {
  json result = json::object();
  result["t"] = event.timeOffsetPulses;
  result["p"] = event.pitchSemitones;
  result["d"] = event.durationPulses;
  result["vL"] = event.velocityLow;
  result["vH"] = event.velocityHigh;
  result["v"] = spellingOf(event.voiceTag);
  return result;
}

json encodePhrase(const Phrase& phrase) {
  json events = json::array();
  for (const auto& event : phrase.events)
    events.push_back(encodePhraseEvent(event));
  json result = json::object();
  result["slot"] = spellingOf(phrase.slot);
  result["modes"] = spellings(phrase.modes);
  result["tiers"] = spellings(phrase.tiers);
  result["pulsesPerBar"] = phrase.pulsesPerBar;
  result["spacingClasses"] = spellings(phrase.spacingClasses);
  result["suspends"] = flagNames(phrase.suspends);
  result["family"] = phrase.family;
  result["disableMutations"] = spellings(phrase.disableMutations);
  result["events"] = std::move(events);
  return result;
}

json encodeCatalogFile(const CatalogFile& file) {
  json phrases = json::array();
  for (const auto& phrase : file.phrases)
    phrases.push_back(encodePhrase(phrase));
  json result = json::object();
  result["version"] = file.version;
  result["phrases"] = std::move(phrases);
  return result;
}

} // namespace pallix::engine
