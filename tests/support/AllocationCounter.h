// Counts heap allocations in a test executable that links allocation_counter, which replaces
// the global operator new and delete.
#pragma once

#include <atomic>

// While gCounting is true, every allocation adds one to gAllocations (on any thread).
extern std::atomic<bool> gCounting;
extern std::atomic<long> gAllocations;
