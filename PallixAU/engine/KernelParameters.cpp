// The eight parameters as the kernel stores them, by address.
#include "PallixAU/engine/CatalogIndex.h"
#include "PallixAU/engine/Kernel.h"

#include "platform/foundation/SafeConvert.h"

#include <cmath>

namespace {

// Root Note and Mode are meant to be small; far-off values are held where sums stay defined.
constexpr int kIndexLimit = 1 << 20;

} // namespace

void Kernel::useCatalogue(std::shared_ptr<const CatalogIndex> index,
                          std::shared_ptr<const std::vector<std::string>> families) noexcept {
  catalog_ = std::move(index);
  families_ = std::move(families);
}

void Kernel::setParameter(AUParameterAddress address, AUValue value) noexcept {
  constexpr auto relaxed = std::memory_order_relaxed;
  switch (address) {
  case 0:
    embroidery.store(value, relaxed);
    break;
  case 1:
    easiness.store(value, relaxed);
    break;
  case 2:
    etiquette.store(value, relaxed);
    break;
  case 3:
    exotica.store(value, relaxed);
    break;
  case 6:
    emotion.store(value, relaxed);
    break;
  case 7:
    evolution.store(value, relaxed);
    break;
  case 4:
  case 5:
    if (std::isfinite(value))
      (address == 4 ? rootNote : mode)
          .store(truncateInto(value, -kIndexLimit, kIndexLimit), relaxed);
    break;
  default:
    break;
  }
}

AUValue Kernel::parameterValue(AUParameterAddress address) const noexcept {
  constexpr auto relaxed = std::memory_order_relaxed;
  switch (address) {
  case 0:
    return embroidery.load(relaxed);
  case 1:
    return easiness.load(relaxed);
  case 2:
    return etiquette.load(relaxed);
  case 3:
    return exotica.load(relaxed);
  case 4:
    return static_cast<AUValue>(rootNote.load(relaxed));
  case 5:
    return static_cast<AUValue>(mode.load(relaxed));
  case 6:
    return emotion.load(relaxed);
  case 7:
    return evolution.load(relaxed);
  default:
    return 0.0f;
  }
}
