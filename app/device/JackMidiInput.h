// A JACK MIDI input port of the app's own, whose messages go to the synthesiser as they arrive.
#pragma once

#include "platform/audiounit/RenderTypes.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace app {

// Threads: open, connect and close on the message thread; JACK's process thread schedules the
// messages (no allocation, no lock: the schedule block is a lock-free queue).
class JackMidiInput {
public:
  // The app's client, whose port is "Quorvane MIDI:midi_in".
  static constexpr const char* kClientName = "Quorvane MIDI";

  JackMidiInput() = default;
  ~JackMidiInput();
  JackMidiInput(const JackMidiInput&) = delete;
  JackMidiInput& operator=(const JackMidiInput&) = delete;

  // Keeps libjack from printing on standard error when it finds no server (a normal case
  // here: ALSA is used then). The whole process; any thread.
  static void silenceLibraryMessages();

  // The MIDI output ports of every JACK client; empty when no JACK server runs.
  static std::vector<std::string> sources();

  // Registers client clientName with one MIDI input port "midi_in" and starts it, without
  // starting a server. Messages of one to three bytes go to schedule at the immediate time.
  // False when no JACK server runs.
  bool open(const std::string& clientName, AUScheduleMIDIEventBlock schedule);
  // Connects a source port ("client:port") to ours; false when it does not exist.
  bool connect(const std::string& source);
  // Connects every MIDI output port but our own. Returns how many.
  int connectAll();
  // From now on, also every MIDI output port that appears later (connected on the message
  // thread, as JACK forbids connecting from its notification thread).
  void followNewSources();
  void close();
  bool isOpen() const noexcept { return client_ != nullptr; }

private:
  static int process(std::uint32_t frames, void* self);
  static void portRegistered(std::uint32_t port, int registered, void* self);

  void* client_ = nullptr; // jack_client_t
  void* port_ = nullptr;   // jack_port_t
  AUScheduleMIDIEventBlock schedule_;
  std::atomic<bool> following_{false}; // read on JACK's notification thread
  // Held weakly by connections posted to the message thread; gone with the client.
  std::shared_ptr<JackMidiInput*> self_;
};

} // namespace app
