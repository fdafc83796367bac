#include "runtime/files/output_reader.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "runtime/core/memory.h"

namespace zeb {

// One memory block: the pipe end, the ring and the positions in it, kept as offsets
// from the ring's first byte.
struct OutputReader {
  int descriptor;
  bool ended;             // the pipe reported its end
  int32_t readPosition;   // next byte to hand out
  int32_t writePosition;  // where the next bytes from the pipe go
  int32_t count;          // bytes held, 0 to kOutputRingSize
  // The pipe reported an error other than "nothing to read yet"; no further byte
  // can come, so this reads as the end of the output.
  bool failed;
  unsigned char ring[kOutputRingSize];
};

namespace {

bool AtEnd(const OutputReader* reader) { return reader->failed || reader->ended; }

// Whether a read would not wait: bytes, the end or an error are there. The pipe
// end is non-blocking, but a program that takes it as its input where the system
// cannot open the pipe anew shares its flags and makes it blocking.
bool ReadWouldNotWait(int descriptor) {
  pollfd poller = {descriptor, POLLIN, 0};
  return poll(&poller, 1, 0) == 1;
}

void Fill(OutputReader* reader) {
  while (!AtEnd(reader) && reader->count < kOutputRingSize && ReadWouldNotWait(reader->descriptor)) {
    // The free space runs up to the read position when the used part wraps past
    // the ring's end, else up to the ring's end.
    const int32_t limit = reader->writePosition < reader->readPosition ? reader->readPosition : kOutputRingSize;
    const auto space = static_cast<size_t>(limit - reader->writePosition);
    const ssize_t got = read(reader->descriptor, reader->ring + reader->writePosition, space);
    if (got == 0) reader->ended = true;
    if (got <= 0) {
      // An empty pipe or a signal only means "not yet"; anything else means no
      // byte will come.
      if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) reader->failed = true;
      return;
    }
    reader->writePosition = static_cast<int32_t>((reader->writePosition + got) % kOutputRingSize);
    reader->count += static_cast<int32_t>(got);
    if (static_cast<size_t>(got) < space) return;
  }
}

void SleepBriefly() {
  const timespec pause = {0, 5'000'000};
  nanosleep(&pause, nullptr);
}

// Delivers up to `wanted` bytes, waiting while the pipe is empty but not at its end.
int64_t ReadBytes(OutputReader* reader, unsigned char* target, int64_t wanted) {
  int64_t delivered = 0;
  while (delivered < wanted) {
    if (reader->count == 0) {
      if (AtEnd(reader)) break;
      Fill(reader);
      while (reader->count == 0 && !AtEnd(reader)) {
        SleepBriefly();
        Fill(reader);
      }
      if (reader->count == 0) break;
    }
    const int64_t contiguous = std::min<int64_t>(reader->count, kOutputRingSize - reader->readPosition);
    const int64_t part = std::min(contiguous, wanted - delivered);
    std::memcpy(target + delivered, reader->ring + reader->readPosition, static_cast<size_t>(part));
    delivered += part;
    reader->readPosition = static_cast<int32_t>((reader->readPosition + part) % kOutputRingSize);
    reader->count -= static_cast<int32_t>(part);
  }
  return delivered;
}

}  // namespace

OutputReader* NewOutputReader(int descriptor) {
  int flags = fcntl(descriptor, F_GETFL);
  if (flags == -1) flags = 0;
  if (fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) == -1) return nullptr;
  auto* reader = static_cast<OutputReader*>(AllocateMemory(sizeof(OutputReader)));
  if (reader == nullptr) return nullptr;
  reader->descriptor = descriptor;
  return reader;
}

int64_t OutputAvailable(OutputReader* reader) {
  if (reader == nullptr) return 0;
  if (reader->count == 0) Fill(reader);
  return reader->count;
}

int32_t ReadOutputByte(OutputReader* reader) {
  unsigned char byte = 0;
  if (reader == nullptr || ReadBytes(reader, &byte, 1) != 1) return -1;
  return static_cast<int8_t>(byte);
}

int32_t ReadOutputCharacter(OutputReader* reader) {
  unsigned char lead = 0;
  if (reader == nullptr || ReadBytes(reader, &lead, 1) != 1) return -1;
  if (lead < 0x80) return lead;
  int32_t value = 0;
  int64_t more = 0;
  if ((lead & 0xE0) == 0xC0) {
    value = lead & 31;
    more = 1;
  } else if ((lead & 0xF0) == 0xE0) {
    value = lead & 15;
    more = 2;
  } else if ((lead & 0xF8) == 0xF0) {
    // Runtime characters are single 16-bit units: a character beyond them is read
    // whole and stands as a space.
    unsigned char rest[3];
    return ReadBytes(reader, rest, 3) == 3 ? 32 : -1;
  } else {
    return 32;
  }
  unsigned char continuation[2];
  if (ReadBytes(reader, continuation, more) != more) return -1;
  for (int64_t i = 0; i < more; ++i) value = (value << 6) | (continuation[i] & 63);
  return value;
}

int64_t ReadOutputBlock(OutputReader* reader, void* buffer, int64_t itemSize, int64_t itemCount) {
  int64_t total = 0;
  if (reader == nullptr || buffer == nullptr || itemSize < 0 || itemCount < 0 ||
      __builtin_mul_overflow(itemSize, itemCount, &total) || total == 0) {
    return 0;
  }
  return ReadBytes(reader, static_cast<unsigned char*>(buffer), total) / itemSize;
}

int32_t OutputEnded(OutputReader* reader) {
  if (reader == nullptr) return 1;
  Fill(reader);
  return reader->count == 0 && AtEnd(reader) ? 1 : 0;
}

void CloseOutputReader(OutputReader* reader) {
  if (reader == nullptr) return;
  close(reader->descriptor);
  FreeMemory(reader);
}

int OutputDescriptor(const OutputReader* reader) { return reader != nullptr ? reader->descriptor : -1; }

}  // namespace zeb
