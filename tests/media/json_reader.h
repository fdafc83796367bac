// A small JSON reader for the test corpus's manifest: one tree of values, with
// numbers, true, false and null kept as their literal text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zeb::testing {

struct JsonValue {
  enum class Kind { Literal, String, Array, Object };
  Kind kind = Kind::Literal;
  std::string text;                                        // of a literal or a string
  std::vector<JsonValue> items;                            // of an array
  std::vector<std::pair<std::string, JsonValue>> members;  // of an object, in file order

  // The member named `key` of an object, or null.
  const JsonValue* Find(std::string_view key) const;
  // The member's text, or "" when it is missing.
  std::string Text(std::string_view key) const;
  // The member's number, or 0 when it is missing or not a number.
  double Number(std::string_view key) const;
};

// The value the whole text holds, or nothing when the text is not JSON (escapes
// of the form \uXXXX are not read: the manifest has none).
std::optional<JsonValue> ParseJson(std::string_view text);

}  // namespace zeb::testing
