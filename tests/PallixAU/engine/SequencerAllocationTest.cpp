// The render call never touches the heap, whatever the block size.
#include "tests/PallixAU/engine/KernelTestSupport.h"
#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

using pallix::engine::Phrase;
using pallix::engine::SlotTag;
using pallix::engine::VoiceTag;
using P = pallix::engine::PallixParameter;

TEST(SequencerAllocation, RenderingAllocatesNothing) {
  auto kernel = preparedKernel({{P::embroidery, 1}});
  std::vector<Phrase> phrases;
  for (auto slot : {SlotTag::turnaround, SlotTag::fillBar4, SlotTag::fillBar8, SlotTag::fillBar3to4,
                    SlotTag::fillBar7to8})
    phrases.push_back(phraseOf(slot, "a family name longer than the small-string buffer",
                               {phraseNote(0, 12, VoiceTag::melody)}));
  useCatalogue(*kernel, phrases);
  ScriptedHost host;
  host.play(*kernel, 2048, 512); // the sent-message buffer is reserved up front
  gAllocations = 0;
  gCounting = true;
  for (std::int64_t block = 1; block <= 512; block += 37)
    host.play(*kernel, 12 * block, block);
  gCounting = false;
  EXPECT_EQ(gAllocations, 0);
}
