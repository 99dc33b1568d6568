// One LV2 UI of a unit: JUCE's loop, the mirror of the ports and the editor showing it.
#pragma once

#include "plugins/lv2/Uris.h"
#include "plugins/lv2/ui/EditorDefinition.h"
#include "plugins/lv2/ui/EmbeddedEditor.h"
#include "plugins/lv2/ui/HostDrivenLoop.h"
#include "plugins/lv2/ui/PortMirror.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <memory>
#include <optional>
#include <string>

namespace plugins::lv2 {

// Made with the host's write function and features (ui:parent, ui:resize, ui:touch and
// urid:map, each optional); it asks for no access to the plug-in's instance. It tells the host
// its size (ui:resize) once it is shown. The plug-in keeps the editor's size in its state: a
// size the host gives goes to it as a message on its atom input (with urid:map), and the size
// it keeps comes back on its two size outputs, which the editor takes and tells the host. For a
// unit whose editor changes its extras (the synthesiser's tuning), the mirror's extras and the
// plug-in's are kept the same: asked for when the UI opens, taken from the plug-in's notify
// output, and sent when the editor changes them (seen at idle).
// Threads: the host's UI thread.
class UiInstance {
public:
  // Null when the unit cannot be made.
  static std::unique_ptr<UiInstance> create(const EditorDefinition& definition,
                                            LV2UI_Write_Function write, LV2UI_Controller controller,
                                            const LV2_Feature* const* features);
  UiInstance(const EditorDefinition& definition, std::shared_ptr<AUAudioUnit> mirror,
             PortMirror::Host host, LV2UI_Widget parent, const LV2UI_Resize* resize,
             const LV2_URID_Map* map);
  ~UiInstance();
  UiInstance(const UiInstance&) = delete;
  UiInstance& operator=(const UiInstance&) = delete;

  LV2UI_Widget widget() const { return window_->widget(); }
  void portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer);
  // 0: the UI stays open.
  int idle();
  int hostResized(int width, int height);

  const EditorDefinition& definition() const noexcept { return definition_; }
  PortMirror& mirror() noexcept { return mirror_; }
  EmbeddedEditor& window() noexcept { return *window_; }
  HostDrivenLoop& loop() noexcept { return loop_; }

private:
  void tellPluginSize();
  void sendToPlugin(const LV2_Atom& atom);
  void takeExtras(const void* buffer, std::uint32_t size);
  void sendChangedExtras();

  const EditorDefinition& definition_;
  const LV2UI_Resize* resize_;
  const LV2_URID_Map* map_;
  std::optional<Uris> uris_;           // with a map
  std::string sharedExtras_;           // what the plug-in was last told or told us
  bool sharesExtras_ = false;          // the plug-in has extras, and a map to send them with
  int keptWidth_ = 0, keptHeight_ = 0; // as the plug-in's size outputs last said
  bool portsChanged_ = true;           // since the last idle call (the first: a new unit's values)
  HostDrivenLoop loop_;                // before the mirror and the editor: JUCE outlives them
  PortMirror mirror_;
  std::unique_ptr<EmbeddedEditor> window_;
};

} // namespace plugins::lv2
