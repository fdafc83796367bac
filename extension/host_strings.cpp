#include "extension/host_strings.h"

#include <cmath>
#include <cstring>

#include "runtime/core/memory_strings.h"
#include "runtime/core/string_functions.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/core/text_conversion.h"

namespace zeb {

namespace {

// The argument's bytes, up to its NUL (none for null), decoded by `decode` into
// the buffer and taken into a variable of the export's.
template <typename Decode>
StringVariable DecodedArgument(const char* text, Decode decode) {
  StringVariable decoded;
  const int64_t start = TempBufferPosition();
  decode(text, text != nullptr ? static_cast<int64_t>(std::strlen(text)) : 0, start);
  decoded.Take(start);
  return decoded;
}

}  // namespace

StringVariable DecodeHostString(const char* text) {
  return DecodedArgument(text, [](const char* bytes, int64_t length, int64_t start) {
    ReadMemoryString(bytes, length, TextFormatUTF8, start);
  });
}

StringVariable DecodeHostString(const char* text, BadText rule) {
  return DecodedArgument(text, [rule](const char* bytes, int64_t length, int64_t start) {
    UTF8ToTempStringWhole(bytes, length, rule, start);
  });
}

const char* EncodeHostString(const Unit* s, BadText rule) {
  const int64_t start = TempBufferPosition();
  const int64_t units = s != nullptr ? StringLength(s) : 0;
  // One pass into room for the longest encoding: no unit takes more than three
  // bytes (a surrogate pair takes four for its two units). Then the NUL byte, and
  // the text rounded up to whole units so the buffer position stays even.
  const int64_t room = 3 * units;
  // s may be a result still lying in the buffer, below the buffer position.
  auto* target = reinterpret_cast<char*>(ReserveTempStringFrom(room / 2 + 1, start, &s));
  if (target == nullptr) return reinterpret_cast<const char*>(EmptyTempResult(start)) + start;
  const int64_t bytes = EncodeUTF8Whole(s, units, target, rule).bytes;
  target[bytes] = 0;
  SetTempBufferPosition(start + (bytes + 2) / 2 * 2);
  AppendTempString(nullptr);
  return target;
}

void HostTextBuilder::Reserve(int64_t bytes) {
  Room(bytes);
  Settle();
}

void HostTextBuilder::AppendRepaired(const char* bytes, size_t length) {
  // No byte becomes more than the three of U+FFFD.
  char* place = Room(3 * static_cast<int64_t>(length));
  if (place != nullptr) size_ += RepairUTF8(bytes, static_cast<int64_t>(length), place);
  Settle();
}

void HostTextBuilder::Append(const std::string& utf8) {
  char* place = Room(static_cast<int64_t>(utf8.size()));
  if (place == nullptr) return;
  std::memcpy(place, utf8.data(), utf8.size());
  size_ += static_cast<int64_t>(utf8.size());
  Settle();
}

void HostTextBuilder::GiveUp() {
  failed_ = true;
  size_ = 0;
  Settle();
}

const char* HostTextBuilder::Finish() {
  if (failed_) return reinterpret_cast<const char*>(EmptyTempResult(start_)) + start_;
  // Room leaves the two bytes after the text that the terminators take.
  auto* text = reinterpret_cast<char*>(TempStringAddress(start_));
  text[size_] = 0;
  SetTempBufferPosition(start_ + (size_ + 2) / 2 * 2);
  AppendTempString(nullptr);
  return text;
}

char* HostTextBuilder::Room(int64_t bytes) {
  if (failed_) return nullptr;
  if (bytes > reserved_ - size_) {
    // At least double, so that a text that grows line by line moves rarely. The
    // room is reserved after the text, at the buffer position, with two bytes
    // more for the terminators.
    const int64_t more = bytes > size_ ? bytes : size_;
    const int64_t at = TempBufferPosition();
    const int64_t units = (more + 1) / 2 + 1;
    if (ReserveTempString(units, at) == nullptr) {
      GiveUp();
      return nullptr;
    }
    reserved_ = at + 2 * units - 2 - start_;
  }
  return reinterpret_cast<char*>(TempStringAddress(start_)) + size_;
}

// Between appends the buffer position stands just after the text, rounded up to
// whole units, so that room is always reserved from there.
void HostTextBuilder::Settle() { SetTempBufferPosition(start_ + (size_ + 1) / 2 * 2); }

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

const char* HostCall::Text(const Unit* s, BadText rule) { return EncodeHostString(s, rule); }

}  // namespace zeb
