// Four float lanes for the unison oscillators: GCC vector extensions, or a portable fallback
// (also chosen with QUORVANE_PORTABLE_SIMD, so tests can check it gives the same results).
#pragma once

#if defined(__GNUC__) && !defined(QUORVANE_PORTABLE_SIMD)
#include "QuorvaneAU/dsp/simd/Float4Vector.h"
#else
#include "QuorvaneAU/dsp/simd/Float4Portable.h"
#endif
