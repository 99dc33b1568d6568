// The two units the app hosts in its own process: their descriptions, registered names, and
// the factories the component registry makes them with.
#pragma once

#include "platform/audiounit/AUAudioUnit.h"

#include <array>
#include <cstdint>
#include <optional>

namespace app {

struct InProcessUnit {
  AudioComponentDescription description;
  const char* name;
  std::uint32_t version;
};

extern const InProcessUnit kInProcessSynthesiser;
extern const InProcessUnit kInProcessGenerator;

struct InProcessUnitOptions {
  // The synthesiser's kernel, reverb-left and reverb-right seeds; the system's random device
  // otherwise.
  std::optional<std::array<std::uint32_t, 3>> synthesiserSeeds;
  // The generator's phrases from the bundle and the user's catalogues folder (the process-wide
  // index), or from the bundle alone, so nothing under the home folder is read.
  bool userCatalogues = true;
};

// Registers QuorvaneAudioUnit and PallixAudioUnit under their in-process descriptions, made as
// the options say. A later call replaces the factories. Main thread.
void registerInProcessUnits(const InProcessUnitOptions& options);

} // namespace app
