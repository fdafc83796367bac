#include "extension/host_strings.h"

#include <cmath>
#include <cstring>

#include "runtime/core/memory_strings.h"
#include "runtime/core/string_functions.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/core/text_conversion.h"

namespace zeb {

StringVariable DecodeHostString(const char* text) {
  StringVariable decoded;
  const int64_t start = TempBufferPosition();
  const int64_t length = text != nullptr ? static_cast<int64_t>(std::strlen(text)) : 0;
  ReadMemoryString(text, length, TextFormatUTF8, start);
  decoded.Take(start);
  return decoded;
}

const char* EncodeHostString(const Unit* s) {
  const int64_t start = TempBufferPosition();
  const int64_t units = s != nullptr ? StringLength(s) : 0;
  // One pass into room for the longest encoding: no unit takes more than three
  // bytes (a surrogate pair takes four for its two units). Then the NUL byte, and
  // the text rounded up to whole units so the buffer position stays even.
  const int64_t room = 3 * units;
  // s may be a result still lying in the buffer, below the buffer position.
  auto* target = reinterpret_cast<char*>(ReserveTempStringFrom(room / 2 + 1, start, &s));
  if (target == nullptr) return reinterpret_cast<const char*>(EmptyTempResult(start)) + start;
  const UTF8Encoded encoded = EncodeUTF8(s, units, target, room);
  // A broken surrogate pair gives the empty text, as everywhere else.
  const int64_t bytes = encoded.brokenPair ? 0 : encoded.bytes;
  target[bytes] = 0;
  SetTempBufferPosition(start + (bytes + 2) / 2 * 2);
  AppendTempString(nullptr);
  return target;
}

int64_t RoundToInteger(double value) {
  if (std::isnan(value)) return 0;
  // 2^63 is exact in a double; anything at or beyond it does not fit.
  constexpr double kLimit = 9223372036854775808.0;
  if (value >= kLimit) return INT64_MAX;
  if (value <= -kLimit) return INT64_MIN;
  const double floor = std::floor(value);
  const double fraction = value - floor;
  double rounded = floor;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) rounded = floor + 1.0;
  if (rounded >= kLimit) return INT64_MAX;
  return static_cast<int64_t>(rounded);
}

HostCall::HostCall() { SetTempBufferPosition(0); }

double HostCall::Number(double value) {
  SetTempBufferPosition(0);
  return value;
}

const char* HostCall::Text(const Unit* s) { return EncodeHostString(s); }

}  // namespace zeb
