// The app's JACK MIDI port.
#include "app/device/JackMidiInput.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <juce_events/juce_events.h>

#include <cerrno>
#include <string_view>

namespace app {

namespace {

jack_client_t* asClient(void* client) { return static_cast<jack_client_t*>(client); }

std::vector<std::string> midiOutputPorts(jack_client_t* client) {
  std::vector<std::string> names;
  const char** ports = jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
  if (ports == nullptr)
    return names;
  for (const char** port = ports; *port != nullptr; ++port)
    names.emplace_back(*port);
  jack_free(static_cast<void*>(ports));
  return names;
}

void ignoreMessage(const char*) {}

} // namespace

JackMidiInput::~JackMidiInput() { close(); }

void JackMidiInput::silenceLibraryMessages() {
  jack_set_error_function(&ignoreMessage);
  jack_set_info_function(&ignoreMessage);
}

std::vector<std::string> JackMidiInput::sources() {
  jack_client_t* client = jack_client_open("quorvane-list", JackNoStartServer, nullptr);
  if (client == nullptr)
    return {};
  auto names = midiOutputPorts(client);
  jack_client_close(client);
  return names;
}

bool JackMidiInput::open(const std::string& clientName, AUScheduleMIDIEventBlock schedule) {
  close();
  jack_client_t* client = jack_client_open(clientName.c_str(), JackNoStartServer, nullptr);
  if (client == nullptr)
    return false;
  jack_port_t* port =
      jack_port_register(client, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  // Set before activation, which publishes them to the process thread.
  schedule_ = std::move(schedule);
  client_ = client;
  port_ = port;
  self_ = std::make_shared<JackMidiInput*>(this);
  if (port == nullptr || jack_set_process_callback(client, &JackMidiInput::process, this) != 0 ||
      jack_set_port_registration_callback(client, &JackMidiInput::portRegistered, this) != 0 ||
      jack_activate(client) != 0) {
    close();
    return false;
  }
  return true;
}

bool JackMidiInput::connect(const std::string& source) {
  if (client_ == nullptr)
    return false;
  const int status = jack_connect(asClient(client_), source.c_str(),
                                  jack_port_name(static_cast<jack_port_t*>(port_)));
  return status == 0 || status == EEXIST;
}

int JackMidiInput::connectAll() {
  if (client_ == nullptr)
    return 0;
  int connected = 0;
  for (const auto& source : midiOutputPorts(asClient(client_))) {
    jack_port_t* port = jack_port_by_name(asClient(client_), source.c_str());
    if (port != nullptr && jack_port_is_mine(asClient(client_), port) == 0 && connect(source))
      ++connected;
  }
  return connected;
}

void JackMidiInput::followNewSources() { following_.store(true, std::memory_order_relaxed); }

void JackMidiInput::close() {
  if (client_ == nullptr)
    return;
  following_.store(false, std::memory_order_relaxed);
  // Returns once the process and notification threads have stopped; connections posted before
  // then find no input any more.
  jack_client_close(asClient(client_));
  self_.reset();
  client_ = nullptr;
  port_ = nullptr;
  schedule_ = nullptr;
}

void JackMidiInput::portRegistered(std::uint32_t id, int registered, void* self) {
  auto& input = *static_cast<JackMidiInput*>(self);
  if (registered == 0 || !input.following_.load(std::memory_order_relaxed))
    return;
  jack_port_t* port = jack_port_by_id(asClient(input.client_), id);
  if (port == nullptr || (jack_port_flags(port) & JackPortIsOutput) == 0 ||
      std::string_view(jack_port_type(port)) != JACK_DEFAULT_MIDI_TYPE ||
      jack_port_is_mine(asClient(input.client_), port) != 0)
    return;
  juce::MessageManager::callAsync([weak = std::weak_ptr<JackMidiInput*>(input.self_),
                                   name = std::string(jack_port_name(port))] {
    if (auto alive = weak.lock())
      (*alive)->connect(name);
  });
}

int JackMidiInput::process(std::uint32_t frames, void* self) {
  auto& input = *static_cast<JackMidiInput*>(self);
  void* buffer = jack_port_get_buffer(static_cast<jack_port_t*>(input.port_), frames);
  const std::uint32_t count = jack_midi_get_event_count(buffer);
  for (std::uint32_t i = 0; i < count; ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, buffer, i) != 0)
      continue;
    // System exclusive and longer messages mean nothing to the synthesiser.
    if (event.size >= 1 && event.size <= 3)
      input.schedule_(AUEventSampleTimeImmediate, 0, static_cast<int>(event.size), event.buffer);
  }
  return 0;
}

} // namespace app
