// The exports the library has so far, as the host sees them.
#pragma once

#include <cstdint>

extern "C" {
int64_t AttachProcess(int64_t);
int64_t DetachProcess(int64_t);
}
