#include "runtime/media/image_decoders.h"

#include <cstring>

#include "runtime/core/threads.h"

namespace zeb {
namespace {

// Written only by the start routines, read by every examination.
const ImageDecoder* decoders[MaxImageDecoders];
int32_t decoderCount = 0;

void* decodeRecordData = nullptr;

ImageDecodeRecord* CurrentRecord() { return static_cast<ImageDecodeRecord*>(ThreadData(decodeRecordData)); }

// Ends what an examination left open: the decoder's allocations and the stream.
// The record forgets both so that nothing is released twice.
void FinishRecord(ImageDecodeRecord* record) {
  if (record->decoder != nullptr && record->decoder->cleanup != nullptr) record->decoder->cleanup(record);
  record->decoder = nullptr;
  if (record->memoryMode == 0 && record->stream != nullptr) std::fclose(record->stream);
  record->stream = nullptr;
}

// Clears the record (finishing an examination the caller left open, which would
// otherwise leak its stream and allocations) and asks each decoder in turn.
uint32_t Examine(ImageDecodeRecord* record, FILE* stream, const void* memory, uint32_t size, int32_t memoryMode) {
  FinishRecord(record);
  std::memset(record, 0, sizeof *record);
  record->stream = stream;
  record->memory = static_cast<const uint8_t*>(memory);
  record->memorySize = size;
  record->memoryMode = memoryMode;
  const bool hasSource = memoryMode != 0 || stream != nullptr;
  for (int32_t i = 0; hasSource && i < decoderCount; ++i) {
    std::memset(record->decoderArea, 0, sizeof record->decoderArea);
    if (decoders[i]->check(record) != 0) {
      record->decoder = decoders[i];
      return decoders[i]->identifier;
    }
  }
  return 0;
}

}  // namespace

void InitImageDecoding() {
  // The record lives as long as the process, so a second start keeps it.
  if (decodeRecordData == nullptr) decodeRecordData = NewThreadData(sizeof(ImageDecodeRecord), nullptr, nullptr);
  decoderCount = 0;
}

bool RegisterImageDecoder(const ImageDecoder* decoder) {
  if (decoderCount >= MaxImageDecoders) return false;
  if (decoder == nullptr || decoder->check == nullptr || decoder->decode == nullptr) return false;
  decoders[decoderCount++] = decoder;
  return true;
}

uint32_t ExamineImageMemory(const void* address, int64_t size) {
  ImageDecodeRecord* record = CurrentRecord();
  if (record == nullptr) return 0;
  // A source the record cannot describe is examined as an empty one, which no
  // decoder accepts; the record is still cleared like after any examination.
  if (address == nullptr || size < 0 || size > UINT32_MAX) size = 0;
  return Examine(record, nullptr, address, static_cast<uint32_t>(size), 1);
}

uint32_t ExamineImageFile(FILE* stream) {
  ImageDecodeRecord* record = CurrentRecord();
  if (record == nullptr) {
    if (stream != nullptr) std::fclose(stream);
    return 0;
  }
  return Examine(record, stream, nullptr, 0, 0);
}

int32_t DecodedImageWidth() {
  const ImageDecodeRecord* record = CurrentRecord();
  return record != nullptr ? record->width : 0;
}

int32_t DecodedImageHeight() {
  const ImageDecodeRecord* record = CurrentRecord();
  return record != nullptr ? record->height : 0;
}

int32_t DecodedImageDepth() {
  const ImageDecodeRecord* record = CurrentRecord();
  return record != nullptr ? record->depth : 0;
}

int32_t DecodedImageSourceDepth() {
  const ImageDecodeRecord* record = CurrentRecord();
  return record != nullptr ? record->sourceDepth : 0;
}

int32_t DecodeImage(void* destination, int32_t bytesPerRow, int32_t flags) {
  ImageDecodeRecord* record = CurrentRecord();
  if (record == nullptr || record->decoder == nullptr) return 0;
  return record->decoder->decode(record, static_cast<uint8_t*>(destination), bytesPerRow, flags);
}

void FinishImageDecoding() {
  ImageDecodeRecord* record = CurrentRecord();
  if (record != nullptr) FinishRecord(record);
}

}  // namespace zeb
