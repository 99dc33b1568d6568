// The main window: titled "Quorvane", resizable down to its minimum content size, holding the
// HostViewController.
#pragma once

#include "app/window/HostViewController.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace app {

// Threads: message thread.
class MainWindow final : public juce::DocumentWindow {
public:
  MainWindow(std::unique_ptr<HostViewController> content, std::function<void()> onClose);

  HostViewController& host() noexcept { return *host_; }
  void closeButtonPressed() override;

private:
  HostViewController* host_;
  std::function<void()> onClose_;
};

} // namespace app
