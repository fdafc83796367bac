// How host arguments become runtime values and runtime results go back to the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/autorelease_scope.h"
#include "runtime/core/runtime_string.h"
#include "runtime/core/string_variables.h"
#include "runtime/core/text_conversion.h"

#define ZEB_EXPORT extern "C" __attribute__((visibility("default")))

namespace zeb {

// A host string argument (UTF-8, NUL-terminated, null as empty) as a runtime string
// that the export owns and frees on return. Malformed UTF-8 is decoded as far as it
// goes.
StringVariable DecodeHostString(const char* text);
// The same under a BadText rule, for arguments that must arrive whole: a path
// (kEscape: exactly its bytes, whatever they are) or a text for the clipboard
// (kReplace).
StringVariable DecodeHostString(const char* text, BadText rule);
inline StringVariable DecodeHostPath(const char* path) { return DecodeHostString(path, BadText::kEscape); }

// Places s as NUL-terminated UTF-8 in the temporary string buffer at the buffer
// position and returns its address, never null. s may itself be a result lying in
// the buffer below the buffer position. An unpaired surrogate becomes U+FFFD, and
// under kEscape an escaped byte of a file name becomes that byte again.
const char* EncodeHostString(const Unit* s, BadText rule = BadText::kReplace);

// A UTF-8 result built straight in the temporary string buffer from its result
// position on, for a result too large to be built as a runtime string first.
// Room is taken as it is needed, doubling; when the buffer cannot grow, the
// result becomes empty.
class HostTextBuilder {
 public:
  explicit HostTextBuilder(int64_t start) : start_(start) {}
  // Room for `bytes` more at once (the size of a file, say).
  void Reserve(int64_t bytes);
  // Appends UTF-8 from outside, each malformed piece as U+FFFD.
  void AppendRepaired(const char* bytes, size_t length);
  void Append(const std::string& utf8);
  int64_t size() const { return size_; }
  // Drops what was built; nothing is appended any more.
  void GiveUp();
  bool gaveUp() const { return failed_; }
  // The NUL-terminated text; the buffer position is left just after it.
  const char* Finish();

 private:
  // The place for `bytes` more, or null once the buffer could not grow.
  char* Room(int64_t bytes);
  void Settle();

  int64_t start_;
  int64_t size_ = 0;
  int64_t reserved_ = 0;
  bool failed_ = false;
};

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
  const char* Text(const Unit* s, BadText rule = BadText::kReplace);

 private:
  platform::AutoreleaseScope pool_;
};

}  // namespace zeb
