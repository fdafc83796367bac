#include "runtime/files/sequential_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "runtime/core/memory_strings.h"
#include "runtime/core/object_registry.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/files/long_path.h"
#include "runtime/files/registry_end.h"

namespace zeb {
namespace {

struct SequentialFile {
  FILE* stream;       // null: the file does not exist
  char* buffer;       // the read buffer; null for an unbuffered file
  int32_t size;       // the read buffer's capacity
  int32_t available;  // bytes of the buffer not yet handed out
  int32_t filled;     // bytes the last refill put in; the next byte is at filled - available
};

constexpr int32_t kGrowthStep = 16;
constexpr int32_t kReadBufferSize = 4096;

ObjectRegistry* files = nullptr;

enum class OpenKind { kRead, kOpen, kCreate };

// The bytes of a line that runs past the end of the read buffer (or of any line of
// an unbuffered file), kept until the line's end is found. It doubles as it grows,
// so a long line costs linear time. When the heap refuses, the line keeps what it
// holds and the rest of it is dropped.
class LineBuffer {
 public:
  LineBuffer() = default;
  LineBuffer(const LineBuffer&) = delete;
  LineBuffer& operator=(const LineBuffer&) = delete;
  ~LineBuffer() { std::free(bytes_); }

  size_t length() const { return length_; }

  void Append(const char* from, size_t count) {
    if (full_) return;
    if (length_ + count + 1 > capacity_) {
      size_t capacity = capacity_ < kFirstCapacity ? kFirstCapacity : 2 * capacity_;
      if (capacity < length_ + count + 1) capacity = length_ + count + 1;
      char* grown = static_cast<char*>(std::realloc(bytes_, capacity));
      if (grown == nullptr) {
        full_ = true;
        return;
      }
      bytes_ = grown;
      capacity_ = capacity;
    }
    std::memcpy(bytes_ + length_, from, count);
    length_ += count;
  }

  // The line so far, NUL-terminated.
  const char* text() {
    if (bytes_ == nullptr) return "";
    bytes_[length_] = 0;
    return bytes_;
  }

 private:
  static constexpr size_t kFirstCapacity = 4096;
  char* bytes_ = nullptr;
  size_t length_ = 0;
  size_t capacity_ = 0;
  bool full_ = false;  // the heap refused once: later pieces would leave a gap
};

SequentialFile* FindFile(int64_t number) { return static_cast<SequentialFile*>(IsObject(files, number)); }

FILE* OpenStreamAt(const LongPath& file, int access, const char* mode) {
  // Opened without blocking, so that a FIFO without a writer cannot hang the
  // open; reads then block as they do on any stream.
  const int handle = openat(file.directory(), file.name(), access | O_NONBLOCK | O_CLOEXEC, 0666);
  if (handle < 0) return nullptr;
  fcntl(handle, F_SETFL, fcntl(handle, F_GETFL) & ~O_NONBLOCK);
  FILE* stream = fdopen(handle, mode);
  if (stream == nullptr) close(handle);
  return stream;
}

FILE* OpenStream(const Unit* path, OpenKind kind) {
  const LongPath file(path);
  if (!file.valid()) return nullptr;
  switch (kind) {
    case OpenKind::kRead:
      return OpenStreamAt(file, O_RDONLY, "r");
    case OpenKind::kOpen:
      if (FILE* stream = OpenStreamAt(file, O_RDWR, "r+")) return stream;
      return OpenStreamAt(file, O_RDWR | O_CREAT | O_TRUNC, "w+");
    case OpenKind::kCreate:
      return OpenStreamAt(file, O_RDWR | O_CREAT | O_TRUNC, "w+");
  }
  return nullptr;
}

int64_t OpenSequentialFile(int64_t number, const Unit* path, OpenKind kind, int flags) {
  auto* file = static_cast<SequentialFile*>(AllocateObject(files, number));
  if (file == nullptr) return 0;
  FILE* stream = OpenStream(path, kind);
  char* buffer = nullptr;
  if (stream != nullptr && (flags & FileUnbuffered) == 0) {
    buffer = static_cast<char*>(std::malloc(kReadBufferSize));
    if (buffer == nullptr) {
      std::fclose(stream);
      stream = nullptr;
    }
  }
  const int64_t address = static_cast<int64_t>(reinterpret_cast<intptr_t>(file));
  if (stream == nullptr) {
    // A dynamic record goes again; a numbered one stays, absent.
    FreeObjectRecord(files, number == DynamicNumber ? address : number);
    return 0;
  }
  if (kind == OpenKind::kOpen && (flags & FileAppend) != 0) fseeko(stream, 0, SEEK_END);
  file->stream = stream;
  file->buffer = buffer;
  file->size = buffer != nullptr ? kReadBufferSize : 0;
  if (number == DynamicNumber) return address;
  return static_cast<int64_t>(reinterpret_cast<intptr_t>(stream));
}

// Fills the read buffer from the stream; false when nothing more can be read. A
// read that a signal interrupted stops the stream with an error: it is taken up
// again.
bool Refill(SequentialFile* file) {
  size_t count = std::fread(file->buffer, 1, static_cast<size_t>(file->size), file->stream);
  while (count == 0 && std::ferror(file->stream) != 0 && errno == EINTR) {
    std::clearerr(file->stream);
    count = std::fread(file->buffer, 1, static_cast<size_t>(file->size), file->stream);
  }
  file->filled = file->available = static_cast<int32_t>(count);
  return count > 0;
}

char* NextByte(SequentialFile* file) { return file->buffer + (file->filled - file->available); }

// The first byte that ends a line (LF, CR or NUL) among `count` bytes, or null.
char* FindLineEnd(char* bytes, size_t count) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i lineFeed = _mm_set1_epi8('\n');
  const __m128i carriageReturn = _mm_set1_epi8('\r');
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= count; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    const __m128i ends = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, lineFeed), _mm_cmpeq_epi8(block, zero)),
                                      _mm_cmpeq_epi8(block, carriageReturn));
    if (const int mask = _mm_movemask_epi8(ends)) return bytes + i + __builtin_ctz(static_cast<unsigned>(mask));
  }
