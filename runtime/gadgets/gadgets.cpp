#include "runtime/gadgets/gadgets.h"

#include <cmath>

#include "runtime/core/object_registry.h"
#include "runtime/core/toolkit_strings.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/gadgets/gadget_functions.h"
#include "runtime/media/fonts.h"

namespace zeb {
namespace {

constexpr int32_t kGadgetGrowthStep = 16;
constexpr int64_t kNoFont = -1;

ObjectRegistry* gadgets = nullptr;
// The font of gadgets made without one; never destroyed, as the library has no
// static destructors (extension/lifecycle.cpp).
platform::SharedFont& DefaultFont() {
  static auto& font = *new platform::SharedFont();
  return font;
}

ZebGadgetFunctions* Functions(int64_t number) {
  Zeb_GadgetStructure* record = IsGadget(number);
  return record != nullptr ? record->functions : nullptr;
}

platform::ColorComponents ComponentsOfRGB(int32_t rgb) {
  return {(rgb & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, ((rgb >> 16) & 0xFF) / 255.0, 1.0};
}

int64_t RGBOfComponents(const platform::ColorComponents& color) {
  const auto byte = [](double component) {
    return static_cast<int64_t>(std::lround(std::fmin(std::fmax(component, 0.0), 1.0) * 255.0));
  };
  return byte(color.red) | byte(color.green) << 8 | byte(color.blue) << 16;
}

}  // namespace

void InitGadgets() {
  if (gadgets == nullptr) gadgets = NewObjectRegistry(sizeof(Zeb_GadgetStructure), kGadgetGrowthStep, FreeGadget);
}

ObjectRegistry* GadgetRegistry() { return gadgets; }

Zeb_GadgetStructure* IsGadget(int64_t number) {
  return gadgets != nullptr ? static_cast<Zeb_GadgetStructure*>(IsObject(gadgets, number)) : nullptr;
}

void FreeGadget(int64_t number) {
  if (gadgets == nullptr) return;
  if (number == -1) {
    FreeAllObjects(gadgets);
    return;
  }
  Zeb_GadgetStructure* record = IsGadget(number);
  if (record == nullptr) return;
  // Released before the view goes, so the view's own teardown finds it released.
  platform::View* outer = record->outerView;
  ReleaseGadget(number);
  outer->RemoveFromSuperview();
}

void ReleaseGadget(int64_t number) {
  Zeb_GadgetStructure* record = IsGadget(number);
  if (record == nullptr) return;
  ZebGadgetFunctions* functions = record->functions;
  functions->MarkViewDestroyed();
  functions->FreeGadget();
  delete functions;
  FreeObjectRecord(gadgets, number);
}

void ActivateGadget(int64_t number) {
  if (ZebGadgetFunctions* functions = Functions(number)) functions->ActivateGadget();
}

void ResizeGadget(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (ZebGadgetFunctions* functions = Functions(number)) functions->ResizeGadget(x, y, width, height);
}

void SetGadgetFont(int64_t number, int64_t font) {
  platform::SharedFont chosen = font != kNoFont ? FontFromID(font) : nullptr;
  if (font != kNoFont && chosen == nullptr) return;
  if (number == -1) {
    DefaultFont() = std::move(chosen);
  } else if (ZebGadgetFunctions* functions = Functions(number)) {
    functions->SetGadgetFont(std::move(chosen));
  }
}

platform::SharedFont DefaultGadgetFont() { return DefaultFont(); }

void SetGadgetText(int64_t number, const Unit* text) {
  if (ZebGadgetFunctions* functions = Functions(number)) functions->SetGadgetText(StringToToolkitString(text));
}

void GetGadgetText(int64_t number, int64_t start) {
  ZebGadgetFunctions* functions = Functions(number);
  if (functions == nullptr) {
    EmptyTempResult(start);
    return;
  }
  const platform::ToolkitString text = functions->GetGadgetText();
  ToolkitStringToTempString(&text, start);
}

int64_t AddGadgetItem(int64_t number, int32_t position, const Unit* text) {
  ZebGadgetFunctions* functions = Functions(number);
  return functions != nullptr ? functions->AddGadgetItem(position, StringToToolkitString(text)) : 0;
}

void RemoveGadgetItem(int64_t number, int32_t position) {
  if (ZebGadgetFunctions* functions = Functions(number)) functions->RemoveGadgetItem(position);
}

void ClearGadgetItems(int64_t number) {
  if (ZebGadgetFunctions* functions = Functions(number)) functions->ClearGadgetItems();
}

int64_t CountGadgetItems(int64_t number) {
  ZebGadgetFunctions* functions = Functions(number);
  return functions != nullptr ? functions->CountGadgetItems() : 0;
}

void SetGadgetItemText(int64_t number, int32_t position, const Unit* text, int32_t column) {
  if (ZebGadgetFunctions* functions = Functions(number)) {
    functions->SetGadgetItemText(position, StringToToolkitString(text), column);
  }
}

void GetGadgetItemText(int64_t number, int32_t position, int32_t column, int64_t start) {
  ZebGadgetFunctions* functions = Functions(number);
  const platform::ToolkitString text = functions != nullptr ? functions->GetGadgetItemText(position, column) : u"";
  ToolkitStringToTempString(&text, start);
}

void SetGadgetAttribute(int64_t number, int32_t attribute, int64_t value) {
  if (ZebGadgetFunctions* functions = Functions(number)) functions->SetGadgetAttribute(attribute, value);
}

int64_t GetGadgetAttribute(int64_t number, int32_t attribute) {
  ZebGadgetFunctions* functions = Functions(number);
  return functions != nullptr ? functions->GetGadgetAttribute(attribute) : 0;
}

void SetGadgetColor(int64_t number, int32_t type, int32_t color) {
  if (ZebGadgetFunctions* functions = Functions(number)) functions->SetGadgetColor(type, ComponentsOfRGB(color));
}

int64_t GetGadgetColor(int64_t number, int32_t type) {
  ZebGadgetFunctions* functions = Functions(number);
  const auto color = functions != nullptr ? functions->GetGadgetColor(type) : std::nullopt;
  return color ? RGBOfComponents(*color) : 0;
}

}  // namespace zeb
