// A scripted host for the sequencer (tempo, meter, position, transport, MIDI capture) and
// small catalogues built in code.
#pragma once

#include "PallixAU/engine/CatalogIndex.h"
#include "PallixAU/engine/Kernel.h"

#include <array>
#include <cmath>
#include <memory>
#include <vector>

struct SentMessage {
  std::int64_t time = 0;
  std::array<std::uint8_t, 3> bytes{};
  bool noteOn() const { return (bytes[0] & 0xF0) == 0x90; }
  bool noteOff() const { return (bytes[0] & 0xF0) == 0x80; }
  bool operator==(const SentMessage&) const = default;
};

// Collects what the kernel sends through the context's MIDI output.
inline void captureMIDI(ContextHolder& context, std::vector<SentMessage>& sent) {
  context.midiOut = [&sent](AUEventSampleTime time, std::uint8_t, int length,
                            const std::uint8_t* bytes) {
    if (length == 3)
      sent.push_back({time, {bytes[0], bytes[1], bytes[2]}});
    return 0;
  };
}

// Answers as a host whose transport moves from sample time `start` at a steady tempo.
class ScriptedHost {
public:
  explicit ScriptedHost(double sampleRate = 48000.0, double tempo = 120.0, double numerator = 4,
                        long denominator = 4)
      : sampleRate(sampleRate), tempo(tempo), numerator(numerator), denominator(denominator) {
    sent.reserve(1 << 16);
    captureMIDI(context, sent);
    context.musicalContext = [this](double* t, double* n, long* d, double* beat, long* toNext,
                                    double* downbeat) {
      const double spb = this->sampleRate * 60.0 / this->tempo;
      const double b = (now - start) / spb + beatOffset;
      const double quarters = this->numerator * 4.0 / static_cast<double>(this->denominator);
      *t = this->tempo;
      *n = this->numerator;
      *d = this->denominator;
      *beat = b;
      const auto toBeat = static_cast<long>(spb - spb * (b - std::floor(b)));
      *toNext = wholeBeatOnTheBeat ? toBeat : static_cast<long>(std::fmod(toBeat, spb));
      *downbeat = quarters * std::floor(b / quarters);
      return true;
    };
    context.transportState = [this](AUHostTransportStateFlags* flags, double*, double*, double*) {
      *flags = moving ? AUHostTransportStateMoving : 0;
      return true;
    };
  }

  // Renders frames in calls of blockSize from the current sample time.
  void play(Kernel& kernel, std::int64_t frames, std::int64_t blockSize,
            const AURenderEvent* events = nullptr) {
    for (std::int64_t done = 0; done < frames; done += blockSize) {
      const auto n = static_cast<AUAudioFrameCount>(std::min(blockSize, frames - done));
      kernel.render(AudioTimeStamp::withSampleTime(now), n, nullptr, events, context);
      now += n;
    }
  }

  std::int64_t samplesPerBar() const {
    return static_cast<std::int64_t>(sampleRate * 60.0 / tempo * numerator * 4.0 /
                                     static_cast<double>(denominator));
  }

  double sampleRate, tempo, numerator;
  long denominator;
  double start = 0.0;
  double now = 0.0;
  double beatOffset = 0.0; // added to the beat position, to jump the host
  bool moving = true;
  // Exactly on a beat, answer a whole beat to the next one instead of 0.
  bool wholeBeatOnTheBeat = false;
  ContextHolder context;
  std::vector<SentMessage> sent;
};

// A kernel at the sample rate, reset as an allocation leaves it.
inline std::unique_ptr<Kernel> preparedKernel(double sampleRate = 48000.0) {
  auto kernel = std::make_unique<Kernel>();
  kernel->sampleRate = sampleRate;
  kernel->reset();
  return kernel;
}

inline Kernel::PhraseEvent phraseNote(double at, int pitch, Kernel::VoiceTag voice,
                                      double length = 0.5) {
  return {at, pitch, length, 90, 100, voice};
}

inline Kernel::Phrase phraseOf(Kernel::SlotTag slot, std::string family,
                               std::vector<Kernel::PhraseEvent> events, int pulses = 4) {
  Kernel::Phrase phrase;
  phrase.slot = slot;
  phrase.pulsesPerBar = pulses;
  phrase.family = std::move(family);
  phrase.events = std::move(events);
  return phrase;
}

// Gives the kernel these phrases and their families.
inline void useCatalogue(Kernel& kernel, std::vector<Kernel::Phrase> phrases) {
  auto index = std::make_shared<const CatalogIndex>(std::move(phrases));
  auto families = std::make_shared<const std::vector<std::string>>(index->familyNames());
  kernel.useCatalogue(std::move(index), std::move(families));
}
