// lv2-describe PLUGIN BUNDLE RESOURCES BINARY [--ui UI_BINARY]: writes the bundle's
// manifest.ttl, PLUGIN.ttl and presets.ttl, from the plug-in's definition and what its unit,
// made with the factory presets of RESOURCES, says of its values; with --ui, the bundle's
// editor too. Run by the build; no network, nothing but these files.
#include "plugins/lv2/describe/Description.h"
#include "plugins/lv2/pallix/PallixDefinition.h"
#include "plugins/lv2/quorvane/QuorvaneDefinition.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string_view>

namespace {

using namespace plugins::lv2;

// Every parameter's value, by address.
std::vector<float> valuesOf(const PluginDefinition& definition, AUAudioUnit& unit) {
  std::vector<float> values;
  const auto tree = unit.parameterTree();
  for (std::uint64_t address = 0; address < definition.parameters.size(); ++address) {
    const auto parameter = tree ? tree->parameterWithAddress(address) : nullptr;
    if (!parameter)
      throw std::runtime_error("the unit has no parameter at address " + std::to_string(address));
    values.push_back(foundation::withinRange(*definition.row(address), parameter->value()));
  }
  return values;
}

void write(const std::filesystem::path& file, const std::string& text) {
  const auto temporary = std::filesystem::path(file) += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary);
    out << text;
    if (!out.flush())
      throw std::runtime_error("cannot write " + temporary.string());
  }
  std::filesystem::rename(temporary, file);
}

int describe(const PluginDefinition& definition, const std::filesystem::path& bundle,
             const std::filesystem::path& resources, const std::string& binary,
             const std::string& uiBinary) {
  const auto presets = std::make_shared<const FactoryPresetCatalogue>(
      foundation::Bundle::withResourcesFolder(resources), definition.presetFolder);
  const auto unit = definition.make(presets);
  if (!unit)
    throw std::runtime_error("cannot make the unit of " + std::string(definition.uri));
  // A new unit has loaded its first factory preset: hosts set the ports to these values.
  const std::vector<float> defaults = valuesOf(definition, *unit);
  std::vector<DescribedPreset> described;
  for (const AUAudioUnitPreset& preset : unit->factoryPresets()) {
    unit->setCurrentPreset(preset);
    described.push_back({preset.name, valuesOf(definition, *unit)});
  }
  if (described.size() != presets->entries().size())
    throw std::runtime_error("the unit does not offer every preset of " + resources.string());
  const std::string name(definition.name);
  std::filesystem::create_directories(bundle);
  write(bundle / "manifest.ttl",
        manifestTurtle(definition, binary, name + ".ttl", described, "presets.ttl", uiBinary));
  write(bundle / (name + ".ttl"), pluginTurtle(definition, defaults, !uiBinary.empty()));
  write(bundle / "presets.ttl", presetsTurtle(definition, described));
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  const bool withUi = argc == 7 && std::string_view(argv[5]) == "--ui" && argv[6][0] != '\0';
  if (argc != 5 && !withUi) {
    std::cerr << "usage: lv2-describe quorvane|pallix BUNDLE RESOURCES BINARY [--ui UI_BINARY]\n";
    return 2;
  }
  const std::string_view plugin = argv[1];
  const PluginDefinition* definition = plugin == "quorvane" ? &kQuorvaneDefinition
                                       : plugin == "pallix" ? &kPallixDefinition
                                                            : nullptr;
  if (!definition) {
    std::cerr << "lv2-describe: no plug-in " << plugin << "\n";
    return 2;
  }
  try {
    return describe(*definition, argv[2], argv[3], argv[4], withUi ? argv[6] : "");
  } catch (const std::exception& failure) {
    std::cerr << "lv2-describe: " << failure.what() << "\n";
    return 1;
  }
}
