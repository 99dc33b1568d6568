// The plug-in's end of the extras messages (ExtrasMessage.h): what its editor sends is applied
// to the unit by the host's worker, and what the unit holds is sent back on the notify output
// whenever it changes or the editor asks.
#pragma once

#include "plugins/lv2/PluginDefinition.h"
#include "plugins/lv2/Uris.h"

#include <lv2/atom/forge.h>
#include <lv2/worker/worker.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace plugins::lv2 {

// Reading a text and giving it to the unit allocate, so the run only copies a message into a
// buffer kept for it and schedules the work; one message at a time (one arriving while another
// is being applied, or without a worker, is answered with what the unit holds, so the editor
// shows the truth). The worker hands back the unit's new text by pointer, and the run keeps it
// to send; the text it replaces goes back to the worker to be deleted, never on the run.
// Threads: read, write and respond on the run's; work on the worker's; unitChanged in the
// instantiation class. Whoever reads or changes the unit's extras holds unitMutex().
class ExtrasExchange {
public:
  ExtrasExchange(const PluginDefinition& definition, AUAudioUnit& unit, const Uris& uris,
                 const LV2_Worker_Schedule* schedule);
  ~ExtrasExchange();
  ExtrasExchange(const ExtrasExchange&) = delete;
  ExtrasExchange& operator=(const ExtrasExchange&) = delete;

  // A message from the editor, taken; false when the object is none of ours.
  bool read(const LV2_Atom_Object& object) noexcept;
  // The unit's text as an event at frame 0 of the sequence being forged, when one is owed and
  // fits (else it is owed to the next run).
  void write(LV2_Atom_Forge& forge) noexcept;

  LV2_Worker_Status work(LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle handle,
                         std::uint32_t size, const void* data);
  LV2_Worker_Status respond(std::uint32_t size, const void* data) noexcept;

  // The unit's extras changed by other means (a state restored): sent on the next run.
  void unitChanged();
  std::mutex& unitMutex() noexcept { return unitMutex_; }

private:
  struct Job {
    enum Kind : std::uint32_t { apply, release } kind;
    std::string* text;
  };

  std::string* currentText();

  const PluginDefinition& definition_;
  AUAudioUnit& unit_;
  const Uris& uris_;
  const LV2_Worker_Schedule* schedule_;
  std::mutex unitMutex_;
  std::vector<char> inbound_; // the message being applied
  std::size_t inboundSize_ = 0;
  std::atomic<bool> applying_{false};
  std::string* outgoing_ = nullptr;            // the unit's text, as the run last knew it
  std::atomic<std::string*> retired_{nullptr}; // replaced, and the worker could not be asked
  bool owed_ = true;                           // the editor does not have outgoing_ yet
};

} // namespace plugins::lv2
