// How host arguments become runtime values and runtime results go back to the host.
#pragma once

#include <cstdint>

#include "runtime/core/runtime_string.h"
#include "runtime/core/string_variables.h"

#define ZEB_EXPORT extern "C" __attribute__((visibility("default")))

namespace zeb {

// A host string argument (UTF-8, NUL-terminated, null as empty) as a runtime string
// that the export owns and frees on return. Malformed UTF-8 is decoded as far as it
// goes.
StringVariable DecodeHostString(const char* text);

// Places s as NUL-terminated UTF-8 in the temporary string buffer at the buffer
// position and returns its address, never null. s may itself be a result lying in
// the buffer below the buffer position.
const char* EncodeHostString(const Unit* s);

// A host number rounded to the nearest integer, ties to even. NaN gives 0 and values
// beyond the signed 64-bit range give its nearest end.
int64_t RoundToInteger(double value);

// One host call into the library. The host copies every string result before its
// next call, so the space of the previous result is reused from here on.
class HostCall {
 public:
  HostCall();
  HostCall(const HostCall&) = delete;
  HostCall& operator=(const HostCall&) = delete;

  // A number result: the buffer is left as the call found it.
  double Number(double value);
  // A string result, left in the buffer just after the call's own position (or,
  // for a result built in the buffer, just after that result).
  const char* Text(const Unit* s);
};

}  // namespace zeb
