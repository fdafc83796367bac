#include "tests/media/json_reader.h"

#include <cstdlib>

namespace zeb::testing {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::optional<JsonValue> Document() {
    JsonValue value;
    if (!Value(value, 0) || Peek() != '\0') return std::nullopt;
    return value;
  }

 private:
  // Deeper nesting than any manifest has is refused rather than recursed into.
  static constexpr int kMaxDepth = 64;

  // The next character after white space, or '\0' at the end.
  char Peek() {
    while (at_ < text_.size() && std::string_view(" \t\r\n").find(text_[at_]) != std::string_view::npos) ++at_;
    return at_ < text_.size() ? text_[at_] : '\0';
  }

  bool Take(char expected) {
    if (Peek() != expected) return false;
    ++at_;
    return true;
  }

  bool Value(JsonValue& value, int depth) {
    if (depth > kMaxDepth) return false;
    switch (Peek()) {
      case '{':
        value.kind = JsonValue::Kind::Object;
        ++at_;
        return Sequence('}', [&] {
          std::pair<std::string, JsonValue> member;
          if (Peek() != '"' || !String(member.first) || !Take(':') || !Value(member.second, depth + 1)) return false;
          value.members.push_back(std::move(member));
          return true;
        });
      case '[':
        value.kind = JsonValue::Kind::Array;
        ++at_;
        return Sequence(']', [&] { return Value(value.items.emplace_back(), depth + 1); });
      case '"':
        value.kind = JsonValue::Kind::String;
        return String(value.text);
      default:
        return Literal(value.text);
    }
  }

  // Elements separated by commas up to `close`; the opening bracket is taken.
  template <typename Element>
  bool Sequence(char close, Element element) {
    if (Take(close)) return true;
    do {
      if (!element()) return false;
    } while (Take(','));
    return Take(close);
  }

  bool String(std::string& out) {
    for (++at_; at_ < text_.size(); ++at_) {
      char c = text_[at_];
      if (c == '"') {
        ++at_;
        return true;
      }
      if (c == '\\') {
        if (++at_ >= text_.size()) return false;
        c = text_[at_];
        if (c == 'u') return false;
        if (c == 'n') c = '\n';
        if (c == 't') c = '\t';
        if (c == 'r') c = '\r';
        if (c == 'b') c = '\b';
        if (c == 'f') c = '\f';
      }
      out += c;
    }
    return false;
  }

  bool Literal(std::string& out) {
    const size_t start = at_;
    while (at_ < text_.size() &&
           std::string_view("+-.0123456789Eaeflnrstu").find(text_[at_]) != std::string_view::npos) {
      ++at_;
    }
    out = text_.substr(start, at_ - start);
    return out == "true" || out == "false" || out == "null" || (!out.empty() && IsNumber(out));
  }

  static bool IsNumber(const std::string& text) {
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
  }

  std::string_view text_;
  size_t at_ = 0;
};

}  // namespace

const JsonValue* JsonValue::Find(std::string_view key) const {
  for (const auto& [name, value] : members) {
    if (name == key) return &value;
  }
  return nullptr;
}

std::string JsonValue::Text(std::string_view key) const {
  const JsonValue* value = Find(key);
  return value != nullptr ? value->text : std::string();
}

double JsonValue::Number(std::string_view key) const { return std::strtod(Text(key).c_str(), nullptr); }

std::optional<JsonValue> ParseJson(std::string_view text) { return Parser(text).Document(); }

}  // namespace zeb::testing
