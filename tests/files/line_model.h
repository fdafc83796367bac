// The line rules of sequential files, byte by byte: LF, CR, CR LF and NUL end a
// line, and each line's bytes decode from UTF-8 with U+FFFD for each ill-formed
// piece. A buffered file is at its end once no byte is left; an unbuffered one
// only after a read has met the end, which gives one more, empty, line after a
// final line end other than CR (the look past a CR meets the end).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "runtime/core/text_conversion.h"

namespace zeb::testing {

inline std::vector<std::u16string> ModelLines(const std::string& bytes, bool buffered) {
  std::vector<std::string> pieces(1);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char byte = bytes[i];
    if (byte != '\n' && byte != '\r' && byte != 0) {
      pieces.back() += byte;
      continue;
    }
    if (byte == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    pieces.emplace_back();
  }
  const bool endsInCR = !bytes.empty() && bytes.back() == '\r';
  if (pieces.back().empty() && (buffered || endsInCR)) pieces.pop_back();
  std::vector<std::u16string> lines;
  for (const std::string& piece : pieces) {
    const auto units = std::make_unique<Unit[]>(piece.size());
    lines.emplace_back(units.get(), static_cast<size_t>(DecodeUTF8Whole(piece.data(), static_cast<int64_t>(piece.size()),
                                                                         units.get(), BadText::kReplace)));
  }
  return lines;
}

}  // namespace zeb::testing
