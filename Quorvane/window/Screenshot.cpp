// Drawing the main window headless.
#include "Quorvane/window/Screenshot.h"

#include "Quorvane/window/HostViewController.h"
#include "QuorvaneAU/editor/KnobsStyleKit.h"
#include "hosting/CommandLine.h"
#include "hosting/ToolMain.h"
#include "hosting/media/ReplacingOutputFile.h"
#include "platform/audiounit/OfflineAudioOutput.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <iostream>

namespace juce {
// JUCE's own step of its message loop (juce_linux_Messaging.cpp), which no header declares.
bool dispatchNextMessageOnSystemQueue(bool returnIfNoPendingMessages);
} // namespace juce

namespace app {

namespace {

constexpr double kSampleRate = 44100.0;

// Runs messages until done holds, then what is already queued behind (the editor's first sync).
template <class Predicate> void runMessagesUntil(Predicate done) {
  while (!done())
    juce::dispatchNextMessageOnSystemQueue(false);
  auto drained = std::make_shared<bool>(false);
  juce::MessageManager::callAsync([drained] { *drained = true; });
  while (!*drained)
    juce::dispatchNextMessageOnSystemQueue(false);
}

} // namespace

int writeScreenshot(const HeadlessOptions& options, std::string_view tool) {
  if (options.helpPage)
    return hosting::reportError(tool, "this build has no help window yet", hosting::kFailureStatus);
  hosting::ReplacingOutputFile output(*options.screenshot);
  juce::ScopedJuceInitialiser_GUI gui; // the message manager; no display is opened
  struct ArtworkRelease {
    ~ArtworkRelease() { quorvane::editor::KnobsStyleKit::releaseLibrary(); }
  } artworkRelease; // before JUCE shuts down

  HostViewController::Options host;
  host.output = std::make_shared<OfflineAudioOutput>(AudioFormat::standard(kSampleRate, 2));
  host.out = &std::cout;
  host.units.userCatalogues = false;
  auto view = std::make_unique<HostViewController>(std::move(host));
  view->setSize(options.width, options.height);
  runMessagesUntil([&] { return view->controller().unitsSettled() == 2; });
  std::cout.flush();

  const juce::Image image = view->createComponentSnapshot(view->getLocalBounds(), true, 1.0f);
  view.reset();
  juce::PNGImageFormat png;
  if (!png.writeImageToStream(image, output.stream()) || !output.commit())
    return hosting::reportError(tool, "cannot write " + hosting::inQuotes(*options.screenshot),
                                hosting::kFailureStatus);
  return 0;
}

} // namespace app
