# Corrects what JUCE 7.0.5 writes into an LV2 bundle's description, so that lv2_validate
# passes: cmake -DBUNDLE=<X.lv2> -DURI=<plug-in URI> -P Lv2Description.cmake, after JUCE's
# helper has written the bundle's .ttl files. -DCLASS=<lv2 plug-in class> adds the class hosts
# sort it by (JUCE writes only lv2:Plugin).

# Parameters are not ports: enumeration is a port property (the scale points stay).
file(READ ${BUNDLE}/dsp.ttl dsp)
string(REPLACE "\tlv2:portProperty lv2:enumeration ;\n" "" dsp "${dsp}")
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

<${URI}> a doap:Project , lv2:${CLASS} .

<${URI}:Program>
	a rdf:Property ;
	rdfs:label \"Program\" ;
	rdfs:comment \"The number of a factory program, which sets every parameter.\" .
")
file(READ ${BUNDLE}/manifest.ttl manifest)
if(NOT manifest MATCHES "orrinbrook.ttl")
  file(APPEND ${BUNDLE}/manifest.ttl "\n<${URI}>\n\trdfs:seeAlso <orrinbrook.ttl> .\n")
endif()
