// The tuning menu: its lines, what choosing them does, and the reason a file was refused.
#include "QuorvaneAU/editor/TuningMenu.h"

#include "QuorvaneAU/unit/TuningFiles.h"

#include <algorithm>
#include <cmath>

namespace quorvane::editor {

namespace {

constexpr int kProblemHeight = 18;
const juce::Font& problemFont() {
  static const juce::Font font = toolkit::semiboldFont(11.0f);
  return font;
}

// The range a value holds, as the synthesiser plays it: whole, within 1 … 24.
std::optional<int> wholeRange(std::optional<float> value) {
  if (!value || !std::isfinite(*value))
    return std::nullopt;
  return static_cast<int>(
      std::lround(std::clamp(*value, 1.0f, float(TuningMenu::kLargestBendRange))));
}

juce::String rangeTitle(int semitones) {
  return juce::String::fromUTF8("\xc2\xb1") + juce::String(semitones) +
         (semitones == 1 ? " semitone" : " semitones");
}

} // namespace

TuningMenu::TuningMenu() {
  button_.setTooltip("Tuning and bend range");
  button_.onClick = [this] { showMenu(); };
  menu_.onClose = [this](std::optional<std::size_t> item) { menuChosen(item); };
  addAndMakeVisible(button_);
  requestFile = [this](FileKind kind, FileAnswer answer) {
    const bool scale = kind == FileKind::scale;
    chooser_ = std::make_unique<juce::FileChooser>(
        scale ? "Load Scale" : "Load Keyboard Map",
        juce::File(unit::shippedTuningsFolder().string()), scale ? "*.scl" : "*.kbm");
    chooser_->launchAsync(
        juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
        [answer = std::move(answer)](const juce::FileChooser& chooser) {
          const juce::File file = chooser.getResult();
          answer(file == juce::File()
                     ? std::nullopt
                     : std::optional<std::filesystem::path>(file.getFullPathName().toStdString()));
        });
  };
}

TuningMenu::~TuningMenu() {
  menu_.onClose = nullptr;
  menu_.dismiss();
}

std::vector<toolkit::PresetMenu::Line> TuningMenu::menuLines() const {
  const unit::QuorvaneAudioUnit* shown = unit ? unit() : nullptr;
  const auto* tuning = shown && shown->tuning() ? &*shown->tuning() : nullptr;
  std::vector<toolkit::PresetMenu::Line> lines;
  lines.push_back({standard, "Standard (12-TET)", tuning == nullptr});
  if (tuning) {
    juce::String title = juce::String::fromUTF8(tuning->description.c_str());
    if (title.isEmpty())
      title = "Scale without a description";
    if (tuning->keyboardMap)
      title << ", mapped";
    lines.push_back({description, title, true, false, false});
  }
  lines.push_back({loadScale, juce::String::fromUTF8("Load Scale\xe2\x80\xa6"), false, true});
  lines.push_back({loadKeyboardMap, juce::String::fromUTF8("Load Keyboard Map\xe2\x80\xa6")});
  const auto range = wholeRange(bendRange ? bendRange() : std::nullopt);
  lines.push_back({chooseRange,
                   "Bend Range: " + (range ? rangeTitle(*range) : "?") +
                       juce::String::fromUTF8(" \xe2\x96\xb8"),
                   false, true});
  return lines;
}

std::vector<toolkit::PresetMenu::Line> TuningMenu::rangeLines() const {
  const auto range = wholeRange(bendRange ? bendRange() : std::nullopt);
  std::vector<toolkit::PresetMenu::Line> lines;
  for (int r = 1; r <= kLargestBendRange; ++r)
    lines.push_back({firstRange + static_cast<std::size_t>(r - 1), rangeTitle(r), range == r});
  return lines;
}

void TuningMenu::showMenu() {
  showProblem({});
  open(menuLines());
}

void TuningMenu::open(std::vector<toolkit::PresetMenu::Line> lines) {
  auto* parent = getParentComponent();
  if (!parent)
    return;
  const auto under = parent->getLocalArea(this, button_.getBounds());
  menu_.open(std::move(lines), *parent, under.getBottomLeft(), under.getWidth());
}

void TuningMenu::menuChosen(std::optional<std::size_t> item) {
  unit::QuorvaneAudioUnit* shown = unit ? unit() : nullptr;
  if (!item || !shown)
    return;
  switch (*item) {
  case standard:
    shown->clearTuning();
    if (onTuningChanged)
      onTuningChanged();
    return;
  case description:
    return;
  case loadScale:
  case loadKeyboardMap: {
    const FileKind kind = *item == loadScale ? FileKind::scale : FileKind::keyboardMap;
    if (requestFile)
      requestFile(kind, [self = SafePointer<TuningMenu>(this),
                         kind](std::optional<std::filesystem::path> file) {
        if (self && file)
          self->loadFile(kind, *file);
      });
    return;
  }
  case chooseRange:
    open(rangeLines());
    return;
  default:
    if (*item >= firstRange && *item < firstRange + kLargestBendRange && setBendRange)
      setBendRange(static_cast<float>(*item - firstRange + 1));
  }
}

void TuningMenu::loadFile(FileKind kind, const std::filesystem::path& file) {
  unit::QuorvaneAudioUnit* shown = unit ? unit() : nullptr;
  if (!shown)
    return;
  const auto refused = kind == FileKind::scale
                           ? unit::loadScaleFile(*shown, file, unit::FileNaming::nameOnly)
                           : unit::loadKeyboardMapFile(*shown, file, unit::FileNaming::nameOnly);
  if (refused) {
    showProblem(juce::String::fromUTF8(refused->c_str()));
    return;
  }
  showProblem({});
  if (onTuningChanged)
    onTuningChanged();
}

void TuningMenu::showProblem(juce::String problem) {
  if (problem == problem_)
    return;
  problem_ = std::move(problem);
  fitBounds();
  repaint();
}

void TuningMenu::placeAt(juce::Point<int> topRight) {
  topRight_ = topRight;
  fitBounds();
}

void TuningMenu::fitBounds() {
  int width = kButtonWidth, height = kButtonHeight;
  if (problem_.isNotEmpty()) {
    width = std::max(width, juce::roundToInt(problemFont().getStringWidthFloat(problem_)) + 16);
    if (const auto* parent = getParentComponent())
      width = std::min(width, parent->getWidth());
    height += kProblemHeight + 2;
  }
  setBounds(std::max(0, topRight_.x - width), topRight_.y, width, height);
}

void TuningMenu::resized() {
  button_.setBounds(getWidth() - kButtonWidth, 0, kButtonWidth, kButtonHeight);
}

void TuningMenu::paint(juce::Graphics& g) {
  if (problem_.isEmpty())
    return;
  const auto area = getLocalBounds().withTop(kButtonHeight + 2).toFloat();
  g.setColour(juce::Colour(0xe0a02020));
  g.fillRoundedRectangle(area, 4.0f);
  g.setColour(juce::Colours::white);
  g.setFont(problemFont());
  g.drawText(problem_, area.reduced(6.0f, 0.0f), juce::Justification::centredRight, true);
}

} // namespace quorvane::editor
