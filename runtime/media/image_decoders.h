// The image decoder registry and the per-thread decode record.
//
// A decoder describes itself with one static ImageDecoder record and registers it
// at library start. Decoding is a conversation with the calling thread's decode
// record: examine a source (a memory block or an open file), read the picture's
// size from the record, decode into a destination of the caller's, and finish.
// Every examination, accepted or not, is closed with FinishImageDecoding; one left
// open is finished by the next examination.
#pragma once

#include <cstdint>
#include <cstdio>

namespace zeb {

// The registry's capacity: registering more decoders is refused.
inline constexpr int32_t MaxImageDecoders = 30;

struct ImageDecodeRecord;

struct ImageDecoder {
  // Non-zero when the decoder accepts the source; fills width, height, depth and
  // source depth. Whatever it allocates is kept in the decoder area.
  int32_t (*check)(ImageDecodeRecord* record);
  // Writes the pixels into `destination`, whose rows start `bytesPerRow` bytes
  // apart, and returns 1.
  int32_t (*decode)(ImageDecodeRecord* record, uint8_t* destination, int32_t bytesPerRow, int32_t flags);
  // Frees what check allocated.
  void (*cleanup)(ImageDecodeRecord* record);
  // The format's tag, its letters in little-endian byte order.
  uint32_t identifier;
};

inline constexpr int32_t ImageDecoderAreaWords = 8;

// One per thread (one shared record in this system); cleared before each
// examination.
struct ImageDecodeRecord {
  const ImageDecoder* decoder;  // the decoder that accepted the source, or null
  FILE* stream;                 // file mode: the source, closed by FinishImageDecoding
  const uint8_t* memory;        // memory mode: the source
  uint32_t memorySize;
  int32_t memoryMode;  // 1 for a memory source, 0 for a file
  int32_t width;
  int32_t height;
  int32_t depth;                                 // bits per pixel of the decoded output
  uintptr_t decoderArea[ImageDecoderAreaWords];  // private to the decoder, cleared before its check
  int32_t sourceDepth;                           // bits per pixel of the source
};

// Start routine: makes the decode record and empties the decoder table.
void InitImageDecoding();

// Appends a decoder to the table, which is asked in registration order. False,
// and nothing changes, when the table is full or the descriptor is null or lacks
// its check or decode routine.
bool RegisterImageDecoder(const ImageDecoder* decoder);

// The identifier of the first decoder that accepts the `size` bytes at `address`,
// or 0. The block must stay valid until FinishImageDecoding.
uint32_t ExamineImageMemory(const void* address, int64_t size);

// As ExamineImageMemory for an open file, which the examination takes over:
// FinishImageDecoding closes it, whether a decoder accepted it or not.
uint32_t ExamineImageFile(FILE* stream);

// The calling thread's decode record as the last examination left it.
int32_t DecodedImageWidth();
int32_t DecodedImageHeight();
int32_t DecodedImageDepth();
int32_t DecodedImageSourceDepth();

// The accepting decoder's decode result, or 0 when no decoder accepted the source.
int32_t DecodeImage(void* destination, int32_t bytesPerRow, int32_t flags);

// Runs the decoder's cleanup, then closes the stream of a file source. A second
// call does nothing.
void FinishImageDecoding();

}  // namespace zeb
