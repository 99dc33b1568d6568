// What a tool does to a unit before rendering, as a host would: factory preset, saved state,
// parameter settings, the listings that replace a render, and allocation.
#pragma once

#include "tools/common/UnitOptions.h"

#include <ostream>
#include <string_view>

#include <string>
#include <vector>

class AUAudioUnit;
class AUParameterTree;

namespace tools {

// --preset, then --state, then every --set, all through the unit's public interface. Throws
// UsageError for an unknown preset or parameter and for an unreadable state file.
void applyUnitOptions(AUAudioUnit& unit, const UnitOptions& options);

// The identifiers of the tree's parameters, in tree order.
std::vector<std::string> parameterIdentifiers(const AUParameterTree& tree);

// With --list-presets the factory presets as NUMBER<TAB>NAME lines, then with --print-state
// fullState as an XML property list.
void printUnitListings(const AUAudioUnit& unit, const UnitOptions& options, std::ostream& out);

// Sets the stereo output format and the block size and allocates render resources. Throws
// std::runtime_error naming the unit when it refuses.
void allocateUnit(AUAudioUnit& unit, const UnitOptions& options, std::string_view unitName);

// Throws UsageError when output is the --state file.
void refuseOutputOverState(std::string_view output, const UnitOptions& options);

} // namespace tools
