// editor-snapshot: draws a unit's editor into a PNG, headless (no display, no window).
#include "PallixAU/editor/KnobsStyleKit.h"
#include "PallixAU/editor/PallixAUViewControllerMac.h"
#include "PallixAU/unit/PallixAudioUnit.h"
#include "QuorvaneAU/editor/KnobsStyleKit.h"
#include "QuorvaneAU/editor/QuorvaneAUViewControllerMac.h"
#include "QuorvaneAU/unit/QuorvaneAudioUnit.h"
#include "hosting/CommandLine.h"
#include "hosting/ToolMain.h"
#include "hosting/media/ReplacingOutputFile.h"
#include "platform/toolkit/EditorWithPresets.h"
#include "tools/common/UnitSetup.h"
#include "tools/editor-snapshot/SnapshotOptions.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>

namespace tools {
namespace {

constexpr const char* kTool = "editor-snapshot";

template <class Unit>
std::shared_ptr<Unit> makeUnit(const SnapshotOptions& options, const char* presetFolder) {
  std::shared_ptr<const FactoryPresetCatalogue> presets;
  if (options.resources)
    presets = std::make_shared<const FactoryPresetCatalogue>(
        foundation::Bundle::withResourcesFolder(*options.resources), presetFolder);
  auto created = AUAudioUnit::create<Unit>(Unit::kDescription, 0, presets);
  if (!created)
    throw std::runtime_error("cannot create the unit: " + created.error().localizedDescription());
  std::shared_ptr<Unit> unit = std::move(created).value();
  applyUnitOptions(*unit, options);
  return unit;
}

// As Component::createComponentSnapshot draws, but an image that cannot be allocated, or that
// exceeds the bound, is an error rather than a null pixel buffer painted into.
juce::Image snapshotOf(juce::Component& component, double scale) {
  const auto points = [&](int side) {
    return static_cast<float>(scale) * static_cast<float>(side);
  };
  const int width = juce::roundToInt(points(component.getWidth()));
  const int height = juce::roundToInt(points(component.getHeight()));
  if (static_cast<double>(width) * height > SnapshotOptions::kMaximumPixels)
    throw hosting::UsageError("a " + std::to_string(width) + "x" + std::to_string(height) +
                              " picture has more pixels than 8192x8192; lower --size or --scale");
  juce::Image image(component.isOpaque() ? juce::Image::RGB : juce::Image::ARGB, width, height,
                    true);
  if (juce::Image::BitmapData(image, juce::Image::BitmapData::readOnly).data == nullptr)
    throw std::runtime_error("not enough memory for a " + std::to_string(width) + "x" +
                             std::to_string(height) + " picture");
  juce::Graphics g(image);
  if (width != component.getWidth() || height != component.getHeight())
    g.addTransform(juce::AffineTransform::scale(
        static_cast<float>(width) / static_cast<float>(component.getWidth()),
        static_cast<float>(height) / static_cast<float>(component.getHeight())));
  component.paintEntireComponent(g, true);
  return image;
}

// The editor showing unit, alone or under its preset bar, as the options say.
template <class Editor, class Unit>
std::unique_ptr<juce::Component> makeEditor(const SnapshotOptions& options,
                                            std::shared_ptr<Unit> unit, juce::Colour barColour) {
  std::unique_ptr<juce::Component> shown;
  toolkit::AUViewController* editor = nullptr;
  if (options.presetBar) {
    auto withBar = toolkit::makeEditorWithPresets<Editor>(
        options.userPresets ? std::optional<std::filesystem::path>(*options.userPresets)
                            : std::nullopt,
        std::string(Unit::kStateKey), barColour);
    withBar->setAudioUnit(unit);
    editor = &withBar->editor();
    shown = std::move(withBar);
  } else {
    auto alone = std::make_unique<Editor>();
    alone->setAudioUnit(unit);
    editor = alone.get();
    shown = std::move(alone);
  }
  if (options.showValue) {
    const auto parameter = unit->parameterTree()->parameterWithIdentifier(*options.showValue);
    auto* knob = parameter ? editor->knobOf(parameter->address()) : nullptr;
    if (!knob)
      throw hosting::UsageError("--show-value: " + hosting::inQuotes(*options.showValue) +
                                " has no knob in this editor");
    knob->setValueShown(true);
  }
  return shown;
}

void openTuningMenu(juce::Component& shown) {
  auto* editor = dynamic_cast<quorvane::editor::QuorvaneAUViewControllerMac*>(&shown);
  if (auto* withBar = dynamic_cast<toolkit::EditorWithPresets*>(&shown))
    editor = dynamic_cast<quorvane::editor::QuorvaneAUViewControllerMac*>(&withBar->editor());
  if (!editor)
    throw hosting::UsageError("--open-tuning-menu: only the synthesiser has a tuning menu");
  editor->tuning().showMenu();
}

int run(int argc, const char* const* argv) {
  const SnapshotOptions options = parseSnapshotOptions(argc, argv);
  if (options.request == hosting::CommandLineRequest::help) {
    std::cout << snapshotUsage();
    return 0;
  }
  if (options.request == hosting::CommandLineRequest::version) {
    std::cout << hosting::versionLine("editor-snapshot");
    return 0;
  }
  hosting::ReplacingOutputFile output(options.output);
  juce::ScopedJuceInitialiser_GUI gui; // the message manager; no display is opened

  if (options.resources) {
    const auto resources = foundation::Bundle::withResourcesFolder(*options.resources);
    quorvane::editor::KnobsStyleKit::useBundles({resources});
    pallix::editor::KnobsStyleKit::useBundles({resources});
  }
  std::unique_ptr<juce::Component> editor;
  if (options.unit == SnapshotUnit::quorvane)
    editor = makeEditor<quorvane::editor::QuorvaneAUViewControllerMac>(
        options, makeUnit<quorvane::unit::QuorvaneAudioUnit>(options, "presets"),
        quorvane::editor::kPresetBarColour);
  else
    editor = makeEditor<pallix::editor::PallixAUViewControllerMac>(
        options, makeUnit<pallix::unit::PallixAudioUnit>(options, "pallix-presets"),
        pallix::editor::kPresetBarColour);
  if (options.width)
    editor->setSize(*options.width, *options.height);
  if (options.openMenu)
    static_cast<toolkit::EditorWithPresets&>(*editor).bar().showMenu();
  if (options.openTuningMenu)
    openTuningMenu(*editor);

  const juce::Image image = snapshotOf(*editor, options.scale);
  editor.reset();
  juce::PNGImageFormat png;
  if (!png.writeImageToStream(image, output.stream()))
    output.failWrite(&output.stream());
  if (!output.commit())
    return hosting::reportWriteFailure(kTool, options.output, output.failure());
  return 0;
}

} // namespace
} // namespace tools

int main(int argc, char** argv) {
  return hosting::runTool(tools::kTool, [&] { return tools::run(argc, argv); });
}
