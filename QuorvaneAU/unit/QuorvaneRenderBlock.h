// The synthesiser's render block: each event of the list at its own frame, the kernel between.
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

// The block holds the engine and the buffers, not the unit. An event applies at its sample time
// less the call's (events at one frame in list order), kept within the call; the list is in time
// order, and an event earlier than the one before it applies with that one. Render thread; it
// never allocates, locks or fails.
AUInternalRenderBlock makeQuorvaneRenderBlock(std::shared_ptr<dsp::QuorvaneDSPKernel> kernel,
                                              std::shared_ptr<QuorvaneRenderBuffers> buffers);

} // namespace quorvane::unit
