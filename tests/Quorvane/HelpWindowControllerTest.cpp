// The help window: its texts, paging, frames, the reset to 760 × 640 and the first-launch rule.
#include "Quorvane/window/HelpWindowController.h"
#include "Quorvane/window/HelpTexts.h"
#include "tests/support/GoldenFile.h"
#include "tests/support/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using app::FirstLaunchHelpCheck;
using app::HelpContentItem;
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

std::string allText() {
  std::string all;
  for (const auto& page : app::helpPages())
    for (const auto& item : page.items)
      all += item.name + " " + item.text + "\n";
  return all + std::string(app::kAboutFormats);
}

} // namespace

TEST(HelpTexts, PagesInSegmentOrder) {
  struct Expected {
    const char* navLabel;
    const char* title;
    std::size_t items;
    std::size_t rows;
  };
  const Expected expected[] = {
      {"Overview", "What Fresh Heck is This?", 4, 0},
      {"Oscillators", "Oscillators", 6, 4},
      {"Filter", "Filter", 6, 5},
      {"Envelope", "Envelope", 5, 4},
      {"Modulation", "Modulation", 5, 4},
      {"Effects", "Effects", 5, 4},
      {"Host", "Host controls", 10, 8},
      {"Pallix", "Pallix", 9, 8},
  };
  const auto& pages = app::helpPages();
  ASSERT_EQ(pages.size(), std::size(expected));
  for (std::size_t i = 0; i < pages.size(); ++i) {
    EXPECT_EQ(pages[i].navLabel, expected[i].navLabel);
    EXPECT_EQ(pages[i].title, expected[i].title);
    EXPECT_EQ(pages[i].items.size(), expected[i].items) << pages[i].navLabel;
    const auto rows = std::count_if(pages[i].items.begin(), pages[i].items.end(), [](auto& item) {
      return item.kind == HelpContentItem::Kind::paramRow && !item.name.empty();
    });
    EXPECT_EQ(static_cast<std::size_t>(rows), expected[i].rows) << pages[i].navLabel;
  }
  EXPECT_EQ(pages[6].items.back().kind, HelpContentItem::Kind::tip);
  EXPECT_EQ(pages[6].items.back().text, "Close the window to dismiss this help.");
}

TEST(HelpTexts, SpeakOfLinuxPlugInsAndHosts) {
  const std::string all = allText();
  for (const char* gone : {"AUv3", "AU host", "GarageBand", "Logic", "Ableton"})
    EXPECT_EQ(all.find(gone), std::string::npos) << gone;
  const auto& overview = app::helpPages()[0].items.back().text;
  const auto& host = app::helpPages()[6].items.front().text;
  for (const char* word :
       {"LV2", "VST3", "Ardour", "Reaper", "Bitwig Studio", "Carla", "Qtractor"}) {
    EXPECT_NE(overview.find(word), std::string::npos) << word;
    EXPECT_NE(host.find(word), std::string::npos) << word;
  }
  EXPECT_NE(app::helpPages()[7].items.front().text.find("into a plug-in host"), std::string::npos);
  EXPECT_EQ(app::kAboutFormats, "LV2 \u00b7 VST3 \u2014 runs in any compatible host");
}

TEST(HelpTexts, VersionLine) {
  EXPECT_EQ(app::helpVersionLine("1.2", "34"), "v1.2 (34)");
  EXPECT_EQ(app::helpVersionLine(std::nullopt, std::nullopt), "v? (?)");
  EXPECT_EQ(app::helpVersionLine("1.2", std::nullopt), "v1.2 (?)");
  EXPECT_EQ(app::helpVersionLine(), "v1.0.0 (1)");
}

TEST(HelpContent, SegmentsSwitchPages) {
  HelpContentView content;
  ASSERT_EQ(content.segmentCount(), 9);
  std::vector<std::string> labels;
  for (int i = 0; i < 9; ++i)
    labels.push_back(content.segment(i).getButtonText().toStdString());
  EXPECT_EQ(labels,
            (std::vector<std::string>{"About", "Overview", "Oscillators", "Filter", "Envelope",
                                      "Modulation", "Effects", "Host", "Pallix"}));
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

TEST(HelpContent, FramesFollowTheSize) {
  HelpContentView content;
  for (const auto& [w, h] : {std::pair{760, 640}, {480, 360}}) {
    content.setSize(w, h);
    EXPECT_EQ(content.segment(0).getBounds(), juce::Rectangle<int>(14, 14, (w - 28) / 9, 24));
    EXPECT_EQ(content.segment(8).getRight(), w - 14);
    EXPECT_EQ(content.pageContainer().getBounds(), juce::Rectangle<int>(0, 52, w, h - 52));
    EXPECT_EQ(content.page(4).getBounds(), content.pageContainer().getLocalBounds());
  }

  // At the minimum size the long Host page scrolls to its end plus 32 points.
  auto* scroller = dynamic_cast<juce::Viewport*>(content.page(7).getChildComponent(0));
  ASSERT_NE(scroller, nullptr);
  auto* document = scroller->getViewedComponent();
  EXPECT_GT(document->getHeight(), scroller->getHeight());
  int lastBottom = 0;
  for (auto* item : document->getChildren()) {
    EXPECT_LE(item->getWidth(), 464);
    EXPECT_EQ(item->getBounds().getCentreX(), document->getWidth() / 2);
    lastBottom = std::max(lastBottom, item->getBottom());
  }
  EXPECT_EQ(document->getHeight(), lastBottom + 32);
  EXPECT_EQ(document->getChildComponent(0)->getY(), 24);
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
  struct Case {
    const char* name;
    std::optional<bool> stored; // nothing: no settings wired
    bool shows;
  };
  const Case cases[] = {
      {"first launch", false, true}, {"later launches", true, false}, {"no settings", {}, true}};
  for (const Case& c : cases) {
    bool flag = c.stored.value_or(false);
    int writes = 0;
    HelpShownSetting setting;
    if (c.stored) {
      setting.helpShown = [&] { return flag; };
      setting.setHelpShown = [&] {
        flag = true;
        ++writes;
      };
    }
    FirstLaunchHelpCheck check;
    EXPECT_EQ(check.shouldShowHelp(setting), c.shows) << c.name;
    EXPECT_TRUE(check.hasRun());
    if (c.stored) {
      EXPECT_TRUE(flag) << c.name;
      EXPECT_EQ(writes, c.shows ? 1 : 0) << c.name;
    }
    flag = false; // even with the flag cleared, a second check of the same window shows nothing
    EXPECT_FALSE(check.shouldShowHelp(setting)) << c.name;
  }
}

// The segment row and the pages' frame at the window's size, its minimum and below.
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
