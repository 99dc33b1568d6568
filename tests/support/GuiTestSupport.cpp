// Helpers of the view tests.
#include "tests/support/GuiTestSupport.h"

#include <fstream>

namespace juce {
// JUCE's own step of its message loop (juce_linux_Messaging.cpp), which no header declares.
bool dispatchNextMessageOnSystemQueue(bool returnIfNoPendingMessages);
} // namespace juce

void runPostedMessages() {
  // Each round posts a marker behind what is queued and runs messages until the marker has
  // run; a few rounds let the work that messages post in turn run too.
  for (int round = 0; round < 4; ++round) {
    auto done = std::make_shared<bool>(false);
    juce::MessageManager::callAsync([done] { *done = true; });
    while (!*done)
      juce::dispatchNextMessageOnSystemQueue(false);
  }
}

juce::Image snapshotOf(juce::Component& component, float scale) {
  return component.createComponentSnapshot(component.getLocalBounds(), true, scale);
}

bool isFullyTransparent(const juce::Image& image) {
  for (int y = 0; y < image.getHeight(); ++y)
    for (int x = 0; x < image.getWidth(); ++x)
      if (image.getPixelAt(x, y).getAlpha() != 0)
        return false;
  return true;
}

int opaquePixelCount(const juce::Image& image) {
  int count = 0;
  for (int y = 0; y < image.getHeight(); ++y)
    for (int x = 0; x < image.getWidth(); ++x)
      if (image.getPixelAt(x, y).getAlpha() > 127)
        ++count;
  return count;
}

void writeArtwork(const std::filesystem::path& resources, std::string_view name, float width,
                  float height, std::string_view body) {
  const auto folder = resources / "artwork";
  std::filesystem::create_directories(folder);
  std::ofstream file(folder / (std::string(name) + ".svg"));
  file << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
       << "\" viewBox=\"0 0 " << width << ' ' << height << "\">" << body << "</svg>\n";
}
