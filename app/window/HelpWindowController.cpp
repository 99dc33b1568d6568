// The help window, its segment row, and the About and text pages.
#include "app/window/HelpWindowController.h"

#include "QuorvaneAU/editor/KnobsStyleKit.h"
#include "app/window/HelpTexts.h"
#include "platform/toolkit/FlippedView.h"
#include "platform/toolkit/ImageViews.h"

#include <algorithm>
#include <cmath>

namespace app {

namespace {

constexpr int kSegmentGroup = 1;
constexpr float kMaxLineWidth = 460.0f;
constexpr int kMaxItemWidth = 464;

juce::Font systemFont(float points, int style = juce::Font::plain) {
  return juce::Font(points, style).withPointHeight(points);
}

juce::String text(std::string_view s) {
  return juce::String::fromUTF8(s.data(), static_cast<int>(s.size()));
}

// A paragraph wrapped by words at its width (at most 460 points), with no line limit.
class Paragraph {
public:
  Paragraph(juce::String content, juce::Font font, juce::Colour colour,
            juce::Justification justification = juce::Justification::topLeft) {
    string_.append(content, font, colour);
    string_.setJustification(justification);
    string_.setWordWrap(juce::AttributedString::byWord);
  }
  float heightFor(float width) const {
    juce::TextLayout layout;
    layout.createLayout(string_, std::min(width, kMaxLineWidth));
    return std::ceil(layout.getHeight());
  }
  void draw(juce::Graphics& g, juce::Rectangle<float> area) const {
    const float width = std::min(area.getWidth(), kMaxLineWidth);
    // Centred text centres in the whole area, not in its 460-point line.
    const float x = string_.getJustification().testFlags(juce::Justification::horizontallyCentred)
                        ? area.getCentreX() - width / 2
                        : area.getX();
    string_.draw(g, {x, area.getY(), width, area.getHeight()});
  }

private:
  juce::AttributedString string_;
};

// One entry of a text page's stack: its height follows its width.
class StackItem : public juce::Component {
public:
  virtual int heightFor(int width) const = 0;
};

class ParagraphItem : public StackItem {
public:
  explicit ParagraphItem(Paragraph paragraph) : paragraph_(std::move(paragraph)) {}
  int heightFor(int width) const override {
    return static_cast<int>(paragraph_.heightFor(static_cast<float>(width)));
  }
  void paint(juce::Graphics& g) override { paragraph_.draw(g, getLocalBounds().toFloat()); }

private:
  Paragraph paragraph_;
};

// A name over its description, 2 points apart, 8 points of space below the pair.
class ParamRowItem : public StackItem {
public:
  ParamRowItem(const std::string& name, const std::string& description)
      : name_(text(name), systemFont(14, juce::Font::bold), HelpContentView::textColor),
        text_(text(description), systemFont(13), juce::Colours::white.withAlpha(0.72f)) {}
  int heightFor(int width) const override {
    const auto w = static_cast<float>(width);
    return static_cast<int>(name_.heightFor(w) + kSpacing + text_.heightFor(w) + kBelow);
  }
  void paint(juce::Graphics& g) override {
    const auto w = static_cast<float>(getWidth());
    const float nameHeight = name_.heightFor(w);
    name_.draw(g, {0, 0, w, nameHeight});
    text_.draw(g, {0, nameHeight + kSpacing, w, text_.heightFor(w)});
  }

private:
  static constexpr float kSpacing = 2;
  static constexpr float kBelow = 8;
  Paragraph name_;
  Paragraph text_;
};

// A note in a rounded box of white at 8 %.
class TipItem : public StackItem {
public:
  explicit TipItem(const std::string& tip)
      : text_(text(tip), systemFont(13), HelpContentView::textColor) {}
  int heightFor(int width) const override {
    return static_cast<int>(text_.heightFor(static_cast<float>(width) - 2 * kSide) + 2 * kTop);
  }
  void paint(juce::Graphics& g) override {
    g.setColour(juce::Colours::white.withAlpha(0.08f));
    g.fillRoundedRectangle(getLocalBounds().toFloat(), 8.0f);
    text_.draw(g, getLocalBounds().toFloat().reduced(kSide, kTop));
  }

private:
  static constexpr float kTop = 12;
  static constexpr float kSide = 14;
  Paragraph text_;
};

// A scrolling page: a stack of the title and the items, 24 points below the top, centred, at
// most the page's width − 56 (and 464) wide, 8 apart; the document ends 32 points below it.
class TextPage : public juce::Component {
public:
  explicit TextPage(const HelpContentPage& page) {
    items_.push_back(std::make_unique<ParagraphItem>(
        Paragraph(text(page.title), systemFont(22, juce::Font::bold), HelpContentView::textColor,
                  juce::Justification::centredTop)));
    for (const auto& item : page.items) {
      switch (item.kind) {
      case HelpContentItem::Kind::body:
        items_.push_back(std::make_unique<ParagraphItem>(
            Paragraph(text(item.text), systemFont(14), HelpContentView::textColor)));
        break;
      case HelpContentItem::Kind::paramRow:
        items_.push_back(std::make_unique<ParamRowItem>(item.name, item.text));
        break;
      case HelpContentItem::Kind::tip:
        items_.push_back(std::make_unique<TipItem>(item.text));
        break;
      }
    }
    for (auto& item : items_)
      document_.addAndMakeVisible(*item);
    scroller_.setViewedComponent(&document_, false);
    scroller_.setScrollBarsShown(true, false);
    addAndMakeVisible(scroller_);
  }

