#include "runtime/media/fonts.h"

#include "runtime/core/object_registry.h"
#include "runtime/core/toolkit_strings.h"
#include "runtime/files/registry_end.h"

namespace zeb {
namespace {

constexpr int32_t kFontGrowthStep = 8;

ObjectRegistry* fonts = nullptr;

FontRecord* FindFont(int64_t number) {
  return fonts != nullptr ? static_cast<FontRecord*>(IsObject(fonts, number)) : nullptr;
}

uint32_t TraitsForFlags(int32_t flags) {
  uint32_t traits = 0;
  if ((flags & FontFlagBold) != 0) traits |= platform::FontBold;
  if ((flags & FontFlagItalic) != 0) traits |= platform::FontItalic;
  return traits;
}

}  // namespace

void InitFonts() {
  if (fonts == nullptr) fonts = NewObjectRegistry(sizeof(FontRecord), kFontGrowthStep, FreeFont);
}

void EndFonts() { EndRegistry(fonts); }

int64_t LoadFont(int64_t number, const Unit* family, int32_t size, int32_t flags) {
  if (fonts == nullptr) return 0;
  auto* record = static_cast<FontRecord*>(AllocateObject(fonts, number));
  if (record == nullptr) return 0;
  platform::Toolkit& toolkit = platform::CurrentToolkit();
  platform::SharedFont font = toolkit.FontWithFamily(StringToToolkitString(family), TraitsForFlags(flags), size);
  if (font == nullptr) font = toolkit.SystemFont(size);
  record->holder = new platform::SharedFont(std::move(font));
  record->font = record->holder->get();
  if (number == DynamicNumber) return static_cast<int64_t>(reinterpret_cast<intptr_t>(record));
  return static_cast<int64_t>(reinterpret_cast<intptr_t>(record->font));
}

int64_t FontID(int64_t number) {
  const FontRecord* record = FindFont(number);
  return record != nullptr ? static_cast<int64_t>(reinterpret_cast<intptr_t>(record->font)) : 0;
}

void FreeFont(int64_t number) {
  if (fonts == nullptr) return;
  if (number == -1) {
    FreeAllObjects(fonts);
    return;
  }
  FontRecord* record = FindFont(number);
  if (record == nullptr) return;
  delete record->holder;
  FreeObjectRecord(fonts, number);
}

platform::SharedFont FontFromID(int64_t handle) {
  if (fonts == nullptr || handle == 0) return nullptr;
  platform::SharedFont found;
  ResetObjectEnumeration(fonts);
  int64_t number = 0;
  while (auto* record = static_cast<FontRecord*>(NextObject(fonts, &number))) {
    if (static_cast<int64_t>(reinterpret_cast<intptr_t>(record->font)) == handle) {
      found = *record->holder;
      AbortObjectEnumeration(fonts);
      break;
    }
  }
  return found;
}

}  // namespace zeb
