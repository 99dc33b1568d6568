// The URIs the plug-in reads and writes, mapped once when it is made.
#pragma once

#include <lv2/urid/urid.h>

namespace plugins::lv2 {

// What the editor sends the plug-in when its size changes: an object of this type with the
// width and height as atom:Int.
inline constexpr const char* kEditorSizeUri = "https://orrinbrook.org/plugins/ns#EditorSize";
inline constexpr const char* kEditorWidthUri = "https://orrinbrook.org/plugins/ns#width";
inline constexpr const char* kEditorHeightUri = "https://orrinbrook.org/plugins/ns#height";

// The unit's extras between the editor and the plug-in (ExtrasMessage.h): an object of the first
// type holding the text as an atom:String under the second; one of the third asks for them.
inline constexpr const char* kExtrasUri = "https://orrinbrook.org/plugins/ns#Extras";
inline constexpr const char* kExtrasTextUri = "https://orrinbrook.org/plugins/ns#extras";
inline constexpr const char* kExtrasRequestUri = "https://orrinbrook.org/plugins/ns#ExtrasRequest";

struct Uris {
  // Maps every URI with the host's map. Control thread.
  explicit Uris(const LV2_URID_Map& map);

  LV2_URID atomBlank, atomObject, atomSequence, atomString;
  LV2_URID atomFloat, atomDouble, atomInt, atomLong;
  LV2_URID midiEvent;
  LV2_URID timePosition, timeSpeed, timeBar, timeBarBeat, timeBeat, timeBeatUnit, timeBeatsPerBar,
      timeBeatsPerMinute, timeFrame;
  LV2_URID maxBlockLength, nominalBlockLength;
  LV2_URID editorSize, editorWidth, editorHeight;
  LV2_URID extras, extrasText, extrasRequest;
};

} // namespace plugins::lv2
