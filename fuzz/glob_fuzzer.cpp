// libFuzzer target for the globs of the file dialogs' filters, against the C
// library's fnmatch. The input gives characters: a byte 01-7F is that ASCII
// character, a byte 80-BF with the byte after it picks one from the table below,
// a byte C0-FF the same one's capital (by the C library's towupper) when the
// table holds it, and a byte 00 ends a part. The first part is the name (its first 24
// characters), the others are the patterns of one filter (the first 12
// characters of each, which keeps fnmatch's backtracking short). fnmatch sees
// them as bytes: "*" and "?" as themselves, every other character as an ASCII
// byte of its own that it reads literally, one byte for both cases of a letter
// as the C library's towlower pairs them (an input with more characters than
// such bytes is not compared). Whatever the input, each pattern
// matches the name exactly when fnmatch says so, and the filter accepts the name
// exactly when one of its patterns matches. A broken property ends the run like
// a crash.
#include <fnmatch.h>

#include <algorithm>
#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cwctype>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "fuzz/require.h"
#include "platform/file_filters.h"

namespace {

using zeb::platform::ToolkitString;

// Letters of the Latin (Latin-1 and Extended-A), Greek and Cyrillic alphabets,
// whose case the filters ignore, and characters without case, some of them
// beyond U+FFFF. U+0130 is left out: case folding gives it no single small
// letter (only "i" with a combining dot), while the C library lowers it to "i".
constexpr struct {
  char32_t first;
  char32_t last;
} kRanges[] = {{0x80, 0x12F}, {0x131, 0x17F}, {0x391, 0x3C9}, {0x400, 0x45F}, {0x4E00, 0x4E2D}, {0x1F600, 0x1F64F}};

constexpr size_t kNameLength = 24;
constexpr size_t kPatternLength = 12;

bool InTable(char32_t c) {
  return std::any_of(std::begin(kRanges), std::end(kRanges),
                     [c](const auto& range) { return c >= range.first && c <= range.last; });
}

// The index counts round the table.
char32_t FromTable(unsigned index) {
  for (;;) {
    for (const auto& range : kRanges) {
      if (index <= range.last - range.first) return range.first + index;
      index -= range.last - range.first + 1;
    }
  }
}

std::vector<std::u32string> Parts(const uint8_t* data, size_t size) {
  std::vector<std::u32string> parts(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      parts.emplace_back();
    } else if (data[i] < 0x80) {
      parts.back() += data[i];
    } else if (i + 1 < size) {
      const char32_t c = FromTable((data[i] & 0x3Fu) << 8 | data[i + 1]);
      const auto capital = static_cast<char32_t>(std::towupper(static_cast<wint_t>(c)));
      parts.back() += data[i] >= 0xC0 && InTable(capital) ? capital : c;
      ++i;
    }
  }
  return parts;
}

ToolkitString UTF16(const std::u32string& characters) {
  ToolkitString units;
  for (const char32_t c : characters) {
    if (c >= 0x10000) units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    units += static_cast<char16_t>(c < 0x10000 ? c : 0xDC00 + (c & 0x3FF));
  }
  return units;
}

// The characters as bytes for fnmatch, by `bytes`, which starts with "*" and "?"
// as themselves: every other character takes a byte of its own, the same for both
// cases of a letter, from the ASCII bytes that fnmatch reads as themselves. False
// when the bytes run out.
bool Bytes(const std::u32string& characters, std::map<wint_t, char>& bytes, std::string& text) {
  for (const char32_t c : characters) {
    const wint_t key = std::towlower(static_cast<wint_t>(c));
    if (bytes.count(key) == 0) {
      int next = static_cast<int>(bytes.size()) + 1;
      for (const char special : {'*', '?', '[', '\\'}) next += next >= special;
      if (next > 0x7F) return false;
      bytes[key] = static_cast<char>(next);
    }
    text += bytes[key];
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool started = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
  Require(started);

  const std::vector<std::u32string> parts = Parts(data, size);
  const std::u32string name = parts[0].substr(0, kNameLength);
  std::map<wint_t, char> bytes = {{U'*', '*'}, {U'?', '?'}};
  std::string nameBytes;
  if (!Bytes(name, bytes, nameBytes)) return 0;
  zeb::platform::FileFilter filter;
  bool anyMatches = false;
  for (size_t i = 1; i < parts.size(); ++i) {
    const std::u32string pattern = parts[i].substr(0, kPatternLength);
    std::string patternBytes;
    if (!Bytes(pattern, bytes, patternBytes)) return 0;
    const bool matches = fnmatch(patternBytes.c_str(), nameBytes.c_str(), 0) == 0;
    Require(zeb::platform::MatchesGlob(UTF16(pattern), UTF16(name)) == matches);
    filter.patterns.push_back(UTF16(pattern));
    anyMatches = anyMatches || matches;
  }
  Require(filter.Accepts(UTF16(name)) == anyMatches);
  return 0;
}
