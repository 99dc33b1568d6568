// The eight parameters as the kernel stores them, and the catalogue it chooses phrases from.
#include "PallixAU/engine/Kernel.h"
#include "PallixAU/engine/catalogue/CatalogIndex.h"

#include "platform/foundation/SafeConvert.h"

#include <cmath>

namespace pallix::engine {

namespace {

// Root Note and Mode are meant to be small; far-off values are held where sums stay defined.
constexpr int kIndexLimit = 1 << 20;

} // namespace

void Kernel::useCatalogue(std::shared_ptr<const CatalogIndex> index,
                          std::shared_ptr<const std::vector<std::string>> families) noexcept {
  catalogue_ = std::move(index);
  families_ = std::move(families);
}

void Kernel::setParameter(PallixParameter parameter, float value) noexcept {
  constexpr auto relaxed = std::memory_order_relaxed;
  const auto storeIndex = [&](std::atomic<int>& index) {
    if (std::isfinite(value))
      index.store(foundation::truncateInto(value, -kIndexLimit, kIndexLimit), relaxed);
  };
  switch (parameter) {
  case PallixParameter::embroidery:
    embroidery_.store(value, relaxed);
    break;
  case PallixParameter::easiness:
    easiness_.store(value, relaxed);
    break;
  case PallixParameter::etiquette:
    etiquette_.store(value, relaxed);
    break;
  case PallixParameter::exotica:
    exotica_.store(value, relaxed);
    break;
  case PallixParameter::rootNote:
    storeIndex(rootNote_);
    break;
  case PallixParameter::mode:
    storeIndex(mode_);
    break;
  case PallixParameter::emotion:
    emotion_.store(value, relaxed);
    break;
  case PallixParameter::evolution:
    evolution_.store(value, relaxed);
    break;
  }
}

float Kernel::parameterValue(PallixParameter parameter) const noexcept {
  constexpr auto relaxed = std::memory_order_relaxed;
  switch (parameter) {
  case PallixParameter::embroidery:
    return embroidery_.load(relaxed);
  case PallixParameter::easiness:
    return easiness_.load(relaxed);
  case PallixParameter::etiquette:
    return etiquette_.load(relaxed);
  case PallixParameter::exotica:
    return exotica_.load(relaxed);
  case PallixParameter::rootNote:
    return static_cast<float>(rootNote_.load(relaxed));
  case PallixParameter::mode:
    return static_cast<float>(mode_.load(relaxed));
  case PallixParameter::emotion:
    return emotion_.load(relaxed);
  case PallixParameter::evolution:
    return evolution_.load(relaxed);
  }
  return 0.0f; // a value cast from outside the enumeration
}

} // namespace pallix::engine
