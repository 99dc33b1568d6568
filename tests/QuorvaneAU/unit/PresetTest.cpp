// The synthesiser unit's factory presets, saved state, and bad preset files.
#include "UnitTestSupport.h"

#include <plist/plist.h>

namespace {

using Dictionary = foundation::PropertyList::Dictionary;
using P = quorvane::dsp::QuorvaneParameter;

std::string toBinary(const foundation::PropertyList& plist) {
  const std::string xml = plist.toXML();
  plist_t node = nullptr;
  plist_from_xml(xml.data(), std::uint32_t(xml.size()), &node);
  char* bytes = nullptr;
  std::uint32_t length = 0;
  plist_to_bin(node, &bytes, &length);
  std::string result(bytes, length);
  std::free(bytes);
  plist_free(node);
  return result;
}

std::vector<AUValue> defaultsWith(P parameter, AUValue value) {
  return withValue(kInitialValues, address(parameter), value);
}

} // namespace

TEST(FactoryPresets, OrderedNaturallyNamedWithoutTheNumberAndPresetZeroLoaded) {
  PresetFolder folder;
  folder.writeXML("10-Lead.aupreset", stateWith(Dictionary{{"shape", 0.1}}));
  folder.writeXML("2-Pad.aupreset", stateWith(Dictionary{{"shape", 0.9}, {"drive", 4}}));
  folder.writeXML("Bass-1.aupreset", stateWith(Dictionary{}));
  folder.write("readme.txt", "not a preset");
  folder.writeXML(".9-Hidden.aupreset", stateWith(Dictionary{}));
  auto unit = makeSynth(folder.path);
  EXPECT_EQ(unit->factoryPresets(),
            (std::vector<AUAudioUnitPreset>{{0, "Pad"}, {1, "Lead"}, {2, "Bass-1"}}));
  EXPECT_EQ(unit->currentPreset(), (AUAudioUnitPreset{0, "Pad"}));
  std::vector<AUValue> pad = defaultsWith(P::shape, 0.9f);
  pad[address(P::drive)] = 4;
  EXPECT_EQ(values(*unit), pad);
  EXPECT_EQ(*unit->fullState()->find("name")->string(), "Pad");

  // Another number loads that file, and what it leaves out returns to the initial value.
  unit->setCurrentPreset(AUAudioUnitPreset{1, "ignored"});
  EXPECT_EQ(values(*unit), defaultsWith(P::shape, 0.1f));
  // User presets and unknown numbers are only stored, whatever their names.
  const auto before = scramble(*unit);
  for (const AUAudioUnitPreset& preset : {AUAudioUnitPreset{-1, "Pad"}, {3, "Lead"}}) {
    unit->setCurrentPreset(preset);
    EXPECT_EQ(values(*unit), before);
    EXPECT_EQ(unit->currentPreset(), preset);
  }
}

TEST(FactoryPresets, OnlyADigitsPrefixIsHidden) {
  PresetFolder folder;
  for (const char* name : {"-Odd.aupreset", "01-Warm Pad.AUPRESET", "7- Spaced.aupreset",
                           "1a-Mixed.aupreset", "3-4-Five.aupreset"})
    folder.writeXML(name, stateWith(Dictionary{}));
  std::vector<std::string> names;
  for (const auto& preset : makeSynth(folder.path)->factoryPresets())
    names.push_back(preset.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{" Spaced", "-Odd", "1a-Mixed", "4-Five", "Warm Pad"}));
}

TEST(SavedState, AFreshUnitWithoutPresetsIsUntitledAndHoldsEveryInitialValue) {
  PresetFolder folder;
  auto unit = makeSynth(folder.path / "nowhere");
  EXPECT_TRUE(unit->factoryPresets().empty());
  const foundation::PropertyList state = *unit->fullState();
  EXPECT_EQ(state.find("subtype")->integer(), 0x51727649); // QrvI
  EXPECT_EQ(*state.find("name")->string(), "Untitled");
  const foundation::PropertyList& params = *state.find("quorvaneParams");
  ASSERT_EQ(params.dictionary()->size(), quorvane::dsp::kQuorvaneParameterCount);
  for (const auto& row : quorvane::dsp::kQuorvaneParameters)
    EXPECT_EQ(params.find(row.identifier)->real(), double(row.defaultValue)) << row.identifier;
}

