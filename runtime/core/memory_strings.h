// Runtime strings read from and written to raw memory in the three text formats,
// and the UTF-8 C strings that carry them to the operating system.
#pragma once

#include <cstdint>

#include <string>

#include "runtime/core/runtime_string.h"
#include "runtime/core/text_conversion.h"

namespace zeb {

// Bytes (units for TextFormatUnicode) that WriteMemoryString writes for the whole
// of s, terminator excluded. Null gives 0.
int64_t EncodedLength(const Unit* s, int format);

// Reads text from memory into the temporary string buffer at `start`. length -1
// reads up to the terminator; -2 and below read nothing. Malformed text stops the
// conversion and keeps what came before.
void ReadMemoryString(const void* memory, int64_t length, int format, int64_t start);

// Writes s (or its first `length` units when length >= 0) to memory in the format
// given by the low five bits of flags, with a terminator unless TextNoTerminator.
// Returns the bytes written, terminator excluded.
int64_t WriteMemoryString(void* memory, const Unit* s, int64_t length, int flags);

// Decodes a UTF-8 C string (null: the empty string) into the buffer at `start`.
void UTF8ToTempString(const char* text, int64_t start);

// Decodes `length` bytes of UTF-8 from outside (a file's text, a file name) into
// the buffer at `start` under `rule`: nothing in them stops the conversion.
void UTF8ToTempStringWhole(const char* text, int64_t length, BadText rule, int64_t start);

// The UTF-8 of s (null: empty) under `rule`; `replaced` (when given) tells that an
// unpaired surrogate became U+FFFD.
std::string StringToUTF8Whole(const Unit* s, BadText rule, bool* replaced = nullptr);

// A new UTF-8 C string for s, never null; the caller frees it with FreeUTF8. A
// string with a broken surrogate pair becomes the empty C string.
char* StringToUTF8(const Unit* s);
void FreeUTF8(char* text);

}  // namespace zeb
