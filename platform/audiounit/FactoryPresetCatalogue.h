// A unit's factory presets: the "aupreset" files of a folder among its bundle's resources,
// listed and named by the rule both units share.
#pragma once

#include "platform/foundation/Bundle.h"
#include "platform/foundation/PropertyList.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Listed once, in the order a file browser shows the names; a leading number and dash fixes
// the order and is hidden from the displayed name ("01-Warm Pad" shows as "Warm Pad").
// Threads: main or control threads; a catalogue never changes once made.
class FactoryPresetCatalogue {
public:
  struct Entry {
    std::string filename; // without the extension
    std::string name;     // what hosts show
    std::filesystem::path file;
  };

  // Lists <resources>/<folder>. A missing or unlistable folder gives an empty catalogue.
  FactoryPresetCatalogue(const foundation::Bundle& bundle, std::string_view folder);

  const std::vector<Entry>& entries() const noexcept { return entries_; }

  // The state dictionary of preset number, or nothing when the number is out of range or the
  // file is missing, unreadable, not a property list, or has no dictionary at its root.
  std::optional<foundation::PropertyList> load(long number) const;

  // The name shown for a file name without extension.
  static std::string displayName(std::string_view filename);

private:
  std::vector<Entry> entries_;
};
