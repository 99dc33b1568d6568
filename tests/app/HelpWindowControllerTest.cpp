// The help window: paging, frames, the reset to 760 × 640 and the first-launch rule.
#include "app/window/HelpWindowController.h"
#include "app/window/HelpTexts.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using app::FirstLaunchHelpCheck;
using app::HelpContentView;
using app::HelpShownSetting;
using app::HelpWindowController;

namespace {

std::vector<std::string> visiblePages(HelpContentView& content) {
  std::vector<std::string> out;
  for (int i = 0; i < content.segmentCount(); ++i)
    if (content.page(i).isVisible())
      out.push_back(content.segment(i).getButtonText().toStdString());
  return out;
}

} // namespace

TEST(HelpTexts, VersionLine) {
  EXPECT_EQ(app::helpVersionLine("1.2", "34"), "v1.2 (34)");
  EXPECT_EQ(app::helpVersionLine(std::nullopt, std::nullopt), "v? (?)");
  EXPECT_EQ(app::helpVersionLine("1.2", std::nullopt), "v1.2 (?)");
  EXPECT_EQ(app::helpVersionLine(), "v1.0.0 (1)");
}

TEST(HelpContent, SegmentsSwitchPages) {
  HelpContentView content;
  // About (the one shown first), then a segment for each page in order.
  ASSERT_EQ(content.segmentCount(), static_cast<int>(app::helpPages().size()) + 1);
  for (std::size_t i = 0; i < app::helpPages().size(); ++i)
    EXPECT_EQ(content.segment(static_cast<int>(i) + 1).getButtonText().toStdString(),
              app::helpPages()[i].navLabel);
  EXPECT_EQ(visiblePages(content), (std::vector<std::string>{"About"}));

  const std::pair<int, const char*> steps[] = {
      {6, "Effects"}, {-1, "Effects"}, {9, "Effects"}, {8, "Pallix"}, {0, "About"}};
  for (const auto& [segment, shown] : steps) {
    content.selectSegment(segment);
    EXPECT_EQ(visiblePages(content), (std::vector<std::string>{shown})) << segment;
    EXPECT_TRUE(content.segment(content.selectedSegment()).getToggleState());
  }

  content.segment(3).triggerClick(); // a click on a segment, as the user makes it
  runPostedMessages();
  EXPECT_EQ(content.selectedSegment(), 3);
  EXPECT_EQ(visiblePages(content), (std::vector<std::string>{"Filter"}));
  EXPECT_FALSE(content.segment(0).getToggleState());
}

TEST(HelpContent, TextPagesStackTheirItemsCentredAndScroll) {
  HelpContentView content;
  content.setSize(480, 360);
  // At the minimum size the long Host page: 24 points down, 8 apart, centred, and scrolling to
  // its end plus 32 points.
  auto* scroller = dynamic_cast<juce::Viewport*>(content.page(7).getChildComponent(0));
  ASSERT_NE(scroller, nullptr);
  auto* document = scroller->getViewedComponent();
  EXPECT_GT(document->getHeight(), scroller->getHeight());
  int lastBottom = 0;
  for (auto* item : document->getChildren()) {
    EXPECT_LE(item->getWidth(), 464);
    EXPECT_EQ(item->getBounds().getCentreX(), document->getWidth() / 2);
    EXPECT_EQ(item->getY(), lastBottom == 0 ? 24 : lastBottom + 8);
    lastBottom = item->getBottom();
  }
  EXPECT_EQ(document->getHeight(), lastBottom + 32);
}

TEST(HelpWindow, EveryShowingReturnsTo760By640OnAbout) {
  HelpWindowController help;
  EXPECT_FALSE(help.isOpen());
  EXPECT_EQ(help.content().getWidth(), 760);
  EXPECT_EQ(help.content().getHeight(), 640);
  EXPECT_EQ(help.window().getName(), "Quorvane Help");
  EXPECT_FALSE(help.prepareToShow()); // not open: centred

  // Open on Effects, enlarged and moved: back to 760 × 640 where it is, on About.
  help.window().setVisible(true);
  help.content().selectSegment(6);
  help.window().setBounds(help.window().getBounds().withPosition(40, 30).withSize(1000, 900));
  EXPECT_EQ(help.content().getWidth(), 1000);
  EXPECT_TRUE(help.prepareToShow());
  EXPECT_EQ(help.content().getBounds().getWidth(), 760);
  EXPECT_EQ(help.content().getHeight(), 640);
  EXPECT_EQ(help.window().getPosition(), juce::Point<int>(40, 30));
  EXPECT_EQ(help.content().selectedSegment(), 0);

  // Closing hides it and tells the owner; the pages stay for the next showing.
  int closed = 0;
  help.onClosed = [&] { ++closed; };
  auto* page = &help.content().page(7);
  help.window().closeButtonPressed();
  EXPECT_FALSE(help.isOpen());
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(&help.content().page(7), page);
}

TEST(HelpWindow, FirstLaunchShowsTheHelpOncePerUser) {
  // With no settings wired, on a first launch, on a later one.
  for (const std::optional<bool> stored : {std::optional<bool>(), {false}, {true}}) {
    bool flag = stored.value_or(false);
    int writes = 0;
    HelpShownSetting setting;
    if (stored) {
      setting.helpShown = [&] { return flag; };
      setting.setHelpShown = [&] {
        flag = true;
        ++writes;
      };
    }
    FirstLaunchHelpCheck check;
    EXPECT_EQ(check.shouldShowHelp(setting), stored != true);
    EXPECT_EQ(writes, stored == false ? 1 : 0);
    EXPECT_EQ(flag, stored.has_value());
    flag = false; // even with the flag cleared, a second check of the same window shows nothing
    EXPECT_FALSE(check.shouldShowHelp(setting));
  }
}

// Rewritten with ORRINBROOK_UPDATE_GOLDEN=1 (tests/support/GoldenFile.h) after a change made on
// purpose: the segment row and the pages' frame at the window's size, its minimum and below.
TEST(HelpContent, FramesAsRecorded) {
  HelpContentView content;
  std::ostringstream out;
  for (const auto& [w, h] : {std::pair{760, 640}, {480, 360}, {100, 40}}) {
    content.setSize(w, h);
    out << w << " x " << h << ": pages " << golden::frame(content.pageContainer().getBounds())
        << "\n  segments";
    for (int i = 0; i < content.segmentCount(); ++i)
      out << (i ? ", " : " ") << golden::frame(content.segment(i).getBounds());
    out << "\n";
  }
  golden::expectSection("help", out.str());
}