  juce::Viewport& scroller() noexcept { return scroller_; }

  void resized() override {
    scroller_.setBounds(getLocalBounds());
    const int width = scroller_.getMaximumVisibleWidth();
    const int stackWidth = std::clamp(width - 56, 0, kMaxItemWidth);
    const int x = (width - stackWidth) / 2;
    int y = kTop;
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (i > 0)
        y += kSpacing;
      const int height = items_[i]->heightFor(stackWidth);
      items_[i]->setBounds(x, y, stackWidth, height);
      y += height;
    }
    document_.setSize(width, y + kBottomPad);
  }

private:
  static constexpr int kTop = 24;
  static constexpr int kSpacing = 8;
  static constexpr int kBottomPad = 32;
  juce::Viewport scroller_;
  toolkit::FlippedView document_;
  std::vector<std::unique_ptr<StackItem>> items_;
};

// The knob-face logo: the synthesiser's underlay under the knob overlay.
class KnobLogoView : public juce::Component {
public:
  KnobLogoView() {
    using quorvane::editor::KnobsStyleKit;
    underlay_.setImageProvider([](float w, float h) {
      return KnobsStyleKit::imageNamed("QuorvaneUnderlay", {w, h}, KnobsStyleKit::underlayScale);
    });
    overlay_.setImageProvider([](float w, float h) {
      return KnobsStyleKit::imageNamed("KnobOverlay", {w, h}, 1.0f);
    });
    addAndMakeVisible(underlay_);
    addAndMakeVisible(overlay_);
  }
  void resized() override {
    underlay_.setBounds(getLocalBounds());
    overlay_.setBounds(getLocalBounds());
  }

private:
  toolkit::ImageView underlay_;
  toolkit::ImageView overlay_;
};

// The logo, the version, a rule and two lines, centred in the page.
class AboutPage : public juce::Component {
public:
  AboutPage()
      : version_(text(helpVersionLine()), systemFont(13), HelpContentView::dimColor,
                 juce::Justification::centredTop),
        tagline_(text(kAboutTagline), systemFont(14), HelpContentView::textColor,
                 juce::Justification::centredTop),
        formats_(text(kAboutFormats), systemFont(12), HelpContentView::dimColor,
                 juce::Justification::centredTop) {
    addAndMakeVisible(logo_);
  }

  void resized() override { logo_.setBounds(layout().logo.toNearestInt()); }

  void paint(juce::Graphics& g) override {
    const Layout l = layout();
    version_.draw(g, l.version);
    g.setColour(HelpContentView::accentColor);
    g.fillRect(l.rule);
    tagline_.draw(g, l.tagline);
    formats_.draw(g, l.formats);
  }

private:
  struct Layout {
    juce::Rectangle<float> logo, version, rule, tagline, formats;
  };
  Layout layout() const {
    constexpr float kLogo = 220, kAfterLogo = 20, kSpacing = 6, kRule = 180;
    const float width = 0.85f * static_cast<float>(getWidth());
    const float versionHeight = version_.heightFor(width);
    const float taglineHeight = tagline_.heightFor(width);
    const float formatsHeight = formats_.heightFor(width);
    const float total = kLogo + kAfterLogo + versionHeight + kSpacing + 1 + kSpacing +
                        taglineHeight + kSpacing + formatsHeight;
    const float centreX = static_cast<float>(getWidth()) / 2;
    float y = (static_cast<float>(getHeight()) - total) / 2;
    const auto row = [&](float w, float h, float after) {
      const juce::Rectangle<float> r{centreX - w / 2, y, w, h};
      y += h + after;
      return r;
    };
    Layout l;
    l.logo = row(std::min(kLogo, width), kLogo, kAfterLogo);
    l.version = row(width, versionHeight, kSpacing);
    l.rule = row(std::min(kRule, width), 1, kSpacing);
    l.tagline = row(width, taglineHeight, kSpacing);
    l.formats = row(width, formatsHeight, 0);
    return l;
  }

  KnobLogoView logo_;
  Paragraph version_;
  Paragraph tagline_;
  Paragraph formats_;
};

} // namespace

