#include "platform/file_filters.h"

#include <algorithm>

namespace zeb::platform {
namespace {

// The characters of a UTF-16 text; a lone surrogate stands for itself.
std::u32string Characters(const ToolkitString& text) {
  std::u32string characters;
  characters.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      characters.push_back(0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00));
    } else {
      characters.push_back(unit);
    }
  }
  return characters;
}

// The small letter of a capital of the Latin (ASCII, Latin-1 and Extended-A),
// Greek and Cyrillic alphabets; any other character unchanged.
char32_t Small(char32_t c) {
  if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if ((c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  // The one capital of Extended-A whose small letter lies in Latin-1.
  if (c == 0x178) return 0xFF;
  // Extended-A pairs a capital with the small letter after it; the pairs start on
  // even code points, except between U+0139 and U+0148 and from U+0179 on.
  if (c >= 0x100 && c <= 0x17E && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149) {
    const bool oddCapitals = (c >= 0x139 && c <= 0x148) || c >= 0x179;
    if ((c % 2 == 1) == oddCapitals) return c + 1;
  }
  return c;
}

}  // namespace

// Matches from the left; on a mismatch after a "*", that "*" takes one character
// more and matching resumes there, so no input makes the search blow up.
bool MatchesGlob(const ToolkitString& pattern, const ToolkitString& name) {
  std::u32string glob = Characters(pattern);
  std::u32string text = Characters(name);
  std::transform(glob.begin(), glob.end(), glob.begin(), Small);
  std::transform(text.begin(), text.end(), text.begin(), Small);
  size_t g = 0;
  size_t t = 0;
  size_t star = std::u32string::npos;
  size_t resume = 0;
  while (t < text.size()) {
    if (g < glob.size() && (glob[g] == U'?' || (glob[g] != U'*' && glob[g] == text[t]))) {
      ++g;
      ++t;
    } else if (g < glob.size() && glob[g] == U'*') {
      star = g++;
      resume = t;
    } else if (star != std::u32string::npos) {
      g = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (g < glob.size() && glob[g] == U'*') ++g;
  return g == glob.size();
}

bool FileFilter::Accepts(const ToolkitString& name) const {
  return std::any_of(patterns.begin(), patterns.end(),
                     [&](const ToolkitString& pattern) { return MatchesGlob(pattern, name); });
}

}  // namespace zeb::platform