TEST(SavedState, ARoundTripThroughXMLRestoresEveryValue) {
  auto unit = makeSynth();
  const auto& parameters = unit->parameterTree()->allParameters();
  for (std::size_t i = 0; i < parameters.size(); ++i)
    parameters[i]->setValue(parameters[i]->minValue() + 0.1234567f * float(i % 7 + 1));
  const auto saved = values(*unit);
  const std::string xml = unit->fullStateForDocument()->toXML();
  unit->setFullState(stateWith(Dictionary{}));
  ASSERT_EQ(values(*unit), kInitialValues);
  const auto read = foundation::PropertyList::read(
      {reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size()});
  unit->setFullStateForDocument(read.value);
  EXPECT_EQ(values(*unit), saved);
  EXPECT_FALSE(unit->currentPreset()); // applying a state picks no preset
}

TEST(SavedState, ApplyingSetsEveryParameterFromTheDictionaryOrItsDefault) {
  auto unit = makeSynth();
  const struct {
    foundation::PropertyList state;
    std::vector<AUValue> expected;
  } cases[] = {
      {foundation::PropertyList(Dictionary{{"name", "no parameters"}}), kInitialValues},
      {stateWith(Dictionary{{"shape", 0.2}}), defaultsWith(P::shape, 0.2f)},
      // States from before the bend range had one play with ±2, the default.
      {stateWith(Dictionary{{"bendRange", 12}}), defaultsWith(P::bendRange, 12)},
      {stateWith(Dictionary{{"drive", 50}, {"noSuchParameter", 1}}), defaultsWith(P::drive, 10)},
      // One value that is not a number spoils the whole dictionary.
      {stateWith(Dictionary{{"shape", 0.2}, {"drive", "loud"}}), kInitialValues},
      {stateWith(Dictionary{{"shape", true}}), kInitialValues},
      {stateWith(foundation::PropertyList::Array{foundation::PropertyList(0.2)}), kInitialValues},
  };
  for (const auto& c : cases) {
    scramble(*unit);
    unit->setFullState(c.state);
    EXPECT_EQ(values(*unit), c.expected) << c.state.toXML();
  }
  const auto before = scramble(*unit);
  unit->setFullState(std::nullopt);
  EXPECT_EQ(values(*unit), before);
}

TEST(SavedState, BadPresetFilesNeverCrashAndChangeNothingUnlessTheyAreDictionaries) {
  PresetFolder folder;
  const foundation::PropertyList good = stateWith(Dictionary{{"shape", 0.7}});
  const std::string xml = good.toXML(), binary = toBinary(good);
  ASSERT_EQ(binary.substr(0, 6), "bplist");
  std::string huge = xml.substr(0, xml.find("<dict>")) + "<dict><key>pad</key><string>";
  huge.resize(20 << 20, 'x'); // never closed
  // The leading numbers give the preset numbers 0 ... 6. Unreadable bytes of every kind are the
  // property list's tests' concern: here two stand for them all.
  const std::vector<std::pair<std::string, std::string>> files = {
      {"binary truncated", binary.substr(0, binary.size() - 12)},
      {"not a plist", "hello, world"},
      {"binary array", toBinary(foundation::PropertyList(foundation::PropertyList::Array{good}))},
      {"huge", huge},
      {"xml", xml},
      {"binary", binary},
      {"wrong type", stateWith("0.7").toXML()},
  };
  for (std::size_t i = 0; i < files.size(); ++i)
    folder.write(std::to_string(i) + "-" + files[i].first + ".aupreset", files[i].second);
  auto unit = makeSynth(folder.path); // preset 0 is unreadable
  ASSERT_EQ(unit->factoryPresets().size(), files.size());
  EXPECT_EQ(values(*unit), kInitialValues);
  for (long n = 0; n < long(files.size()); ++n) {
    const auto before = scramble(*unit);
    unit->setCurrentPreset(AUAudioUnitPreset{n, files[std::size_t(n)].first});
    const std::vector<AUValue> expected = n < 4   ? before
                                          : n < 6 ? defaultsWith(P::shape, 0.7f)
                                                  : kInitialValues;
    EXPECT_EQ(values(*unit), expected) << files[std::size_t(n)].first;
  }
}