bool FirstLaunchHelpCheck::shouldShowHelp(const HelpShownSetting& setting) {
  if (hasRun_)
    return false;
  hasRun_ = true;
  if (setting.helpShown && setting.helpShown())
    return false;
  if (setting.setHelpShown)
    setting.setHelpShown();
  return true;
}

HelpContentView::HelpContentView() {
  setOpaque(true);
  std::vector<juce::String> labels{text(kAboutLabel)};
  pages_.push_back(std::make_unique<AboutPage>());
  for (const auto& page : helpPages()) {
    labels.push_back(text(page.navLabel));
    pages_.push_back(std::make_unique<TextPage>(page));
  }
  for (std::size_t i = 0; i < labels.size(); ++i) {
    auto button = std::make_unique<juce::TextButton>(labels[i]);
    button->setClickingTogglesState(true);
    button->setRadioGroupId(kSegmentGroup);
    int edges = 0;
    if (i > 0)
      edges |= juce::Button::ConnectedOnLeft;
    if (i + 1 < labels.size())
      edges |= juce::Button::ConnectedOnRight;
    button->setConnectedEdges(edges);
    // Radio buttons are also "clicked" when the group turns them off.
    button->onClick = [this, i, b = button.get()] {
      if (b->getToggleState())
        selectSegment(static_cast<int>(i));
    };
    addAndMakeVisible(*button);
    segments_.push_back(std::move(button));
  }
  addAndMakeVisible(pageContainer_);
  for (auto& page : pages_)
    pageContainer_.addChildComponent(*page);
  selectSegment(0);
}

HelpContentView::~HelpContentView() = default;

void HelpContentView::selectSegment(int i) {
  if (i < 0 || i >= segmentCount())
    return;
  selected_ = i;
  segments_[static_cast<std::size_t>(i)]->setToggleState(true, juce::dontSendNotification);
  for (int j = 0; j < segmentCount(); ++j)
    pages_[static_cast<std::size_t>(j)]->setVisible(j == i);
}

void HelpContentView::paint(juce::Graphics& g) { g.fillAll(bgColor); }

void HelpContentView::resized() {
  constexpr int kMargin = 14, kRowHeight = 24, kPagesTop = 52;
  const int width = getWidth();
  const int count = segmentCount();
  // The row is W − 28 wide, split evenly; the last segment takes what rounding leaves.
  const int rowWidth = std::max(width - 2 * kMargin, 0);
  for (int i = 0; i < count; ++i) {
    const int left = kMargin + rowWidth * i / count;
    const int right = kMargin + rowWidth * (i + 1) / count;
    segments_[static_cast<std::size_t>(i)]->setBounds(left, kMargin, right - left, kRowHeight);
  }
  pageContainer_.setBounds(0, kPagesTop, width, std::max(getHeight() - kPagesTop, 0));
  for (auto& page : pages_)
    page->setBounds(pageContainer_.getLocalBounds());
}

class HelpWindowController::Window : public juce::DocumentWindow {
public:
  explicit Window(HelpWindowController& owner)
      : juce::DocumentWindow(
            "Quorvane Help", HelpContentView::bgColor,
            juce::DocumentWindow::closeButton | juce::DocumentWindow::minimiseButton, false),
        owner_(owner) {}

  void closeButtonPressed() override {
    setVisible(false);
    if (owner_.onClosed)
      owner_.onClosed();
  }

private:
  HelpWindowController& owner_;
};

HelpWindowController::HelpWindowController()
    : content_(std::make_unique<HelpContentView>()), window_(std::make_unique<Window>(*this)) {
  window_->setUsingNativeTitleBar(true);
  window_->setContentNonOwned(content_.get(), false);
  applyWindowSettings();
}

HelpWindowController::~HelpWindowController() {
  window_->clearContentComponent();
  window_.reset();
}

juce::DocumentWindow& HelpWindowController::window() noexcept { return *window_; }

void HelpWindowController::applyWindowSettings() {
  window_->setName("Quorvane Help");
  window_->setResizable(true, false);
  window_->setResizeLimits(kMinimumWidth, kMinimumHeight, 1 << 16, 1 << 16);
  window_->setContentComponentSize(kWidth, kHeight);
}

bool HelpWindowController::isOpen() const { return window_->isVisible(); }

bool HelpWindowController::prepareToShow() {
  const bool wasOpen = isOpen();
  applyWindowSettings();
  // Centred on the main screen; without a screen (no display) there is nothing to centre on.
  if (const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
      display != nullptr && !wasOpen)
    window_->setCentrePosition(display->userArea.getCentre());
  content_->selectSegment(0);
  return wasOpen;
}

void HelpWindowController::showHelp() {
  prepareToShow();
  if (!window_->isOnDesktop())
    window_->addToDesktop();
  window_->setVisible(true);
  content_->selectSegment(0);
  window_->toFront(true);
}

} // namespace app
