// The help window: a row of nine segments over an About page and eight pages of text.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <vector>

namespace app {

// The "help shown" flag of the app's settings, read and written through the settings' owner.
struct HelpShownSetting {
  std::function<bool()> helpShown; // unset or failing to read: false
  std::function<void()> setHelpShown;
};

// The first-launch help: decided once per main window; the first time ever for the user it
// sets the flag (before the help opens, so closing it at once still counts) and says to show.
class FirstLaunchHelpCheck {
public:
  bool shouldShowHelp(const HelpShownSetting& setting);
  bool hasRun() const noexcept { return hasRun_; }

private:
  bool hasRun_ = false;
};

// The window's content: the segment row at the top and the page of the selected segment
// below it, filling the rest. Frames follow the content's size on every resize.
class HelpContentView : public juce::Component {
public:
  static inline const juce::Colour bgColor{57, 142, 60};
  static inline const juce::Colour textColor = juce::Colours::white;
  static inline const juce::Colour dimColor = juce::Colours::white.withAlpha(0.65f);
  static inline const juce::Colour accentColor = juce::Colours::white.withAlpha(0.30f);

  HelpContentView();
  ~HelpContentView() override;

  int segmentCount() const noexcept { return static_cast<int>(pages_.size()); }
  int selectedSegment() const noexcept { return selected_; }
  // Shows page i and hides the others; an i out of range does nothing.
  void selectSegment(int i);
  juce::Button& segment(int i) { return *segments_[static_cast<std::size_t>(i)]; }
  juce::Component& page(int i) { return *pages_[static_cast<std::size_t>(i)]; }
  juce::Component& pageContainer() noexcept { return pageContainer_; }

  void paint(juce::Graphics& g) override;
  void resized() override;

private:
  std::vector<std::unique_ptr<juce::TextButton>> segments_;
  juce::Component pageContainer_;
  std::vector<std::unique_ptr<juce::Component>> pages_;
  int selected_ = 0;
};

// Owns the help window for the life of the main window; closing it only hides it, and every
// showing returns it to 760 × 640 on the About page. Threads: message thread.
class HelpWindowController {
public:
  static constexpr int kWidth = 760;
  static constexpr int kHeight = 640;
  static constexpr int kMinimumWidth = 480;
  static constexpr int kMinimumHeight = 360;

  // Builds the window and its pages, off screen.
  HelpWindowController();
  ~HelpWindowController();
  HelpWindowController(const HelpWindowController&) = delete;
  HelpWindowController& operator=(const HelpWindowController&) = delete;

  // Told when the user closes the window (the app ends when no window is left open).
  std::function<void()> onClosed;

  // The "?" button and the first launch: back to 760 × 640 (centred only when it was not
  // open), on screen, About selected, in front.
  void showHelp();
  // What showHelp does before putting the window on screen; true when it was already open.
  bool prepareToShow();
  bool isOpen() const;

  juce::DocumentWindow& window() noexcept;
  HelpContentView& content() noexcept { return *content_; }

private:
  class Window;
  void applyWindowSettings();

  std::unique_ptr<HelpContentView> content_;
  std::unique_ptr<Window> window_;
};

} // namespace app
