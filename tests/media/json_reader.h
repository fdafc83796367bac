// A small JSON reader for tests (the corpus manifest, the demo host's export list):
// one tree of values, with numbers, true, false and null kept as their text, unchecked.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zeb::testing {

struct JsonValue {
  std::string text;                                        // of a literal or a string
  std::vector<JsonValue> items;                            // of an array
  std::vector<std::pair<std::string, JsonValue>> members;  // of an object, in file order

  // The member named `key` of an object, or null.
  const JsonValue* Find(std::string_view key) const {
    const auto member = std::find_if(members.begin(), members.end(), [&](const auto& m) { return m.first == key; });
    return member != members.end() ? &member->second : nullptr;
  }
  // The member's text, or "" when it is missing.
  std::string Text(std::string_view key) const { return Find(key) != nullptr ? Find(key)->text : std::string(); }
  int64_t Integer(std::string_view key) const { return std::strtoll(Text(key).c_str(), nullptr, 10); }
};

namespace json {

// Skips white space; the next character, or '\0' at the end.
inline char Peek(std::string_view& in) {
  while (!in.empty() && std::string_view(" \t\r\n").find(in[0]) != std::string_view::npos) in.remove_prefix(1);
  return in.empty() ? '\0' : in[0];
}

inline bool Take(std::string_view& in, char expected) {
  if (Peek(in) != expected) return false;
  in.remove_prefix(1);
  return true;
}

// Escapes of the form \uXXXX are refused: the manifest has none.
inline bool String(std::string_view& in, std::string& out) {
  if (!Take(in, '"')) return false;
  while (!in.empty()) {
    char c = in[0];
    in.remove_prefix(1);
    if (c == '"') return true;
    if (c == '\\') {
      if (in.empty() || in[0] == 'u') return false;
      const size_t escape = std::string_view("nrtbf").find(in[0]);
      c = escape == std::string_view::npos ? in[0] : "\n\r\t\b\f"[escape];
      in.remove_prefix(1);
    }
    out += c;
  }
  return false;
}

inline bool Value(std::string_view& in, JsonValue& value) {
  const bool object = Take(in, '{');
  if (object || Take(in, '[')) {
    const char close = object ? '}' : ']';
    if (Take(in, close)) return true;
    do {
      if (object) {
        auto& [name, member] = value.members.emplace_back();
        if (!String(in, name) || !Take(in, ':') || !Value(in, member)) return false;
      } else if (!Value(in, value.items.emplace_back())) {
        return false;
      }
    } while (Take(in, ','));
    return Take(in, close);
  }
  if (Peek(in) == '"') return String(in, value.text);
  value.text = in.substr(0, in.find_first_of(",]} \t\r\n"));
  in.remove_prefix(value.text.size());
  return !value.text.empty();
}

}  // namespace json

// The value the whole text holds, or nothing when the text is not JSON.
inline std::optional<JsonValue> ParseJson(std::string_view text) {
  JsonValue value;
  if (!json::Value(text, value) || json::Peek(text) != '\0') return std::nullopt;
  return value;
}

}  // namespace zeb::testing
