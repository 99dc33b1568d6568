# Corrects what JUCE 7.0.5 writes into an LV2 bundle's description, after JUCE's helper has
# written the bundle's .ttl files:
#
#   cmake -DBUNDLE=<X.lv2> -DURI=<plug-in URI> -DCLASS=<lv2 plug-in class>
#         [-DUNITS=<id>=<unit>,...] [-DLOGARITHMIC=<id>,...] [-DMIDI_INPUT=FALSE]
#         -P Lv2Description.cmake
#
# CLASS is the class hosts sort the plug-in by, UNITS gives parameters a unit of the LV2 units
# vocabulary (s, hz, ...), LOGARITHMIC names the parameters shown on a logarithmic scale, and
# MIDI_INPUT FALSE says the plug-in takes no MIDI in.
# Each change says which JUCE behaviour it works around.
cmake_minimum_required(VERSION 3.25)

string(REPLACE "," ";" units "${UNITS}")
string(REPLACE "," ";" logarithmic "${LOGARITHMIC}")

# One parameter block of dsp.ttl ("plug:<id>\n\ta lv2:Parameter ;\n ... .\n"), corrected.
function(describe_parameter block result)
  string(REGEX MATCH "^plug:([A-Za-z0-9_]+)\n" id "${block}")
  set(id "${CMAKE_MATCH_1}")
  # JUCE puts a tab before the separator that follows lv2:maximum.
  string(REGEX REPLACE "(lv2:maximum [^\n\t]+)\t ;" "\\1 ;" block "${block}")
  set(properties "")
  if(block MATCHES "lv2:portProperty lv2:enumeration")
    # JUCE writes a stepped parameter as a float whose scale points sit at normalised
    # positions (step / (steps - 1)); its steps are whole numbers from lv2:minimum up, and
    # hosts compare scale points with the parameter's own values.
    string(REPLACE "rdfs:range atom:Float" "rdfs:range atom:Int" block "${block}")
    list(APPEND properties "lv2:integer" "lv2:enumeration")
    if(block MATCHES "lv2:portProperty lv2:enumeration , lv2:toggled")
      list(APPEND properties "lv2:toggled")
    endif()
    string(REGEX REPLACE "\tlv2:portProperty lv2:enumeration [^;]*;\n" "" block "${block}")
    string(REGEX MATCH "lv2:minimum ([-0-9]+) ;" minimum "${block}")
    if(NOT minimum)
      message(FATAL_ERROR "${id}: a stepped parameter needs a whole lv2:minimum")
    endif()
    set(step ${CMAKE_MATCH_1})
    set(corrected "")
    while(block MATCHES "rdf:value [^ ;]+ ;")
      string(FIND "${block}" "${CMAKE_MATCH_0}" at)
      string(LENGTH "${CMAKE_MATCH_0}" length)
      string(SUBSTRING "${block}" 0 ${at} before)
      math(EXPR after "${at} + ${length}")
      string(SUBSTRING "${block}" ${after} -1 block)
      string(APPEND corrected "${before}rdf:value ${step} ;")
      math(EXPR step "${step} + 1")
    endwhile()
    set(block "${corrected}${block}")
  endif()
  # JUCE writes no unit and no scale for any parameter.
  if(id IN_LIST logarithmic)
    list(APPEND properties "pprop:logarithmic")
  endif()
  set(extra "")
  if(properties)
    # Hosts read port properties of parameters too (JUCE's own LV2 host does).
    list(JOIN properties " , " properties)
    string(APPEND extra "\tlv2:portProperty ${properties} ;\n")
  endif()
  foreach(entry IN LISTS units)
    if(entry MATCHES "^${id}=(.+)$")
      string(APPEND extra "\tunits:unit units:${CMAKE_MATCH_1} ;\n")
    endif()
  endforeach()
  string(REGEX REPLACE "(\trdfs:range [^\n]+\n)" "\\1${extra}" block "${block}")
  set(${result} "${block}" PARENT_SCOPE)
endfunction()

file(READ ${BUNDLE}/dsp.ttl dsp)
set(corrected "")
while(dsp MATCHES "plug:[A-Za-z0-9_]+\n\ta lv2:Parameter ;\n")
  string(FIND "${dsp}" "${CMAKE_MATCH_0}" start)
  string(SUBSTRING "${dsp}" 0 ${start} before)
  string(SUBSTRING "${dsp}" ${start} -1 dsp)
  string(FIND "${dsp}" " .\n" end)
  math(EXPR end "${end} + 3")
  string(SUBSTRING "${dsp}" 0 ${end} block)
  string(SUBSTRING "${dsp}" ${end} -1 dsp)
  describe_parameter("${block}" block)
  string(APPEND corrected "${before}${block}")
endwhile()
set(dsp "${corrected}${dsp}")
# JUCE writes lv2:Plugin for anything but a synthesiser, MIDI effects included.
string(REGEX REPLACE "\ta lv2:[A-Za-z]*Plugin ;\n\tdoap:name" "\ta lv2:${CLASS} ;\n\tdoap:name"
       dsp "${dsp}")
# JUCE declares MIDI input for every MIDI effect, whether it takes MIDI or not.
if(DEFINED MIDI_INPUT AND NOT MIDI_INPUT)
  string(FIND "${dsp}" "a lv2:InputPort , atom:AtomPort ;" start)
  string(FIND "${dsp}" "lv2:symbol \"in\" ;" end)
  if(start EQUAL -1 OR end LESS start)
    message(FATAL_ERROR "no atom input port in ${BUNDLE}/dsp.ttl")
  endif()
  math(EXPR length "${end} - ${start}")
  string(SUBSTRING "${dsp}" ${start} ${length} port)
  string(REPLACE "\t\t\tmidi:MidiEvent ,\n" "" corrected_port "${port}")
  string(REPLACE "${port}" "${corrected_port}" dsp "${dsp}")
endif()
# JUCE writes the maker's e-mail address as foaf:mbox even when there is none, and <> is the
# description file itself, which hosts then show as the address.
string(REPLACE "\t\tfoaf:mbox <> ;\n" "" dsp "${dsp}")
file(WRITE ${BUNDLE}/dsp.ttl "${dsp}")

# The editor's features and extension data, each in its own list.
file(READ ${BUNDLE}/ui.ttl ui)
string(REPLACE "\t\tui:noUserResize ,\n" "" ui "${ui}")
string(REPLACE "\t\tui:resize ,\n\t\topts:interface ,\n" "\t\tui:resize ,\n" ui "${ui}")
file(WRITE ${BUNDLE}/ui.ttl "${ui}")

# What the generated files use without defining: the plug-in as a project (it has a
# maintainer and releases) and the property by which the factory programs are stored.
file(WRITE ${BUNDLE}/orrinbrook.ttl
"@prefix doap: <http://usefulinc.com/ns/doap#> .
@prefix lv2:  <http://lv2plug.in/ns/lv2core#> .
@prefix rdf:  <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .
@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .

<${URI}> a doap:Project .

<${URI}:Program>
	a rdf:Property ;
	rdfs:label \"Program\" ;
	rdfs:comment \"The number of a factory program, which sets every parameter.\" .
")
file(READ ${BUNDLE}/manifest.ttl manifest)
if(NOT manifest MATCHES "orrinbrook.ttl")
  file(APPEND ${BUNDLE}/manifest.ttl "\n<${URI}>\n\trdfs:seeAlso <orrinbrook.ttl> .\n")
endif()
