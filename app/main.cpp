// quorvane: the standalone host. With a display, the window; --render, --screenshot and
// --list-devices work without one.
#include "app/AppOptions.h"
#include "app/device/AudioDeviceChoice.h"
#include "app/headless/HeadlessRender.h"
#include "app/window/AppDelegate.h"
#include "app/window/Screenshot.h"
#include "hosting/CommandLine.h"
#include "hosting/ToolMain.h"

#include <cstdlib>
#include <iostream>

namespace app {
namespace {

constexpr const char* kApp = "quorvane";

bool hasDisplay() {
  const char* display = std::getenv("DISPLAY");
  return display != nullptr && display[0] != '\0';
}

juce::JUCEApplicationBase* createAppDelegate() { return new AppDelegate(); }

int listDevices() {
  juce::ScopedJuceInitialiser_GUI juce;
  juce::AudioDeviceManager manager;
  app::listDevices(manager, std::cout);
  return 0;
}

int run(int argc, char** argv) {
  const AppOptions options = parseAppOptions(argc, argv);
  if (options.request == hosting::CommandLineRequest::help) {
    std::cout << appUsage();
    return 0;
  }
  if (options.request == hosting::CommandLineRequest::version) {
    std::cout << hosting::versionLine("quorvane");
    return 0;
  }
  if (options.render)
    return renderHeadless(options, kApp);
  if (options.screenshot)
    return writeScreenshot(options, kApp);
  if (options.listDevices)
    return listDevices();
  if (!hasDisplay())
    throw hosting::UsageError("no display (DISPLAY is not set): the window needs X11; render "
                              "the demo with --render FILE.wav --demo (see --help)");
  AppDelegate::setLaunchOptions(options);
  juce::JUCEApplicationBase::createInstance = &createAppDelegate;
  return juce::JUCEApplicationBase::main(argc, const_cast<const char**>(argv));
}

} // namespace
} // namespace app

int main(int argc, char** argv) {
  return hosting::runTool(app::kApp, [&] { return app::run(argc, argv); });
}
