// How many float lanes the render loops use: eight where the processor has AVX2, else four.
#pragma once

namespace quorvane::dsp {

enum class VectorWidth { four = 4, eight = 8 };

// Whether this processor and build can run the eight-lane loops.
bool eightLanesAvailable() noexcept;

// The width in use: eight where available, unless chosen otherwise. Both widths give the same
// results bit for bit; the choice is only about speed.
VectorWidth vectorWidth() noexcept;

// Chooses the width (eight only where available; four anywhere). For tests and measurements
// that compare the two; any thread, but renders already running may finish at the old width.
void useVectorWidth(VectorWidth width) noexcept;

} // namespace quorvane::dsp
