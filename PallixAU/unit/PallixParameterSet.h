// The generator's eight parameters as the host sees them: the six E knobs, root note and mode.
#pragma once

#include "platform/audiounit/AUParameterTree.h"

#include <memory>

namespace pallix::unit {

// A flat tree of the eight parameters in the order hosts list them (the addresses do not follow
// it: see engine::PallixParameter), each holding its default, with the display strings
// installed but no value observer or provider yet. Main or control thread.
std::shared_ptr<AUParameterTree> makePallixParameterTree();

} // namespace pallix::unit
