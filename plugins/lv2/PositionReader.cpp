// The fields of a time:Position, whatever numeric atom type a host gives them in.
#include "plugins/lv2/PositionReader.h"

#include <lv2/atom/util.h>

namespace plugins::lv2 {

namespace {

std::optional<double> numberOf(const LV2_Atom* atom, const Uris& uris) noexcept {
  if (!atom)
    return std::nullopt;
  if (atom->type == uris.atomFloat && atom->size >= sizeof(float))
    return reinterpret_cast<const LV2_Atom_Float*>(atom)->body;
  if (atom->type == uris.atomDouble && atom->size >= sizeof(double))
    return reinterpret_cast<const LV2_Atom_Double*>(atom)->body;
  if (atom->type == uris.atomInt && atom->size >= sizeof(std::int32_t))
    return reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
  if (atom->type == uris.atomLong && atom->size >= sizeof(std::int64_t))
    return static_cast<double>(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
  return std::nullopt;
}

std::optional<std::int64_t> wholeOf(const LV2_Atom* atom, const Uris& uris) noexcept {
  if (atom && atom->type == uris.atomLong && atom->size >= sizeof(std::int64_t))
    return reinterpret_cast<const LV2_Atom_Long*>(atom)->body;
  const auto number = numberOf(atom, uris);
  // Beyond ±2^62 a frame or bar means nothing a host could play.
  if (!number || !(*number > -4.6e18 && *number < 4.6e18))
    return std::nullopt;
  return static_cast<std::int64_t>(*number);
}

} // namespace

std::optional<TransportPosition> readPosition(const LV2_Atom_Object& object,
                                              const Uris& uris) noexcept {
  if (object.body.otype != uris.timePosition)
    return std::nullopt;
  TransportPosition position;
  LV2_ATOM_OBJECT_BODY_FOREACH(&object.body, object.atom.size, property) {
    const LV2_Atom* value = &property->value;
    const LV2_URID key = property->key;
    if (key == uris.timeSpeed)
      position.speed = numberOf(value, uris);
    else if (key == uris.timeBar)
      position.bar = wholeOf(value, uris);
    else if (key == uris.timeBarBeat)
      position.barBeat = numberOf(value, uris);
    else if (key == uris.timeBeat)
      position.beat = numberOf(value, uris);
    else if (key == uris.timeBeatUnit) {
      if (const auto unit = wholeOf(value, uris); unit && *unit > 0 && *unit <= 256)
        position.beatUnit = static_cast<int>(*unit);
    } else if (key == uris.timeBeatsPerBar)
      position.beatsPerBar = numberOf(value, uris);
    else if (key == uris.timeBeatsPerMinute)
      position.beatsPerMinute = numberOf(value, uris);
    else if (key == uris.timeFrame)
      position.frame = wholeOf(value, uris);
  }
  return position;
}

} // namespace plugins::lv2
