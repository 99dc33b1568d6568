// Ports from the parameter table: range, default, unit, steps and taper, in address order.
#include "plugins/lv2/describe/Description.h"

#include "platform/foundation/ParameterText.h"
#include "plugins/lv2/ExtrasMessage.h"
#include "plugins/lv2/describe/Turtle.h"

#include <sstream>

namespace plugins::lv2 {

namespace {

constexpr const char* kPrefixes = R"(@prefix atom: <http://lv2plug.in/ns/ext/atom#> .
@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .
@prefix doap: <http://usefulinc.com/ns/doap#> .
@prefix foaf: <http://xmlns.com/foaf/0.1/> .
@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix midi: <http://lv2plug.in/ns/ext/midi#> .
@prefix opts: <http://lv2plug.in/ns/ext/options#> .
@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .
@prefix pset: <http://lv2plug.in/ns/ext/presets#> .
@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .
@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .
@prefix rsz: <http://lv2plug.in/ns/ext/resize-port#> .
@prefix state: <http://lv2plug.in/ns/ext/state#> .
@prefix time: <http://lv2plug.in/ns/ext/time#> .
@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .
@prefix units: <http://lv2plug.in/ns/extensions/units#> .
@prefix urid: <http://lv2plug.in/ns/ext/urid#> .
@prefix work: <http://lv2plug.in/ns/ext/worker#> .

)";

const char* unitOf(foundation::ParameterUnit unit) {
  switch (unit) {
  case foundation::ParameterUnit::seconds:
    return "units:s";
  case foundation::ParameterUnit::hertz:
    return "units:hz";
  default:
    return nullptr;
  }
}

void controlPort(std::ostream& out, const foundation::ParameterRow& row, float defaultValue) {
  out << "    a lv2:InputPort, lv2:ControlPort ;\n"
      << "    lv2:index " << row.address << " ;\n"
      << "    lv2:symbol " << quoted(row.identifier) << " ;\n"
      << "    lv2:name " << quoted(row.name) << " ;\n"
      << "    lv2:default " << decimal(defaultValue) << " ;\n"
      << "    lv2:minimum " << decimal(row.min) << " ;\n"
      << "    lv2:maximum " << decimal(row.max) << " ;\n";
  // Echo Time's values are seconds though its platform unit is generic; a normalised reading
  // (the cutoff) has no unit a host could show.
  const auto& reading = row.reading;
  const bool plainReading =
      reading.unit != foundation::ParameterUnit::generic && !(reading.high > reading.low);
  if (const char* unit = unitOf(plainReading ? reading.unit : row.unit))
    out << "    units:unit " << unit << " ;\n";
  if (row.taper == foundation::ParameterTaper::logarithmic)
    out << "    lv2:portProperty pprops:logarithmic ;\n";
  if (!row.valueNames.empty()) {
    out << "    lv2:portProperty lv2:integer, lv2:enumeration ;\n    lv2:scalePoint ";
    for (std::size_t i = 0; i < row.valueNames.size(); ++i)
      out << (i ? " ,\n      " : "") << "[ rdfs:label "
          << quoted(foundation::displayText(row, row.min + float(i))) << " ; rdf:value "
          << decimal(row.min + float(i)) << " ]";
    out << " ;\n";
  }
}

// The editor's messages of extras need room (kAtomBufferBytes).
void atomPort(std::ostream& out, bool input, std::uint32_t index, const char* symbol,
              const char* name, bool roomForExtras) {
  out << "    a lv2:" << (input ? "InputPort" : "OutputPort") << ", atom:AtomPort ;\n"
      << "    atom:bufferType atom:Sequence ;\n"
      << "    atom:supports midi:MidiEvent" << (input ? ", time:Position" : "") << " ;\n";
  if (input)
    out << "    lv2:designation lv2:control ;\n";
  if (roomForExtras)
    out << "    rsz:minimumSize " << kAtomBufferBytes << " ;\n";
  out << "    lv2:index " << index << " ;\n"
      << "    lv2:symbol " << quoted(symbol) << " ;\n"
      << "    lv2:name " << quoted(name) << " ;\n";
}

// What the plug-in tells its editor of the unit's extras.
void notifyPort(std::ostream& out, std::uint32_t index) {
  out << "    a lv2:OutputPort, atom:AtomPort ;\n"
      << "    atom:bufferType atom:Sequence ;\n"
      << "    lv2:designation lv2:control ;\n"
      << "    rsz:minimumSize " << kAtomBufferBytes << " ;\n"
      << "    lv2:portProperty lv2:connectionOptional ;\n"
      << "    lv2:index " << index << " ;\n"
      << "    lv2:symbol \"notify\" ;\n"
      << "    lv2:name \"Notify\" ;\n";
}

// Hosts pass output ports on to the editor; nobody else needs to see them.
void editorSizePort(std::ostream& out, std::uint32_t index, const char* symbol, const char* name) {
  out << "    a lv2:OutputPort, lv2:ControlPort ;\n"
      << "    lv2:index " << index << " ;\n"
      << "    lv2:symbol " << quoted(symbol) << " ;\n"
      << "    lv2:name " << quoted(name) << " ;\n"
      << "    lv2:default 0 ;\n    lv2:minimum 0 ;\n    lv2:maximum " << kMaximumEditorSide
      << " ;\n"
      << "    lv2:portProperty lv2:integer, lv2:connectionOptional, pprops:notOnGUI ;\n";
}

void audioPort(std::ostream& out, std::uint32_t index, const char* symbol, const char* name) {
  out << "    a lv2:OutputPort, lv2:AudioPort ;\n"
      << "    lv2:index " << index << " ;\n"
      << "    lv2:symbol " << quoted(symbol) << " ;\n"
      << "    lv2:name " << quoted(name) << " ;\n";
}

} // namespace

