// The host's play head, as the transport a unit is shown.
#pragma once

#include "hosting/TransportFollower.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace plugins {

// At the start of a host block: the host's position, if it gave a usable one, holds from the
// next frame; otherwise the last one carries on. Render thread; never allocates.
void follow(hosting::TransportFollower& follower,
            const juce::Optional<juce::AudioPlayHead::PositionInfo>& position) noexcept;

} // namespace plugins
