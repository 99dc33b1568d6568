// Messages in and out, the work and its answer.
#include "plugins/lv2/ExtrasExchange.h"

#include "plugins/lv2/ExtrasMessage.h"

#include <cstring>

namespace plugins::lv2 {

ExtrasExchange::ExtrasExchange(const PluginDefinition& definition, AUAudioUnit& unit,
                               const Uris& uris, const LV2_Worker_Schedule* schedule)
    : definition_(definition), unit_(unit), uris_(uris), schedule_(schedule),
      inbound_(kLargestExtrasText), outgoing_(currentText()) {}

ExtrasExchange::~ExtrasExchange() {
  delete outgoing_;
  delete retired_.exchange(nullptr);
}

std::string* ExtrasExchange::currentText() {
  const std::lock_guard hold(unitMutex_);
  return new std::string(extrasText(definition_, unit_));
}

bool ExtrasExchange::read(const LV2_Atom_Object& object) noexcept {
  if (isExtrasRequest(object, uris_)) {
    owed_ = true;
    return true;
  }
  const auto text = extrasIn(object, uris_);
  if (!text)
    return object.body.otype == uris_.extras; // ours, but not a text we can use
  bool idle = false;
  if (!schedule_ || text->size() > inbound_.size() ||
      !applying_.compare_exchange_strong(idle, true)) {
    owed_ = true;
    return true;
  }
  std::memcpy(inbound_.data(), text->data(), text->size());
  inboundSize_ = text->size();
  const Job job{Job::apply, nullptr};
  if (schedule_->schedule_work(schedule_->handle, sizeof job, &job) != LV2_WORKER_SUCCESS) {
    applying_.store(false);
    owed_ = true;
  }
  return true;
}

LV2_Worker_Status ExtrasExchange::work(LV2_Worker_Respond_Function respond,
                                       LV2_Worker_Respond_Handle handle, std::uint32_t size,
                                       const void* data) {
  Job job{};
  if (size != sizeof job || !data)
    return LV2_WORKER_ERR_UNKNOWN;
  std::memcpy(&job, data, sizeof job);
  delete retired_.exchange(nullptr);
  if (job.kind == Job::release) {
    delete job.text;
    return LV2_WORKER_SUCCESS;
  }
  std::string* text = nullptr;
  {
    const std::lock_guard hold(unitMutex_);
    // What the editor sent is used only if it reads; the answer is the unit's either way.
    (void)applyExtrasText(definition_, unit_, std::string_view(inbound_.data(), inboundSize_));
    text = new std::string(extrasText(definition_, unit_));
  }
  const Job answer{Job::apply, text};
  if (respond(handle, sizeof answer, &answer) != LV2_WORKER_SUCCESS) {
    delete text;
    applying_.store(false);
  }
  return LV2_WORKER_SUCCESS;
}

LV2_Worker_Status ExtrasExchange::respond(std::uint32_t size, const void* data) noexcept {
  Job answer{};
  if (size != sizeof answer || !data)
    return LV2_WORKER_ERR_UNKNOWN;
  std::memcpy(&answer, data, sizeof answer);
  if (answer.kind != Job::apply || !answer.text)
    return LV2_WORKER_ERR_UNKNOWN;
  std::string* replaced = outgoing_;
  outgoing_ = answer.text;
  owed_ = true;
  // Deleted by the worker; when it cannot be asked, by the next work (or the end).
  const Job release{Job::release, replaced};
  std::string* none = nullptr;
  if (replaced &&
      schedule_->schedule_work(schedule_->handle, sizeof release, &release) != LV2_WORKER_SUCCESS)
    (void)retired_.compare_exchange_strong(none, replaced); // beyond one waiting, it is lost
  applying_.store(false);
  return LV2_WORKER_SUCCESS;
}

void ExtrasExchange::write(LV2_Atom_Forge& forge) noexcept {
  if (!owed_ || !outgoing_)
    return;
  const LV2_Atom_Forge_Ref frame = lv2_atom_forge_frame_time(&forge, 0);
  owed_ = !frame || !forgeExtras(forge, uris_, *outgoing_);
}

void ExtrasExchange::unitChanged() {
  std::string* text = currentText();
  delete outgoing_;
  outgoing_ = text;
  owed_ = true;
}

} // namespace plugins::lv2
