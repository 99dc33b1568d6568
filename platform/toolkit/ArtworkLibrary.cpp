// Finding, parsing and rendering named SVG artwork.
#include "platform/toolkit/ArtworkLibrary.h"

#include "platform/toolkit/ImageRendering.h"

#include <algorithm>
#include <cmath>
#include <system_error>

namespace toolkit {

namespace fs = std::filesystem;

namespace {

std::unique_ptr<juce::Drawable> parseSvg(const fs::path& file) {
  const auto xml = juce::XmlDocument::parse(juce::File(juce::String(file.string())));
  if (!xml || !xml->hasTagName("svg"))
    return nullptr;
  auto drawable = juce::Drawable::createFromSVG(*xml);
  if (!drawable || naturalBoundsOf(*drawable).isEmpty())
    return nullptr;
  return drawable;
}

} // namespace

ArtworkLibrary::ArtworkLibrary(const std::vector<foundation::Bundle>& bundles) {
  for (const auto& bundle : bundles) {
    if (bundle.resourcesFolder().empty())
      continue;
    std::error_code error;
    const fs::path folder = fs::weakly_canonical(bundle.resourcesFolder(), error);
    const bool listed = std::any_of(bundles_.begin(), bundles_.end(), [&](const auto& known) {
      std::error_code e;
      return fs::weakly_canonical(known.resourcesFolder(), e) == folder;
    });
    if (!listed)
      bundles_.push_back(bundle);
  }
}

const juce::Drawable* ArtworkLibrary::find(std::string_view name) {
  if (const auto known = drawables_.find(name); known != drawables_.end())
    return known->second.get();
  std::unique_ptr<juce::Drawable> drawable;
  for (const auto& bundle : bundles_)
    if (const auto file = bundle.resource(name, kExtension, kFolder)) {
      drawable = parseSvg(*file);
      break; // the first bundle holding the name decides, parsed or not
    }
  return drawables_.emplace(std::string(name), std::move(drawable)).first->second.get();
}

juce::Image ArtworkLibrary::render(std::string_view name, float width, float height, ArtworkFit fit,
                                   float scale) {
  const juce::Drawable* drawable = find(name);
  if (!drawable)
    return transparentImage(width, height);
  if (fit == ArtworkFit::stretched)
    scale = 1.0f;
  const RenderKey key{std::string(name), static_cast<int>(std::lround(width * 16.0f)),
                      static_cast<int>(std::lround(height * 16.0f)), fit, scale};
  if (const auto known = renders_.find(key); known != renders_.end())
    return known->second;
  const auto natural = naturalBoundsOf(*drawable);
  const auto target = fit == ArtworkFit::fitted ? fittedFrame(natural, width, height, scale)
                                                : juce::Rectangle<float>(width, height);
  juce::Image image = renderPlatformImage(
      width, height, true, [&](juce::Graphics& g) { drawInto(g, *drawable, target); });
  if (renders_.size() >= kRenderCacheCapacity)
    renders_.clear();
  renders_.emplace(key, image);
  return image;
}

juce::Rectangle<float> naturalBoundsOf(const juce::Drawable& drawable) {
  if (const auto* composite = dynamic_cast<const juce::DrawableComposite*>(&drawable))
    if (!composite->getContentArea().isEmpty())
      return composite->getContentArea();
  return drawable.getDrawableBounds();
}

void drawInto(juce::Graphics& g, const juce::Drawable& drawable, juce::Rectangle<float> target) {
  const auto natural = naturalBoundsOf(drawable);
  if (natural.isEmpty() || target.isEmpty())
    return;
  const auto transform =
      juce::AffineTransform::translation(-natural.getX(), -natural.getY())
          .scaled(target.getWidth() / natural.getWidth(), target.getHeight() / natural.getHeight())
          .translated(target.getX(), target.getY());
  drawable.draw(g, 1.0f, transform);
}

juce::Rectangle<float> fittedFrame(juce::Rectangle<float> natural, float width, float height,
                                   float scale) {
  if (natural.isEmpty())
    return {};
  const float f = std::min(width / natural.getWidth(), height / natural.getHeight()) * scale;
  const float w = natural.getWidth() * f, h = natural.getHeight() * f;
  return {(width - w) / 2.0f, (height - h) / 2.0f, w, h};
}

// Keeps a library used while nobody held it until JUCE shuts down.
class SharedArtworkLibrary::UnheldUse : public juce::DeletedAtShutdown {
public:
  UnheldUse(SharedArtworkLibrary& owner, std::shared_ptr<ArtworkLibrary> library)
      : owner_(owner), library_(std::move(library)) {}
  ~UnheldUse() override { owner_.unheld_ = nullptr; }

private:
  SharedArtworkLibrary& owner_;
  std::shared_ptr<ArtworkLibrary> library_;
};

SharedArtworkLibrary::~SharedArtworkLibrary() { delete unheld_; }

std::shared_ptr<ArtworkLibrary> SharedArtworkLibrary::make() {
  auto library = std::make_shared<ArtworkLibrary>(
      bundles_
          ? *bundles_
          : std::vector<foundation::Bundle>{foundation::Bundle::of(kitAddress_), mainBundle()});
  library_ = library;
  ++librariesMade_;
  return library;
}

std::shared_ptr<ArtworkLibrary> SharedArtworkLibrary::hold() {
  auto library = library_.lock();
  if (!library)
    library = make();
  delete unheld_; // the holds decide from now on
  return library;
}

ArtworkLibrary& SharedArtworkLibrary::get() {
  if (const auto library = library_.lock())
    return *library; // a hold or the unheld use keeps it
  auto library = make();
  unheld_ = new UnheldUse(*this, library);
  return *library;
}

void SharedArtworkLibrary::use(const std::vector<foundation::Bundle>& bundles) {
  bundles_ = bundles;
  delete unheld_;
  library_.reset();
}

long SharedArtworkLibrary::holders() const noexcept {
  return library_.use_count() - (unheld_ ? 1 : 0);
}

foundation::Bundle mainBundle() {
  std::error_code error;
  const fs::path executable = fs::canonical("/proc/self/exe", error);
  if (error)
    return foundation::Bundle::withResourcesFolder({});
  return foundation::Bundle::forBinaryFolder(executable.parent_path());
}

} // namespace toolkit
