// libFuzzer target for the string functions that take a text apart. The first
// byte is a field number (signed), the rest gives units: a byte each, or, after a
// byte FF, the next two bytes as one unit. A zero unit ends a part; the first part
// is the text, the second the pattern (also the field separator). Whatever the
// parts:
// - CountOccurrences is the number of matches found from the left, each search
//   resuming after the last match, and 0 for an empty pattern;
// - ExtractField is the text split at each such match (the whole text without a
//   separator), the field of that number from 1, or empty when there is none,
//   also when the text lies in the string buffer and reserving the field moves
//   the buffer;
// - StringToInteger skips spaces and tabs, takes one sign, then "$" hexadecimal,
//   "%" binary or decimal digits, as far as they go, wrapping at 64 bits.
// A broken property ends the run like a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/require.h"
#include "runtime/core/string_functions.h"
#include "runtime/core/temp_string_buffer.h"

namespace {

using Units = std::u16string;

std::vector<Units> Parts(const uint8_t* data, size_t size) {
  std::vector<Units> parts(1);
  for (size_t i = 0; i < size; ++i) {
    char16_t unit = data[i];
    if (unit == 0xFF && i + 2 < size) {
      unit = static_cast<char16_t>(data[i + 1] | data[i + 2] << 8);
      i += 2;
    }
    if (unit == 0) {
      parts.emplace_back();
    } else {
      parts.back() += unit;
    }
  }
  parts.resize(2);
  return parts;
}

// The text split at each match of the separator found from the left, each search
// resuming after the last match.
std::vector<Units> Fields(const Units& text, const Units& separator) {
  std::vector<Units> fields;
  size_t from = 0;
  for (size_t at; !separator.empty() && (at = text.find(separator, from)) != Units::npos; from = at + separator.size()) {
    fields.push_back(text.substr(from, at - from));
  }
  fields.push_back(text.substr(from));
  return fields;
}

unsigned DigitValue(char16_t unit) {
  const size_t at = Units(u"0123456789abcdefABCDEF").find(unit);
  return at == Units::npos ? 99 : static_cast<unsigned>(at < 16 ? at : at - 6);
}

int64_t Integer(const Units& text) {
  size_t i = text.find_first_not_of(u" \t");
  if (i == Units::npos) return 0;
  const bool negative = text[i] == u'-';
  if (text[i] == u'-' || text[i] == u'+') ++i;
  unsigned base = 10;
  if (i < text.size() && (text[i] == u'$' || text[i] == u'%')) base = text[i++] == u'$' ? 16 : 2;
  uint64_t value = 0;
  for (; i < text.size() && DigitValue(text[i]) < base; ++i) value = value * base + DigitValue(text[i]);
  return static_cast<int64_t>(negative ? 0 - value : value);
}

// ExtractField's result at the buffer position, with the text at `source`.
Units Extracted(const char16_t* source, int index, const Units& separator) {
  const int64_t start = zeb::TempBufferPosition();
  zeb::ExtractField(source, index, separator.c_str(), start);
  const Units field(zeb::TempStringAddress(start));
  zeb::SetTempBufferPosition(start);
  return field;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int index = static_cast<int8_t>(data[0]);
  const std::vector<Units> parts = Parts(data + 1, size - 1);
  const Units& text = parts[0];
  const Units& pattern = parts[1];

  const std::vector<Units> fields = Fields(text, pattern);
  Require(zeb::CountOccurrences(text.c_str(), pattern.c_str()) == static_cast<int64_t>(fields.size()) - 1);
  Require(zeb::StringToInteger(text.c_str()) == Integer(text));

  zeb::InitStringBuffer();
  const auto number = static_cast<size_t>(index);
  const Units field = index >= 1 && number <= fields.size() ? fields[number - 1] : Units();
  Require(Extracted(text.c_str(), index, pattern) == field);
  // The text again, at the very end of the buffer's capacity once it has room
  // for it, so that reserving a field of two units or more makes the buffer grow.
  zeb::ReserveTempString(static_cast<int64_t>(text.size()) + 4, 0);
  const int64_t at = zeb::TempBufferCapacity() - 2 * static_cast<int64_t>(text.size()) - 8;
  zeb::SetTempBufferPosition(at);
  zeb::AppendTempString(text.c_str());
  Require(Extracted(zeb::TempStringAddress(at), index, pattern) == field);
  return 0;
}
