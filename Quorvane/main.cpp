// quorvane: the standalone host. This build renders its graph offline (--render); the window
// comes with the app's views.
#include "Quorvane/HeadlessOptions.h"
#include "Quorvane/HeadlessRender.h"
#include "tools/common/CommandLine.h"
#include "tools/common/ToolMain.h"

#include <iostream>

namespace {

constexpr const char* kApp = "quorvane";

int run(int argc, const char* const* argv) {
  const HeadlessOptions options = parseHeadlessOptions(argc, argv);
  if (options.showHelp) {
    std::cout << headlessUsage();
    return 0;
  }
  if (!options.render)
    throw UsageError("this build has no window yet; render with --render FILE.wav (see --help)");
  return renderHeadless(options, kApp);
}

} // namespace

int main(int argc, char** argv) {
  return runTool(kApp, [&] { return run(argc, argv); });
}
