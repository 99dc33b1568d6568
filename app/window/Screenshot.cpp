// Drawing the main window, or a page of the help window, headless.
#include "app/window/Screenshot.h"

#include "QuorvaneAU/editor/KnobsStyleKit.h"
#include "app/window/HelpWindowController.h"
#include "app/window/HostViewController.h"
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

// The main window's content once both units are in (offline output, no sound card).
juce::Image drawMainWindow(const AppOptions& options) {
  HostViewController::Options host;
  host.output = std::make_shared<OfflineAudioOutput>(AudioFormat::standard(kSampleRate, 2));
  host.out = &std::cout;
  host.units.userCatalogues = false;
  auto view = std::make_unique<HostViewController>(std::move(host));
  view->setSize(options.width, options.height);
  runMessagesUntil([&] { return view->controller().unitsSettled() == 2; });
  std::cout.flush();
  return view->createComponentSnapshot(view->getLocalBounds(), true, 1.0f);
}

juce::Image drawHelpPage(const AppOptions& options) {
  HelpContentView help;
  help.setSize(options.sizeGiven ? options.width : HelpWindowController::kWidth,
               options.sizeGiven ? options.height : HelpWindowController::kHeight);
  help.selectSegment(*options.helpPage);
  return help.createComponentSnapshot(help.getLocalBounds(), true, 1.0f);
}

} // namespace

int writeScreenshot(const AppOptions& options, std::string_view tool) {
  hosting::ReplacingOutputFile output(*options.screenshot);
  juce::ScopedJuceInitialiser_GUI gui; // the message manager; no display is opened

  const juce::Image image = options.helpPage ? drawHelpPage(options) : drawMainWindow(options);
  juce::PNGImageFormat png;
  if (!png.writeImageToStream(image, output.stream()))
    output.failWrite(&output.stream());
  if (!output.commit())
    return hosting::reportWriteFailure(tool, *options.screenshot, output.failure());
  return 0;
}

} // namespace app
