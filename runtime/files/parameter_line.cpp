#include "runtime/files/parameter_line.h"

namespace zeb {
namespace {

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\n'; }

}  // namespace

std::vector<char*> SplitParameterLine(char* program, char* line) {
  std::vector<char*> vector{program};
  char* scan = line;
  while (scan != nullptr && *scan != 0 && vector.size() <= kMaxParameters) {
    if (IsSeparator(*scan)) {
      *scan++ = 0;
    } else if (*scan == '"') {
      vector.push_back(++scan);
      while (*scan != 0 && *scan != '"' && *scan != '\n') ++scan;
      if (*scan != 0) *scan++ = 0;
    } else {
      vector.push_back(scan);
      while (*scan != 0 && !IsSeparator(*scan)) ++scan;
      // Terminated here rather than by the next round, which a full vector skips.
      if (*scan != 0) *scan++ = 0;
    }
  }
  vector.push_back(nullptr);
  return vector;
}

}  // namespace zeb
