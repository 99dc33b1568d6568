// Envelope stage of one synthesiser voice.
#pragma once

#include <cstdint>

enum class Stage : std::uint8_t { off = 0, attack = 1, decay = 2, sustain = 3, release = 4 };
