// Tests of the catalogue model, its decoding (defaults, failures and their paths) and encoding.
#include "PallixAU/engine/catalogue/CatalogueDecoding.h"
#include "PallixAU/engine/catalogue/CatalogueEncoding.h"

#include <gtest/gtest.h>

namespace engine = pallix::engine;

namespace {

using json = nlohmann::json;

json catalogue(int phraseCount = 1) {
  const json phrase = json::parse(R"({"slot": "fillBar4", "pulsesPerBar": 4, "suspends": [],
    "family": "shuffle", "events": [{"t": 0.5, "p": 7, "d": 1, "vL": 80, "vH": 100, "v": "melody"}]})");
  return {{"version", 4}, {"phrases", std::vector(phraseCount, phrase)}};
}

engine::CatalogueDecodeResult decodeText(std::string_view text) {
  return engine::decodeCatalogFile(
      {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

// The error description, or "decoded".
std::string failure(const json& document) {
  const auto result = decodeText(document.dump());
  return result.file ? "decoded" : result.error.description();
}

engine::Phrase onlyPhrase(const json& document) {
  const auto result = decodeText(document.dump());
  EXPECT_TRUE(result.file) << result.error.description();
  return result.file ? result.file->phrases.at(0) : engine::Phrase{};
}

} // namespace

TEST(CatalogueDecoding, TakesTheDefaultsAndWhatTheFormatAllows) {
  const engine::Phrase minimal = onlyPhrase(catalogue());
  EXPECT_EQ(minimal.modes, (std::vector{engine::Mode::major, engine::Mode::minor}));
  EXPECT_EQ(minimal.tiers,
            (std::vector{engine::Tier::basic, engine::Tier::quickFour, engine::Tier::jazz}));
  EXPECT_EQ(minimal.spacingClasses,
            (std::vector{engine::PulseSpacingClass::simple, engine::PulseSpacingClass::compound}));
  EXPECT_TRUE(minimal.disableMutations.empty());
  EXPECT_EQ(minimal.events.at(0),
            (engine::PhraseEvent{0.5, 7, 1.0, 80, 100, engine::VoiceTag::melody}));
  for (const json& empty : {json::array(), json()}) {
    json document = catalogue();
    for (const char* key : {"modes", "tiers", "spacingClasses", "disableMutations"})
      document["phrases"][0][key] = empty;
    EXPECT_EQ(onlyPhrase(document), minimal) << empty;
  }

  json document = catalogue();
  document["comment"] = {{"nested", {1, {{"deep", true}}}}}; // unknown keys at every level
  document["phrases"][0].update(json::parse(R"({"modes": ["minor", "minor"], "tiers": ["jazz"],
    "spacingClasses": ["compound"], "disableMutations": ["graceNote"], "author": "me",
    "suspends": ["offbeats", "bass", "bass"]})"));
  document["phrases"][0]["events"][0].update(
      json::parse(R"({"p": -5, "vL": 255, "vH": 0, "d": 2.0, "gate": "legato"})"));
  const engine::Phrase phrase = onlyPhrase(document);
  EXPECT_EQ(phrase.modes, (std::vector{engine::Mode::minor, engine::Mode::minor})); // repeats kept
  EXPECT_EQ(phrase.tiers, std::vector{engine::Tier::jazz});
  EXPECT_EQ(phrase.spacingClasses, std::vector{engine::PulseSpacingClass::compound});
  EXPECT_TRUE(phrase.disables(engine::MutationKind::graceNote));
  EXPECT_FALSE(phrase.disables(engine::MutationKind::drop));
  EXPECT_EQ(phrase.suspends.rawValue, 5);
  // A velocity range upside down is the selector's concern, not the decoder's.
  EXPECT_EQ(phrase.events[0],
            (engine::PhraseEvent{0.5, -5, 2.0, 255, 0, engine::VoiceTag::melody}));
}

TEST(CatalogueDecoding, TheFirstBadFieldSinksTheWholeFileAndIsNamed) {
  const struct {
    const char* pointer;
    json value;
    const char* description;
  } cases[] = {
      {"/phrases/3/events/0/vL", 300, "phrases[3].events[0].vL: 300 is out of range 0 to 255"},
      {"/phrases/3/events/0/vH", -1, "phrases[3].events[0].vH: -1 is out of range 0 to 255"},
      {"/phrases/3/events/0/p", 2.5, "phrases[3].events[0].p: 2.5 is not a whole number"},
      {"/phrases/3/events/0/p", 3000000000,
       "phrases[3].events[0].p: 3000000000 is out of range -2147483648 to 2147483647"},
      {"/phrases/3/events/0/t", "1", "phrases[3].events[0].t: expected a number, found string"},
      {"/phrases/3/events/0/v", "drums", "phrases[3].events[0].v: unknown voice tag drums"},
      {"/phrases/3/suspends",
       {"bass", "swing"},
       "phrases[3].suspends[1]: unknown suspension flag swing"},
      {"/phrases/3/modes", {"major", "dorian"}, "phrases[3].modes[1]: unknown mode dorian"},
      {"/phrases/3/slot", "fillBar9", "phrases[3].slot: unknown slot tag fillBar9"},
      {"/phrases/3/family", 7, "phrases[3].family: expected a string, found number"},
      {"/phrases/3/events", json::object(), "phrases[3].events: expected an array, found object"},
      {"/version", true, "version: expected a whole number, found boolean"},
  };
  for (const auto& c : cases) {
    json document = catalogue(4);
    document[json::json_pointer(c.pointer)] = c.value;
    EXPECT_EQ(failure(document), c.description);
  }
  for (const char* key : {"slot", "pulsesPerBar", "suspends", "family", "events"}) {
    json document = catalogue(2);
    document["phrases"][1].erase(key);
    EXPECT_EQ(failure(document), "phrases[1]." + std::string(key) + ": required key missing");
  }
  json document = catalogue();
  document["phrases"][0]["events"][0].erase("vH");
  EXPECT_EQ(failure(document), "phrases[0].events[0].vH: required key missing");
}

TEST(CatalogueDecoding, MalformedDocumentsFailAsAWhole) {
  const auto syntax = decodeText(R"({"version": 4, "phrases": [})");
  EXPECT_FALSE(syntax.file);
  EXPECT_EQ(syntax.error.path, "");
  EXPECT_TRUE(syntax.error.reason.starts_with("parse error at line 1, column 28: syntax error"))
      << syntax.error.reason;
  EXPECT_TRUE(decodeText("").error.reason.starts_with("parse error at line 1, column 1"));
  EXPECT_EQ(decodeText("[]").error.description(), "expected an object, found array");
  EXPECT_EQ(decodeText(R"({"version": 1e400})").error.reason, "number overflow parsing '1e400'");
  EXPECT_FALSE(decodeText("{\"version\": 4, \"phrases\": [], \"x\": \"\xC3\x28\"}").file);

  // The document's own object is the first level: 256 levels pass, 257 do not.
  const auto nested = [](int levels) {
    return R"({"version": 4, "phrases": [], "x": )" + std::string(levels - 1, '[') +
           std::string(levels - 1, ']') + "}";
  };
  EXPECT_TRUE(decodeText(nested(256)).file);
  EXPECT_EQ(decodeText(nested(257)).error.description(), "nested deeper than 256 levels");
  EXPECT_EQ(decodeText(std::string(1000000, '[')).error.description(),
            "nested deeper than 256 levels");
}

TEST(CatalogueEncoding, WritesEveryKeyInOrderAndDecodesBackUnchanged) {
  engine::Phrase phrase;
  phrase.slot = engine::SlotTag::fillBar7to8;
  phrase.modes = {engine::Mode::minor};
  phrase.pulsesPerBar = 3;
  phrase.suspends = engine::SuspensionFlags::offbeats | engine::SuspensionFlags::bass;
  phrase.family = "slow burn";
  phrase.disableMutations = {engine::MutationKind::graceNote};
  phrase.events = {{1.5, -5, 0.25, 70, 110, engine::VoiceTag::chordStab}, {0.1, 12, 3, 0, 255, {}}};
  const engine::CatalogFile file{4, {phrase, engine::Phrase{}}};

  EXPECT_EQ(
      engine::encodePhrase(phrase).dump(),
      R"({"slot":"fillBar7to8","modes":["minor"],"tiers":["basic","quickFour","jazz"],)"
      R"("pulsesPerBar":3,"spacingClasses":["simple","compound"],)"
      R"("suspends":["bass","offbeats"],"family":"slow burn","disableMutations":["graceNote"],)"
      R"("events":[{"t":1.5,"p":-5,"d":0.25,"vL":70,"vH":110,"v":"chordStab"},)"
      R"({"t":0.1,"p":12,"d":3.0,"vL":0,"vH":255,"v":"bass"}]})");
  const auto decoded = decodeText(engine::encodeCatalogFile(file).dump(2));
  ASSERT_TRUE(decoded.file) << decoded.error.description();
  EXPECT_EQ(*decoded.file, file);
}
