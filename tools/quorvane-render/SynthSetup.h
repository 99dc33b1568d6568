// Builds the synthesiser kernel a render asks for: seeded, prepared, parameters set.
#pragma once

#include "tools/quorvane-render/RenderOptions.h"

#include <array>
#include <cstdint>
#include <memory>

class QuorvaneDSPKernel;

// Three 32-bit seeds drawn from one 64-bit number with splitmix64 (Steele, Lea and Flood,
// "Fast splittable pseudorandom number generators", 2014), so nearby numbers give unrelated
// seeds.
std::array<std::uint32_t, 3> deriveSeeds(std::uint64_t seed) noexcept;

// Seeds the kernel when the options carry a seed (before prepare, which draws the reverb
// patterns), prepares it for the block size and sample rate, then applies every --set.
std::unique_ptr<QuorvaneDSPKernel> makeSynth(const RenderOptions& options);
