// The main window.
#include "app/window/MainWindow.h"

namespace app {

MainWindow::MainWindow(std::unique_ptr<HostViewController> content, std::function<void()> onClose)
    : juce::DocumentWindow("Quorvane", kDarkGreen,
                           juce::DocumentWindow::closeButton |
                               juce::DocumentWindow::minimiseButton |
                               juce::DocumentWindow::maximiseButton),
      host_(content.get()), onClose_(std::move(onClose)) {
  setUsingNativeTitleBar(true);
  setResizable(true, false);
  const int width = content->getWidth(), height = content->getHeight();
  setContentOwned(content.release(), true);
  setResizeLimits(HostViewController::kMinimumWidth, HostViewController::kMinimumHeight, 1 << 14,
                  1 << 14);
  centreWithSize(width, height);
}

void MainWindow::closeButtonPressed() {
  if (onClose_)
    onClose_();
}

} // namespace app
