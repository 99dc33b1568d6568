// The render call never touches the heap, whatever the block size.
#include "tests/PallixAU/engine/KernelTestSupport.h"
#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

TEST(SequencerAllocation, RenderingAllocatesNothing) {
  auto kernel = preparedKernel();
  std::vector<Kernel::Phrase> phrases;
  for (auto slot :
       {Kernel::SlotTag::turnaround, Kernel::SlotTag::fillBar4, Kernel::SlotTag::fillBar8,
        Kernel::SlotTag::fillBar3to4, Kernel::SlotTag::fillBar7to8})
    phrases.push_back(phraseOf(slot, "a family name longer than the small-string buffer",
                               {phraseNote(0, 12, Kernel::VoiceTag::melody)}));
  useCatalogue(*kernel, phrases);
  kernel->embroidery = 1.0f;
  ScriptedHost host;
  host.play(*kernel, 2048, 512); // the sent-message buffer is reserved up front
  gAllocations = 0;
  gCounting = true;
  for (std::int64_t block = 1; block <= 512; block += 37)
    host.play(*kernel, 12 * block, block);
  gCounting = false;
  EXPECT_EQ(gAllocations, 0);
}
