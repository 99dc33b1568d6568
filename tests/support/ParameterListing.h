// A unit's parameters as hosts and editors see them, one line each, for golden files: the tree's
// attributes and display strings, and the taper and reset position of the table's rows.
#pragma once

#include "platform/audiounit/AUParameterTree.h"
#include "platform/foundation/ParameterTable.h"

#include <cstdio>
#include <fstream>
#include <span>
#include <sstream>
#include <string>

inline std::string parameterListing(const AUParameterTree& tree,
                                    std::span<const foundation::ParameterRow> rows) {
  std::string out;
  const auto put = [&out](const char* format, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    out += text;
  };
  for (const auto& p : tree.allParameters()) {
    const float min = p->minValue(), max = p->maxValue();
    put("%llu %s \"%s\" unit %u flags 0x%08x range %.9g %.9g value %.9g", //
        static_cast<unsigned long long>(p->address()), p->identifier().c_str(),
        p->displayName().c_str(), unsigned(p->unit()), unsigned(p->flags()), min, max, p->value());
    out += " names";
    for (const auto& name : p->valueStrings())
      out.append(1, ' ').append(name);
    out += " texts";
    for (float v : {min, max, min + (max - min) * 0.37f})
      out.append(1, ' ').append(p->stringFromValue(v));
    out.append(1, ' ').append(p->stringFromValue());
    out += "\n  positions";
    const foundation::ParameterRow* row = nullptr;
    for (const auto& candidate : rows)
      if (candidate.address == p->address())
        row = &candidate;
    if (!row) {
      out += " none\n";
      continue;
    }
    for (float x : {-0.5f, 0.0f, 0.1f, 0.37f, 0.5f, 0.99f, 1.0f, 1.5f})
      put(" %.9g", foundation::valueAtPosition(*row, x));
    out += " values";
    for (float v : {min * 0.5f - 1.0f, min, row->defaultValue, (min + max) * 0.5f, max, max * 2})
      put(" %.9g", foundation::positionOfValue(*row, v));
    put(" reset %.9g\n", foundation::defaultPosition(*row));
  }
  return out;
}

inline std::string fileText(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}
