// The synthesiser's render block: every event of the list at the buffer's start, then the kernel.
#pragma once

#include "platform/audiounit/RenderTypes.h"

#include <memory>
#include <vector>

namespace quorvane::dsp {
class QuorvaneDSPKernel;
} // namespace quorvane::dsp

namespace quorvane::unit {

// Output memory for hosts that pass buffers without memory; sized when resources are
// allocated, used by the render block only.
struct QuorvaneRenderBuffers {
  std::vector<float> left;
  std::vector<float> right;
  // Main or control thread, outside rendering.
  void allocate(AUAudioFrameCount frames) {
    left.assign(frames, 0.0f);
    right.assign(frames, 0.0f);
  }
};

// The block holds the engine and the buffers, not the unit. Render thread; it never
// allocates, locks or fails.
AUInternalRenderBlock makeQuorvaneRenderBlock(std::shared_ptr<dsp::QuorvaneDSPKernel> kernel,
                                              std::shared_ptr<QuorvaneRenderBuffers> buffers);

} // namespace quorvane::unit
