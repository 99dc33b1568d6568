// LV2's UI entry points, each handing over to the instance; nothing escapes them.
#include "plugins/lv2/ui/UiDescriptor.h"

#include "plugins/lv2/ExtrasMessage.h"
#include "plugins/lv2/ui/Probe.h"
#include "plugins/lv2/ui/UiInstance.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <string>

namespace plugins::lv2 {

namespace {

// The descriptor first, so the host's pointer to it leads back to the definition.
struct DescribedUi {
  LV2UI_Descriptor descriptor;
  const EditorDefinition* definition;
};

UiInstance& instanceOf(LV2UI_Handle handle) { return *static_cast<UiInstance*>(handle); }

LV2UI_Handle instantiate(const LV2UI_Descriptor* descriptor, const char*, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
  try {
    const auto& described = *reinterpret_cast<const DescribedUi*>(descriptor);
    auto ui = UiInstance::create(*described.definition, write, controller, features);
    if (ui && widget)
      *widget = ui->widget();
    return ui.release();
  } catch (const std::exception&) {
    return nullptr; // the host shows no editor
  }
}

void cleanup(LV2UI_Handle handle) { delete static_cast<UiInstance*>(handle); }

void portEvent(LV2UI_Handle handle, std::uint32_t port, std::uint32_t size, std::uint32_t format,
               const void* buffer) {
  try {
    instanceOf(handle).portEvent(port, size, format, buffer);
  } catch (const std::exception&) {
    // The editor goes on showing the value it had.
  }
}

int idle(LV2UI_Handle handle) {
  try {
    return instanceOf(handle).idle();
  } catch (const std::exception&) {
    return 0; // one message failed; the next idle call runs the rest
  }
}

int resize(LV2UI_Feature_Handle handle, int width, int height) {
  try {
    return instanceOf(handle).hostResized(width, height);
  } catch (const std::exception&) {
    return 1;
  }
}

toolkit::AURotaryControl* knobOf(UiInstance& ui, std::uint32_t port) {
  const auto find = ui.definition().knobOf;
  return find ? find(ui.window().editor(), port) : nullptr;
}

float mirrorValue(LV2UI_Handle handle, std::uint32_t port) {
  const AUParameter* parameter = instanceOf(handle).mirror().parameter(port);
  return parameter ? parameter->value() : std::numeric_limits<float>::quiet_NaN();
}

float shownValue(LV2UI_Handle handle, std::uint32_t port) {
  UiInstance& ui = instanceOf(handle);
  const toolkit::AURotaryControl* knob = knobOf(ui, port);
  const foundation::ParameterRow* row = ui.definition().plugin.row(port);
  return knob && row ? foundation::valueAtPosition(*row, knob->value())
                     : std::numeric_limits<float>::quiet_NaN();
}

bool turn(LV2UI_Handle handle, std::uint32_t port, float value) {
  UiInstance& ui = instanceOf(handle);
  ui.loop().enter();
  AUParameter* parameter = ui.mirror().parameter(port);
  const foundation::ParameterRow* row = ui.definition().plugin.row(port);
  if (!parameter || !row)
    return false;
  if (toolkit::AURotaryControl* knob = knobOf(ui, port)) {
    knob->dragBegan();
    knob->setValue(foundation::positionOfValue(*row, value));
    knob->dragEnded();
    return true;
  }
  const AUParameterObserverToken token = ui.window().editor().observerToken();
  parameter->setValue(value, token, AUParameterAutomationEventType::touch);
  parameter->setValue(value, token);
  parameter->setValue(value, token, AUParameterAutomationEventType::release);
  return true;
}

const char* presetName(LV2UI_Handle handle) {
  static std::string shown;
  shown = instanceOf(handle).window().owner().bar().shownName().toStdString();
  return shown.c_str();
}

const char* extras(LV2UI_Handle handle) {
  static std::string shown;
  UiInstance& ui = instanceOf(handle);
  shown = extrasText(ui.definition().plugin, *ui.mirror().unit());
  return shown.c_str();
}

bool changeExtras(LV2UI_Handle handle, const char* text) {
  UiInstance& ui = instanceOf(handle);
  ui.loop().enter();
  return text && applyExtrasText(ui.definition().plugin, *ui.mirror().unit(), text);
}

const void* extensionData(const char* uri) {
  static const LV2UI_Idle_Interface idleInterface{idle};
  static const LV2UI_Resize resizeInterface{nullptr, resize};
  static const UiProbe probe{mirrorValue, shownValue, turn, presetName, extras, changeExtras};
  if (std::strcmp(uri, LV2_UI__idleInterface) == 0)
    return &idleInterface;
  if (std::strcmp(uri, LV2_UI__resize) == 0)
    return &resizeInterface;
  if (std::strcmp(uri, kProbeUri) == 0)
    return &probe;
  return nullptr;
}

} // namespace

const LV2UI_Descriptor* uiDescriptorOf(const EditorDefinition& definition) {
  static const std::string uri = definition.plugin.uiUri();
  static const DescribedUi described{{uri.c_str(), instantiate, cleanup, portEvent, extensionData},
                                     &definition};
  return &described.descriptor;
}

} // namespace plugins::lv2
