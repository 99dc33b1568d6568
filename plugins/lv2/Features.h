// The data of a feature a host offers, by URI: what instantiate reads of the host.
#pragma once

#include <lv2/core/lv2.h>

#include <cstring>

namespace plugins::lv2 {

// Null when the host does not offer it.
inline const void* featureData(const LV2_Feature* const* features, const char* uri) noexcept {
  for (auto f = features; f && *f; ++f)
    if (std::strcmp((*f)->URI, uri) == 0)
      return (*f)->data;
  return nullptr;
}

} // namespace plugins::lv2
