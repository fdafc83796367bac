#include "runtime/core/memory_strings.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "runtime/core/string_functions.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/core/text_conversion.h"

namespace zeb {
namespace {

int64_t UnitsBelow256(const Unit* s, int64_t units) {
  return UnicodeToMultiByte(CodePage8Bit, 0, s, units, nullptr, 0);
}

// UTF-8 bytes for the first `units` units of s, as the writing pass will produce
// them: a high surrogate followed by anything but a low one makes the writing pass
// give nothing at all, so it counts 0.
int64_t UTF8BytesWritten(const Unit* s, int64_t units) {
  const UTF8Encoded counted = EncodeUTF8(s, units, nullptr, 0);
  return counted.brokenPair ? 0 : counted.bytes;
}

char* EmptyCString() { return static_cast<char*>(std::calloc(1, 1)); }

void ReadUnits(const Unit* memory, int64_t length, int64_t start) {
  int64_t units = 0;
  if (memory != nullptr) {
    while ((length < 0 || units < length) && memory[units] != 0) ++units;
  }
  Unit* target = ReserveTempString(units, start);
  if (target == nullptr) {
    EmptyTempResult(start);
    return;
  }
  if (units > 0) std::memcpy(target, memory, static_cast<size_t>(units) * sizeof(Unit));
  target[units] = 0;
}

void ReadBytes(const char* memory, int64_t length, int format, int64_t start) {
  if (length < 0) length = memory != nullptr ? static_cast<int64_t>(std::strlen(memory)) : 0;
  if (memory == nullptr) length = 0;
  // Every byte yields at most one unit (a four-byte sequence yields two), so the
  // byte count is room enough for one decoding pass; what is not used goes back.
  Unit* target = ReserveTempString(length, start);
  if (target == nullptr) {
    EmptyTempResult(start);
    return;
  }
  int64_t units = 0;
  if (format == TextFormatUTF8) {
    units = DecodeUTF8(memory, length, target, length).units;
  } else if (length > 0) {
    units = MultiByteToUnicode(CodePage8Bit, 0, memory, length, target, length);
  }
  ReleaseTempUnits(length - units);
  target[units] = 0;
}

}  // namespace

int64_t EncodedLength(const Unit* s, int format) {
  if (s == nullptr) return 0;
  const int64_t length = StringLength(s);
  if (format == TextFormatUnicode) return 2 * length;
  if (format == TextFormatUTF8) return UTF8BytesWritten(s, length);
  return UnitsBelow256(s, length);
}

void ReadMemoryString(const void* memory, int64_t length, int format, int64_t start) {
  if (length <= -2) length = 0;
  if (format == TextFormatUnicode) {
    ReadUnits(static_cast<const Unit*>(memory), length, start);
  } else {
    ReadBytes(static_cast<const char*>(memory), length, format, start);
  }
}

int64_t WriteMemoryString(void* memory, const Unit* s, int64_t length, int flags) {
  const int format = flags & 0x1F;
  const bool terminate = (flags & TextNoTerminator) == 0;
  const int64_t units = s == nullptr ? 0 : (length < 0 ? StringLength(s) : std::min(StringLength(s), length));
  if (format == TextFormatUnicode) {
    auto* target = static_cast<Unit*>(memory);
    if (units > 0) std::memcpy(target, s, static_cast<size_t>(units) * sizeof(Unit));
    if (terminate) target[units] = 0;
    return 2 * units;
  }
  auto* target = static_cast<char*>(memory);
  int64_t written = 0;
  if (format == TextFormatUTF8) {
    const int64_t size = UTF8BytesWritten(s, units);
    if (size > 0) written = EncodeUTF8(s, units, target, size).bytes;
  } else {
    const int64_t size = units > 0 ? UnitsBelow256(s, units) : 0;
    if (size > 0) written = UnicodeToMultiByte(CodePage8Bit, 0, s, units, target, size);
  }
  if (terminate) target[written] = 0;
  return written;
}

void UTF8ToTempString(const char* text, int64_t start) {
  // The terminating zero byte is decoded too: a valid text ends in a zero unit,
  // while a text cut short keeps what was decoded before the stop (and a sequence
  // cut by the terminator takes the zero byte as its failed continuation byte).
  if (text == nullptr) text = "";
  ReadMemoryString(text, static_cast<int64_t>(std::strlen(text)) + 1, TextFormatUTF8, start);
  const int64_t position = TempBufferPosition();
  if (position > start && TempStringAddress(position - 2)[0] == 0) EmptyTempResult(position - 2);
}

void UTF8ToTempStringWhole(const char* text, int64_t length, BadText rule, int64_t start) {
  if (text == nullptr || length < 0) length = 0;
  Unit* target = ReserveTempString(length, start);
  if (target == nullptr) {
    EmptyTempResult(start);
    return;
  }
  const int64_t units = DecodeUTF8Whole(text, length, target, rule);
  ReleaseTempUnits(length - units);
  target[units] = 0;
}

std::string StringToUTF8Whole(const Unit* s, BadText rule, bool* replaced) {
  const int64_t units = s != nullptr ? StringLength(s) : 0;
  std::string text(static_cast<size_t>(3 * units), '\0');
  const UTF8Encoded encoded = EncodeUTF8Whole(s, units, text.data(), rule);
  text.resize(static_cast<size_t>(encoded.bytes));
  if (replaced != nullptr) *replaced = encoded.brokenPair;
  return text;
}

char* StringToUTF8(const Unit* s) {
  if (s == nullptr) return EmptyCString();
  // The range includes the terminator, so a high surrogate at the very end is a
  // broken pair too and the whole text becomes empty.
  const int64_t range = StringLength(s) + 1;
  const UTF8Encoded counted = EncodeUTF8(s, range, nullptr, 0);
  if (counted.brokenPair || counted.bytes == 0) return EmptyCString();
  auto* text = static_cast<char*>(std::malloc(static_cast<size_t>(counted.bytes) + 1));
  if (text == nullptr) return EmptyCString();
  const int64_t written = EncodeUTF8(s, range, text, counted.bytes).bytes;
  text[written] = 0;
  return text;
}

void FreeUTF8(char* text) { std::free(text); }

}  // namespace zeb
