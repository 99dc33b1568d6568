// quorvane: the standalone host. This build renders its graph offline (--render); the window
// comes with the app's views.
#include "Quorvane/headless/HeadlessOptions.h"
#include "Quorvane/headless/HeadlessRender.h"
#include "hosting/CommandLine.h"
#include "hosting/ToolMain.h"

#include <iostream>

namespace app {
namespace {

constexpr const char* kApp = "quorvane";

int run(int argc, const char* const* argv) {
  const HeadlessOptions options = parseHeadlessOptions(argc, argv);
  if (options.showHelp) {
    std::cout << headlessUsage();
    return 0;
  }
  if (!options.render)
    throw hosting::UsageError(
        "this build has no window yet; render with --render FILE.wav (see --help)");
  return renderHeadless(options, kApp);
}

} // namespace
} // namespace app

int main(int argc, char** argv) {
  return hosting::runTool(app::kApp, [&] { return app::run(argc, argv); });
}
