// The fuzz targets' check: a broken property ends the run like a crash.
#pragma once

#include <cstdlib>

inline void Require(bool holds) {
  if (!holds) std::abort();
}