#endif
  for (; i < count; ++i) {
    if (bytes[i] == '\n' || bytes[i] == '\r' || bytes[i] == 0) return bytes + i;
  }
  return nullptr;
}

// One line from the read buffer. A line that lies whole in the buffer is handed
// over where it stands; only a line that runs past a refill is gathered in a line
// buffer first.
void ReadBufferedLine(SequentialFile* file, LineTaker take, void* context) {
  LineBuffer line;
  bool gathered = false;
  for (;;) {
    if (file->available == 0 && !Refill(file)) break;  // the last line ends with the file
    char* bytes = NextByte(file);
    char* end = FindLineEnd(bytes, static_cast<size_t>(file->available));
    if (end == nullptr) {
      line.Append(bytes, static_cast<size_t>(file->available));
      file->available = 0;
      gathered = true;
      continue;
    }
    const char ending = *end;
    file->available -= static_cast<int32_t>(end - bytes) + 1;
    if (!gathered) {
      take(bytes, static_cast<size_t>(end - bytes), context);
    } else {
      line.Append(bytes, static_cast<size_t>(end - bytes));
      take(line.text(), line.length(), context);
    }
    // CR LF is one line end: the LF after a CR is taken with it.
    if (ending == '\r' && (file->available > 0 || Refill(file)) && *NextByte(file) == '\n') --file->available;
    return;
  }
  take(line.text(), line.length(), context);
}

void ReadUnbufferedLine(FILE* stream, LineTaker take, void* context) {
  LineBuffer line;
  int byte;
  while ((byte = std::getc(stream)) != EOF && byte != 0 && byte != '\n' && byte != '\r') {
    const char c = static_cast<char>(byte);
    line.Append(&c, 1);
  }
  if (byte == '\r') {
    const int next = std::getc(stream);
    if (next != EOF && next != '\n') std::ungetc(next, stream);
  }
  take(line.text(), line.length(), context);
}

// A line's text as a runtime string at *start: one malformed piece of UTF-8
// costs only itself.
void DecodeLine(const char* bytes, size_t length, void* start) {
  UTF8ToTempStringWhole(bytes, static_cast<int64_t>(length), BadText::kReplace, *static_cast<int64_t*>(start));
}

}  // namespace

void InitSequentialFiles() {
  EndSequentialFiles();
  files = NewObjectRegistry(sizeof(SequentialFile), kGrowthStep, CloseFile);
}

void EndSequentialFiles() { EndRegistry(files); }

int64_t ReadFile(int64_t number, const Unit* path, int flags) {
  return OpenSequentialFile(number, path, OpenKind::kRead, flags);
}
int64_t ReadFile(int64_t number, const Unit* path) { return ReadFile(number, path, FileBuffered); }

int64_t OpenFile(int64_t number, const Unit* path, int flags) {
  return OpenSequentialFile(number, path, OpenKind::kOpen, flags);
}
int64_t OpenFile(int64_t number, const Unit* path) { return OpenFile(number, path, FileBuffered); }

int64_t CreateFile(int64_t number, const Unit* path, int flags) {
  return OpenSequentialFile(number, path, OpenKind::kCreate, flags);
}
int64_t CreateFile(int64_t number, const Unit* path) { return CreateFile(number, path, FileBuffered); }

bool ReadLine(int64_t number, LineTaker take, void* context) {
  SequentialFile* file = FindFile(number);
  if (file == nullptr) return false;
  if (file->buffer != nullptr) {
    ReadBufferedLine(file, take, context);
  } else {
    ReadUnbufferedLine(file->stream, take, context);
  }
  return true;
}

void ReadString(int64_t number, int64_t start) {
  if (!ReadLine(number, DecodeLine, &start)) EmptyTempResult(start);
}

int Eof(int64_t number) {
  SequentialFile* file = FindFile(number);
  if (file == nullptr) return 0;
  // A read error counts as the end too, or a loop that reads until the end
  // would never finish.
  if (file->buffer == nullptr) return std::feof(file->stream) != 0 || std::ferror(file->stream) != 0 ? 1 : 0;
  return file->available > 0 || Refill(file) ? 0 : 1;
}

void CloseFile(int64_t number) {
  if (number == DynamicNumber) {
    FreeAllObjects(files);
    return;
  }
  SequentialFile* file = FindFile(number);
  if (file == nullptr) return;
  std::fclose(file->stream);
  std::free(file->buffer);
  FreeObjectRecord(files, number);
}

}  // namespace zeb
