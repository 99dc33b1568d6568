// The generator's LV2 shared object: its one entry point.
#include "plugins/lv2/Descriptor.h"
#include "plugins/lv2/pallix/PallixDefinition.h"

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(std::uint32_t index) {
  return index == 0 ? plugins::lv2::descriptorOf(plugins::lv2::kPallixDefinition) : nullptr;
}
