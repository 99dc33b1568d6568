// LV2's C entry points, each handing over to the instance; nothing escapes them.
#include "plugins/lv2/Descriptor.h"

#include "plugins/lv2/UnitInstance.h"

#include <lv2/state/state.h>
#include <lv2/worker/worker.h>

#include <cstring>
#include <exception>

namespace plugins::lv2 {

namespace {

// The descriptor first, so the host's pointer to it leads back to the definition.
struct DescribedPlugin {
  LV2_Descriptor descriptor;
  const PluginDefinition* definition;
};

UnitInstance& instanceOf(LV2_Handle handle) { return *static_cast<UnitInstance*>(handle); }

LV2_Handle instantiate(const LV2_Descriptor* descriptor, double sampleRate, const char*,
                       const LV2_Feature* const* features) {
  try {
    const auto& described = *reinterpret_cast<const DescribedPlugin*>(descriptor);
    return UnitInstance::create(*described.definition, sampleRate, features).release();
  } catch (const std::exception&) {
    return nullptr; // the host reports the plug-in as failing to load
  }
}

void connectPort(LV2_Handle handle, std::uint32_t port, void* data) {
  instanceOf(handle).connect(port, data);
}

void activate(LV2_Handle handle) {
  try {
    instanceOf(handle).activate();
  } catch (const std::exception&) {
    instanceOf(handle).deactivate(); // it renders silence
  }
}

void run(LV2_Handle handle, std::uint32_t frames) { instanceOf(handle).run(frames); }

void deactivate(LV2_Handle handle) { instanceOf(handle).deactivate(); }

void cleanup(LV2_Handle handle) { delete static_cast<UnitInstance*>(handle); }

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                      std::uint32_t, const LV2_Feature* const*) {
  try {
    return instanceOf(handle).save(store, state);
  } catch (const std::exception&) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle state, std::uint32_t, const LV2_Feature* const*) {
  try {
    return instanceOf(handle).restore(retrieve, state);
  } catch (const std::exception&) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_Worker_Status work(LV2_Handle handle, LV2_Worker_Respond_Function respond,
                       LV2_Worker_Respond_Handle respondHandle, std::uint32_t size,
                       const void* data) {
  try {
    ExtrasExchange* extras = instanceOf(handle).extras();
    return extras ? extras->work(respond, respondHandle, size, data) : LV2_WORKER_ERR_UNKNOWN;
  } catch (const std::exception&) {
    return LV2_WORKER_ERR_UNKNOWN;
  }
}

LV2_Worker_Status workResponse(LV2_Handle handle, std::uint32_t size, const void* data) {
  ExtrasExchange* extras = instanceOf(handle).extras();
  return extras ? extras->respond(size, data) : LV2_WORKER_ERR_UNKNOWN;
}

const void* extensionData(const char* uri) {
  static const LV2_State_Interface state{save, restore};
  static const LV2_Worker_Interface worker{work, workResponse, nullptr};
  if (std::strcmp(uri, LV2_STATE__interface) == 0)
    return &state;
  return std::strcmp(uri, LV2_WORKER__interface) == 0 ? &worker : nullptr;
}

} // namespace

const LV2_Descriptor* descriptorOf(const PluginDefinition& definition) {
  static const DescribedPlugin described{
      {definition.uri, instantiate, connectPort, activate, run, deactivate, cleanup, extensionData},
      &definition};
  return &described.descriptor;
}

} // namespace plugins::lv2
