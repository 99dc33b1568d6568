// A scripted host for the sequencer (tempo, meter, position, transport, MIDI capture), what it
// heard, and small catalogues built in code.
#pragma once

#include "PallixAU/engine/Kernel.h"
#include "PallixAU/engine/catalogue/CatalogIndex.h"
#include "tests/support/Heard.h"

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

// Answers as a host whose transport moves from sample time 0 at a steady tempo.
class ScriptedHost {
public:
  explicit ScriptedHost(double sampleRate = 48000.0, double tempo = 120.0, double numerator = 4,
                        long denominator = 4)
      : sampleRate(sampleRate), tempo(tempo), numerator(numerator), denominator(denominator) {
    sent.reserve(1 << 16);
  }

  pallix::engine::HostPosition position() const {
    const double spb = sampleRate * 60.0 / tempo;
    const double b = now / spb + beatOffset;
    const double quarters = numerator * 4.0 / static_cast<double>(denominator);
    const auto toBeat = static_cast<long>(spb - spb * (b - std::floor(b)));
    const long toNext = wholeBeatOnTheBeat ? toBeat : static_cast<long>(std::fmod(toBeat, spb));
    const double beat = b + positionLead, downbeat = quarters * std::floor(b / quarters);
    return {true, tempo, numerator, denominator, beat, toNext, downbeat, true, moving};
  }

  pallix::engine::MidiSink midi() {
    return {[](void* self, std::int64_t time, const std::uint8_t* bytes, int length) noexcept {
              if (length == 3)
                static_cast<ScriptedHost*>(self)->sent.push_back(
                    {time, {bytes[0], bytes[1], bytes[2]}});
            },
            this};
  }

  // Renders frames in calls of blockSize from the current sample time.
  void play(pallix::engine::Kernel& kernel, std::int64_t frames, std::int64_t blockSize = 512) {
    for (std::int64_t done = 0; done < frames; done += blockSize) {
      const auto n = static_cast<std::uint32_t>(std::min(blockSize, frames - done));
      kernel.render(now, n, position(), midi());
      now += n;
    }
  }

  std::int64_t samplesPerBar() const {
    return static_cast<std::int64_t>(sampleRate * 60.0 / tempo * numerator * 4.0 /
                                     static_cast<double>(denominator));
  }

  double sampleRate, tempo, numerator;
  long denominator;
  double now = 0.0;
  double beatOffset = 0.0; // added to the beat position, to jump the host
  // Added to the beat position alone: the samples to the next beat stay true to beatOffset.
  double positionLead = 0.0;
  bool moving = true;
  bool wholeBeatOnTheBeat = false; // answer a whole beat to the next rather than 0
  std::vector<TimedMidi> sent;
};

using ParameterSettings = std::vector<std::pair<pallix::engine::PallixParameter, float>>;

// A kernel at the sample rate with these parameters (set in order) and phrases and their
// families, reset as an allocation leaves it.
inline std::unique_ptr<pallix::engine::Kernel>
preparedKernel(const ParameterSettings& settings = {},
               std::vector<pallix::engine::Phrase> phrases = {}, double sampleRate = 48000.0) {
  auto kernel = std::make_unique<pallix::engine::Kernel>();
  kernel->setSampleRate(sampleRate);
  for (const auto& [parameter, value] : settings)
    kernel->setParameter(parameter, value);
  if (!phrases.empty()) {
    auto index = std::make_shared<const pallix::engine::CatalogIndex>(std::move(phrases));
    auto families = std::make_shared<const std::vector<std::string>>(index->familyNames());
    kernel->useCatalogue(std::move(index), std::move(families));
  }
  kernel->reset();
  return kernel;
}

inline pallix::engine::PhraseEvent phraseNote(double at, int pitch, pallix::engine::VoiceTag voice,
                                              double length = 0.5) {
  return {at, pitch, length, 90, 100, voice};
}

// A phrase for bars of four pulses.
inline pallix::engine::Phrase phraseOf(pallix::engine::SlotTag slot, std::string family,
                                       std::vector<pallix::engine::PhraseEvent> events,
                                       pallix::engine::SuspensionFlags suspends = {}) {
  pallix::engine::Phrase phrase;
  phrase.slot = slot;
  phrase.pulsesPerBar = 4;
  phrase.suspends = suspends;
  phrase.family = std::move(family);
  phrase.events = std::move(events);
  return phrase;
}
