// Conversions between runtime strings (16-bit units) and byte encodings: UTF-8 and
// one byte per unit (ISO 8859-1). Malformed text never fails: a conversion stops
// and keeps what came before the stop.
#pragma once

#include <cstdint>

#include "runtime/core/runtime_string.h"

namespace zeb {

// Bytes to units. sourceLength -1 means strlen + 1 (the terminator is converted
// too); a null source or another negative length is an empty range and gives 0.
// destination null counts the units instead of writing them. Returns the units
// counted or written; in UTF-8 writing mode a stop at an invalid lead byte
// returns 0 although the units before it have been written. Writing mode may
// change units past the ones it converts, never past destinationSize.
int64_t MultiByteToUnicode(int codePage, int flags, const char* source, int64_t sourceLength,
                           Unit* destination, int64_t destinationSize);

// Units to bytes. sourceLength -1 means length + 1 (the terminator is converted
// too); a null source or another negative length gives 0. destination null
// counts the bytes. In UTF-8 writing mode a character is begun while fewer
// than destinationSize bytes are written and is then written whole, so up to 3
// bytes may land past destinationSize; a high surrogate followed by a unit other
// than a low surrogate returns 0 although the bytes before it stay. Writing
// mode may change bytes past the ones it converts, never past destinationSize
// or the last character. The two trailing pointers are ignored.
int64_t UnicodeToMultiByte(int codePage, int flags, const Unit* source, int64_t sourceLength,
                           char* destination, int64_t destinationSize,
                           void* ignored1 = nullptr, void* ignored2 = nullptr);

// The UTF-8 decoder behind MultiByteToUnicode, for callers that need the true
// number of units written even when an invalid lead byte stopped the conversion.
// Ranges and modes as for MultiByteToUnicode; a destinationSize of 0 or less
// writes nothing.
struct UTF8Decoded {
  int64_t units;           // units counted (destination null) or written
  int64_t bytesConsumed;   // source bytes taken by those units
  bool stoppedAtInvalidLead;
};
UTF8Decoded DecodeUTF8(const char* source, int64_t sourceLength, Unit* destination,
                       int64_t destinationSize);

// The UTF-8 encoder behind UnicodeToMultiByte, which reports a broken pair
// instead of returning 0. Ranges and modes as for UnicodeToMultiByte.
struct UTF8Encoded {
  int64_t bytes;           // bytes counted (destination null) or written, even after a broken pair
  bool brokenPair;         // a high surrogate followed by a non-low unit was met
};
UTF8Encoded EncodeUTF8(const Unit* source, int64_t sourceLength, char* destination,
                       int64_t destinationSize);

// The conversions above keep the runtime's own rule: malformed text stops them.
// Text from outside that must come back whole (files' text, the clipboard, file
// names) is converted under one of these rules instead, where each piece that
// cannot be carried over costs only itself.
enum class BadText {
  // Each maximal ill-formed piece of UTF-8 (a byte that begins no sequence, or
  // the longest start of a sequence that breaks off), and each unpaired
  // surrogate, becomes U+FFFD.
  kReplace,
  // File names, which are bytes: each byte that begins no well-formed sequence
  // becomes the unit 0xDC00 + byte (an unpaired low surrogate, which no
  // well-formed text decodes to), and such a unit becomes that byte again on
  // the way out, so any name comes back as exactly its bytes. Any other
  // unpaired surrogate becomes U+FFFD, and the encoder says so.
  kEscape,
};

// Bytes to units under `rule`, over exactly `length` bytes (zero bytes are
// decoded like any other). The destination has room for `length` units: no
// byte yields more than one unit. Returns the units written.
int64_t DecodeUTF8Whole(const char* source, int64_t length, Unit* destination, BadText rule);

// Units to bytes under `rule`, over exactly `length` units. The destination has
// room for 3 bytes a unit. `brokenPair` tells that an unpaired surrogate was
// written as U+FFFD.
UTF8Encoded EncodeUTF8Whole(const Unit* source, int64_t length, char* destination, BadText rule);

// UTF-8 to UTF-8 under BadText::kReplace, as decoding and encoding again would
// give it: well-formed text is copied, each maximal ill-formed piece becomes
// U+FFFD. The destination has room for 3 bytes a source byte. Returns the bytes
// written.
int64_t RepairUTF8(const char* source, int64_t length, char* destination);

}  // namespace zeb
