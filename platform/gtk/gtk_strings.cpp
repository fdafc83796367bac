#include "platform/gtk/gtk_strings.h"


namespace zeb::platform {
namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUTF8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void AppendUnits(ToolkitString& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 | (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
  }
}

// The unit that carries a byte of a file name that starts no valid sequence.
constexpr char32_t kEscapedByte = 0xDC00;

// The code point at text[i], advancing i past it. A byte that starts no valid
// sequence (bad lead, missing continuation, overlong form, surrogate, beyond
// U+10FFFF) becomes U+FFFD, or kEscapedByte + byte when escaping, and only that
// byte is consumed.
char32_t NextCodePoint(std::string_view text, size_t& i, bool escape) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  // The sequence length, the lead's payload bits and the smallest code point that
  // needs this length (anything below is an overlong form).
  const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  char32_t c = lead & (0x7F >> length);
  const char32_t least = length == 4 ? 0x10000 : length == 3 ? 0x800 : 0x80;
  bool valid = lead >= 0xC2 && lead <= 0xF4 && length <= text.size() - i;
  for (size_t k = 1; valid && k < length; ++k) {
    valid = (byte(i + k) & 0xC0) == 0x80;
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  if (!valid || c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++i;
    return escape ? kEscapedByte + lead : 0xFFFD;
  }
  i += length;
  return c;
}

std::string ToUTF8(const ToolkitString& text, bool escaped) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (escaped && c >= kEscapedByte + 0x80 && c <= kEscapedByte + 0xFF) {
      out.push_back(static_cast<char>(c - kEscapedByte));
      continue;
    } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
      c = 0xFFFD;
    }
    AppendUTF8(out, c);
  }
  return out;
}

ToolkitString FromUTF8(std::string_view text, bool escape) {
  ToolkitString out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) AppendUnits(out, NextCodePoint(text, i, escape));
  return out;
}

}  // namespace

std::string ToUTF8(const ToolkitString& text) { return ToUTF8(text, false); }

ToolkitString FromUTF8(std::string_view text) { return FromUTF8(text, false); }

ToolkitString FromUTF8(const char* text) { return text != nullptr ? FromUTF8(std::string_view(text)) : ToolkitString(); }

ToolkitString FromFileName(std::string_view bytes) { return FromUTF8(bytes, true); }

std::string ToFileName(const ToolkitString& text) { return ToUTF8(text, true); }

long UnitsToCharacters(const ToolkitString& text, int64_t units) {
  long characters = 0;
  for (int64_t i = 0; i < units && i < static_cast<int64_t>(text.size()); ++i) {
    if (!IsLowSurrogate(text[static_cast<size_t>(i)]) || i == 0 || !IsHighSurrogate(text[static_cast<size_t>(i - 1)])) ++characters;
  }
  return characters;
}

int64_t CharactersToUnits(const ToolkitString& text, long characters) {
  int64_t units = 0;
  for (long c = 0; c < characters && units < static_cast<int64_t>(text.size()); ++c) {
    const bool pair = IsHighSurrogate(text[static_cast<size_t>(units)]) && units + 1 < static_cast<int64_t>(text.size()) &&
                      IsLowSurrogate(text[static_cast<size_t>(units + 1)]);
    units += pair ? 2 : 1;
  }
  return units;
}

}  // namespace zeb::platform
