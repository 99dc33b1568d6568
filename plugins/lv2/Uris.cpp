// The URIs mapped.
#include "plugins/lv2/Uris.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

namespace plugins::lv2 {

namespace {

LV2_URID mapped(const LV2_URID_Map& map, const char* uri) { return map.map(map.handle, uri); }

} // namespace

Uris::Uris(const LV2_URID_Map& map)
    : atomBlank(mapped(map, LV2_ATOM__Blank)), atomObject(mapped(map, LV2_ATOM__Object)),
      atomSequence(mapped(map, LV2_ATOM__Sequence)), atomString(mapped(map, LV2_ATOM__String)),
      atomFloat(mapped(map, LV2_ATOM__Float)), atomDouble(mapped(map, LV2_ATOM__Double)),
      atomInt(mapped(map, LV2_ATOM__Int)), atomLong(mapped(map, LV2_ATOM__Long)),
      midiEvent(mapped(map, LV2_MIDI__MidiEvent)), timePosition(mapped(map, LV2_TIME__Position)),
      timeSpeed(mapped(map, LV2_TIME__speed)), timeBar(mapped(map, LV2_TIME__bar)),
      timeBarBeat(mapped(map, LV2_TIME__barBeat)), timeBeat(mapped(map, LV2_TIME__beat)),
      timeBeatUnit(mapped(map, LV2_TIME__beatUnit)),
      timeBeatsPerBar(mapped(map, LV2_TIME__beatsPerBar)),
      timeBeatsPerMinute(mapped(map, LV2_TIME__beatsPerMinute)),
      timeFrame(mapped(map, LV2_TIME__frame)),
      maxBlockLength(mapped(map, LV2_BUF_SIZE__maxBlockLength)),
      nominalBlockLength(mapped(map, LV2_BUF_SIZE__nominalBlockLength)),
      editorSize(mapped(map, kEditorSizeUri)), editorWidth(mapped(map, kEditorWidthUri)),
      editorHeight(mapped(map, kEditorHeightUri)), extras(mapped(map, kExtrasUri)),
      extrasText(mapped(map, kExtrasTextUri)), extrasRequest(mapped(map, kExtrasRequestUri)) {}

} // namespace plugins::lv2