std::string presetUri(const PluginDefinition& definition, std::size_t number) {
  return std::string(definition.uri) + ":preset" + std::to_string(number + 1);
}

std::string manifestTurtle(const PluginDefinition& definition, const std::string& binary,
                           const std::string& pluginFile,
                           const std::vector<DescribedPreset>& presets,
                           const std::string& presetsFile, const std::string& uiBinary) {
  std::ostringstream out;
  out << kPrefixes << "<" << definition.uri << ">\n"
      << "  a lv2:Plugin, lv2:" << definition.lv2Class << " ;\n"
      << "  lv2:binary <" << binary << "> ;\n"
      << "  rdfs:seeAlso <" << pluginFile << "> .\n";
  // The editor embeds in the host's window, needs the host's idle calls to run, and reaches
  // the plug-in through its ports alone.
  if (!uiBinary.empty())
    out << "\n<" << definition.uiUri() << ">\n"
        << "  a ui:X11UI ;\n"
        << "  ui:binary <" << uiBinary << "> ;\n"
        << "  lv2:requiredFeature ui:idleInterface ;\n"
        << "  lv2:optionalFeature ui:parent, ui:resize, ui:touch, urid:map ;\n"
        << "  lv2:extensionData ui:idleInterface, ui:resize ;\n"
        << "  ui:portNotification [ ui:plugin <" << definition.uri
        << "> ; lv2:symbol \"editorWidth\" ; ui:protocol ui:floatProtocol ] , [ ui:plugin <"
        << definition.uri << "> ; lv2:symbol \"editorHeight\" ; ui:protocol ui:floatProtocol ]"
        << (definition.editorChangesExtras
                ? std::string(" , [ ui:plugin <") + definition.uri +
                      "> ; lv2:symbol \"notify\" ; ui:protocol atom:eventTransfer ]"
                : std::string())
        << " .\n";
  for (std::size_t i = 0; i < presets.size(); ++i)
    out << "\n<" << presetUri(definition, i) << ">\n"
        << "  a pset:Preset ;\n"
        << "  lv2:appliesTo <" << definition.uri << "> ;\n"
        << "  rdfs:label " << quoted(presets[i].name) << " ;\n"
        << "  rdfs:seeAlso <" << presetsFile << "> .\n";
  return out.str();
}

std::string pluginTurtle(const PluginDefinition& definition, const std::vector<float>& defaults,
                         bool withUi) {
  const PortLayout ports = definition.ports();
  std::ostringstream out;
  out << kPrefixes << "<" << definition.uri << ">\n"
      << "  a lv2:Plugin, lv2:" << definition.lv2Class << " ;\n"
      << "  doap:name " << quoted(definition.name) << " ;\n"
      << "  doap:license <https://www.gnu.org/licenses/agpl-3.0.html> ;\n"
      // Even for a release, raised when ports are added (the bend range, the notify output).
      << "  lv2:minorVersion 2 ;\n  lv2:microVersion 0 ;\n"
      << "  lv2:requiredFeature urid:map ;\n"
      << "  lv2:optionalFeature lv2:hardRTCapable, opts:options"
      << (ports.notify ? ", work:schedule" : "") << " ;\n"
      << "  opts:supportedOption bufsz:maxBlockLength, bufsz:nominalBlockLength ;\n"
      << "  lv2:extensionData state:interface" << (ports.notify ? ", work:interface" : "")
      << " ;\n";
  if (withUi)
    out << "  ui:ui <" << definition.uiUri() << "> ;\n";
  out << "  lv2:port [\n";
  for (std::uint32_t address = 0; address < ports.parameters; ++address) {
    controlPort(out, *definition.row(address), defaults.at(address));
    out << "  ] , [\n";
  }
  atomPort(out, true, ports.eventsIn(), "events_in", "Events In", ports.notify);
  if (ports.audioOutput) {
    out << "  ] , [\n";
    audioPort(out, ports.left(), "out_left", "Left");
    out << "  ] , [\n";
    audioPort(out, ports.right(), "out_right", "Right");
  } else {
    out << "  ] , [\n";
    atomPort(out, false, ports.eventsOut(), "midi_out", "MIDI Out", false);
  }
  out << "  ] , [\n";
  editorSizePort(out, ports.editorWidth(), "editorWidth", "Editor Width");
  out << "  ] , [\n";
  editorSizePort(out, ports.editorHeight(), "editorHeight", "Editor Height");
  if (ports.notify) {
    out << "  ] , [\n";
    notifyPort(out, ports.notifyOut());
  }
  out << "  ] .\n";
  return out.str();
}

std::string presetsTurtle(const PluginDefinition& definition,
                          const std::vector<DescribedPreset>& presets) {
  std::ostringstream out;
  out << kPrefixes;
  for (std::size_t i = 0; i < presets.size(); ++i) {
    out << "<" << presetUri(definition, i) << ">\n"
        << "  a pset:Preset ;\n"
        << "  lv2:appliesTo <" << definition.uri << "> ;\n"
        << "  rdfs:label " << quoted(presets[i].name) << " ;\n"
        << "  lv2:port";
    for (std::uint32_t address = 0; address < presets[i].values.size(); ++address)
      out << (address ? " ,\n    " : " ") << "[ lv2:symbol "
          << quoted(definition.row(address)->identifier) << " ; pset:value "
          << decimal(presets[i].values[address]) << " ]";
    out << " .\n\n";
  }
  return out.str();
}

} // namespace plugins::lv2
