// libFuzzer target for reading sequential files line by line: the input's bytes
// are the whole file (one temporary file per process, rewritten for each input and
// removed at exit), read buffered and then unbuffered with ReadString until Eof.
// Whatever the bytes, the lines are the pieces of the file between line ends (LF,
// CR, CR LF as one, and NUL, after which the next line begins), each decoded from
// UTF-8 with every ill-formed piece as U+FFFD; a buffered file gives no line after a final line end
// (and none for an empty file), an unbuffered one gives a last empty line unless
// the file ends in CR. A broken property ends the run like a crash.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/require.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/files/sequential_files.h"
#include "tests/files/line_model.h"

namespace {

using Lines = std::vector<std::u16string>;

char path[] = "/tmp/line_reader_fuzzer-XXXXXX";
int handle = -1;

void Start() {
  handle = mkstemp(path);
  Require(handle >= 0);
  std::atexit([] { unlink(path); });
  zeb::InitStringBuffer();
  zeb::InitSequentialFiles();
}

Lines ReadLines(size_t size, int flags) {
  const std::u16string file(path, path + sizeof path - 1);
  Require(zeb::ReadFile(0, file.c_str(), flags) != 0);
  Lines lines;
  while (zeb::Eof(0) == 0) {
    // No file of n bytes has more than n + 1 lines.
    Require(lines.size() <= size);
    const int64_t start = zeb::TempBufferPosition();
    zeb::ReadString(0, start);
    lines.emplace_back(zeb::TempStringAddress(start));
    zeb::SetTempBufferPosition(start);
  }
  zeb::CloseFile(0);
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool started = (Start(), true);
  (void)started;

  Require(pwrite(handle, data, size, 0) == static_cast<ssize_t>(size));
  Require(ftruncate(handle, static_cast<off_t>(size)) == 0);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Require(ReadLines(size, zeb::FileBuffered) == zeb::testing::ModelLines(bytes, true));
  Require(ReadLines(size, zeb::FileUnbuffered) == zeb::testing::ModelLines(bytes, false));
  return 0;
}
