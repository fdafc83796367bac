#include "runtime/core/json_line.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/core/text_conversion.h"

namespace zeb {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view line) : line_(line) {}

  JsonLine Object() {
    JsonObject object;
    if (!Take('{')) return Failed("expected '{'");
    if (!Take('}')) {
      do {
        std::string name;
        if (Peek() != '"') return Failed("expected a member name");
        const size_t nameAt = at_;
        if (!String(name)) return Failed(error_);
        if (FindMember(object, name) != nullptr) {
          at_ = nameAt;
          return Failed("member \"" + name + "\" given twice");
        }
        if (!Take(':')) return Failed("expected ':'");
        JsonScalar value;
        if (!Scalar(value)) return Failed(error_);
        object.emplace_back(std::move(name), std::move(value));
      } while (Take(','));
      if (!Take('}')) return Failed("expected ',' or '}'");
    }
    if (Peek() != '\0') return Failed("text after the object");
    return {std::move(object), {}};
  }

 private:
  // Skips white space; the next byte, or '\0' at the end.
  char Peek() {
    while (at_ < line_.size() && (line_[at_] == ' ' || line_[at_] == '\t' || line_[at_] == '\r')) ++at_;
    return at_ < line_.size() ? line_[at_] : '\0';
  }

  bool Take(char expected) {
    if (Peek() != expected) return false;
    ++at_;
    return true;
  }

  JsonLine Failed(const std::string& what) const { return {std::nullopt, what + " at column " + std::to_string(at_ + 1)}; }

  bool Fail(const char* what) {
    error_ = what;
    return false;
  }

  bool Scalar(JsonScalar& value) {
    const char next = Peek();
    if (next == '"') {
      value.kind = JsonScalar::Kind::String;
      return String(value.text);
    }
    if (next == '{' || next == '[') return Fail("objects and arrays are not taken as values");
    for (const auto& [word, kind] : {std::pair{std::string_view("true"), JsonScalar::Kind::True},
                                     std::pair{std::string_view("false"), JsonScalar::Kind::False},
                                     std::pair{std::string_view("null"), JsonScalar::Kind::Null}}) {
      if (line_.substr(at_, word.size()) == word) {
        at_ += word.size();
        value.kind = kind;
        return true;
      }
    }
    return Number(value);
  }

  // -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
  bool Number(JsonScalar& value) {
    const size_t start = at_;
    const auto Digits = [&] {
      const size_t first = at_;
      while (at_ < line_.size() && line_[at_] >= '0' && line_[at_] <= '9') ++at_;
      return at_ > first;
    };
    if (at_ < line_.size() && line_[at_] == '-') ++at_;
    if (at_ < line_.size() && line_[at_] == '0') {
      ++at_;
    } else if (!Digits()) {
      at_ = start;
      return Fail("expected a value");
    }
    if (at_ < line_.size() && line_[at_] == '.') {
      ++at_;
      if (!Digits()) return Fail("expected digits after '.'");
    }
    if (at_ < line_.size() && (line_[at_] == 'e' || line_[at_] == 'E')) {
      ++at_;
      if (at_ < line_.size() && (line_[at_] == '+' || line_[at_] == '-')) ++at_;
      if (!Digits()) return Fail("expected digits in the exponent");
    }
    value.kind = JsonScalar::Kind::Number;
    value.text = std::string(line_.substr(start, at_ - start));
    value.number = std::strtod(value.text.c_str(), nullptr);
    return true;
  }

  // Four hexadecimal digits after "\u", or -1.
  int Hex4() {
    if (line_.size() - at_ < 4) return -1;
    int code = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = line_[at_ + i];
      const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (digit < 0) return -1;
      code = code * 16 + digit;
    }
    at_ += 4;
    return code;
  }

  // A character given as one or two UTF-16 units, appended as UTF-8.
  static void AppendUnits(std::string& out, const Unit* units, int64_t count) {
    char bytes[8];
    out.append(bytes, static_cast<size_t>(EncodeUTF8(units, count, bytes, sizeof bytes).bytes));
  }

  // The \u escape after its backslash, a surrogate pair taken whole.
  bool UnicodeEscape(std::string& out) {
    const int code = Hex4();
    if (code < 0) return Fail("expected four hexadecimal digits after \\u");
    if (code >= 0xDC00 && code <= 0xDFFF) return Fail("a low surrogate without its high one");
    const Unit high = static_cast<Unit>(code);
    if (code < 0xD800 || code > 0xDBFF) {
      AppendUnits(out, &high, 1);
      return true;
    }
    if (line_.substr(at_, 2) != "\\u") return Fail("a high surrogate without its low one");
    at_ += 2;
    const int low = Hex4();
    if (low < 0xDC00 || low > 0xDFFF) return Fail("a high surrogate without its low one");
    const Unit pair[] = {high, static_cast<Unit>(low)};
    AppendUnits(out, pair, 2);
    return true;
  }

  bool String(std::string& out) {
    ++at_;  // the opening quote
    while (at_ < line_.size()) {
      const char c = line_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return Fail("a control character inside a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ == line_.size()) break;
      const char escape = line_[at_++];
      if (escape == 'u') {
        if (!UnicodeEscape(out)) return false;
        continue;
      }
      const size_t known = std::string_view("\"\\/bfnrt").find(escape);
      if (known == std::string_view::npos) return Fail("an unknown escape");
      out += "\"\\/\b\f\n\r\t"[known];
    }
    return Fail("a string without its closing quote");
  }

  std::string_view line_;
  size_t at_ = 0;
  std::string error_;
};

}  // namespace

const JsonScalar* FindMember(const JsonObject& object, std::string_view name) {
  for (const auto& [member, value] : object) {
    if (member == name) return &value;
  }
  return nullptr;
}

JsonLine ParseJsonLine(std::string_view line) { return Reader(line).Object(); }

std::string JsonQuoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace zeb
