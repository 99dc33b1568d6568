// Preset files as the tests write them.
#pragma once

#include "platform/foundation/PropertyList.h"

#include <string>
#include <string_view>

// A synthesiser preset file's text: its name and one attack time.
inline std::string presetXML(std::string_view name, float attack) {
  using foundation::PropertyList;
  PropertyList::Dictionary params{{"attack", PropertyList(attack)}};
  return PropertyList(PropertyList::Dictionary{{"name", PropertyList(name)},
                                               {"quorvaneParams", PropertyList(params)}})
      .toXML();
}
