#include "runtime/media/bmp_decoder.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "runtime/core/memory.h"

// Malformed files are clipped, never rejected after the check:
// - Header fields that lie beyond the data read as 0.
// - A width below 1, a height below 1 (also in RLE8, whose rows would all lie
//   outside the picture), or destination rows shorter than width * 3 bytes write
//   nothing.
// - Pixel rows are decoded while their bytes last: a truncated file fills the rows
//   it holds, then the pixels of its last partial row, and leaves the rest of the
//   destination untouched.
// - A colour table holds the entries that the colours-used field (or the bit
//   count) promises and whose three colour bytes lie inside the data; any other
//   index is black.
// - RLE8 pixels beyond the row's end are dropped rather than wrapped, moves past
//   the top row end the picture, and so does the end of the data when the
//   end-of-picture escape is missing. Pixels the stream never reaches stay as the
//   destination held them.

namespace zeb {
namespace {

// The decoder area: the data's address and size, and in file mode the block that
// holds the file, which the cleanup frees.
enum AreaWord { AreaData, AreaSize, AreaFileBlock };

constexpr uint32_t kSignature = 0x4D42;  // "BM"
constexpr int64_t kFileHeaderBytes = 14;

enum Compression : uint32_t { CompressionNone = 0, CompressionRLE8 = 1, CompressionRLE4 = 2, CompressionBitFields = 3 };

// The data as the check found it; reads beyond its end give 0.
struct Source {
  const uint8_t* data;
  uint64_t size;

  uint32_t U16(uint64_t offset) const {
    if (offset + 2 > size) return 0;
    return uint32_t{data[offset]} | uint32_t{data[offset + 1]} << 8;
  }
  uint32_t U32(uint64_t offset) const {
    if (offset + 4 > size) return 0;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | data[offset + i];
    return value;
  }
  int32_t I32(uint64_t offset) const { return static_cast<int32_t>(U32(offset)); }
};

Source RecordSource(const ImageDecodeRecord* record) {
  return {reinterpret_cast<const uint8_t*>(record->decoderArea[AreaData]),
          static_cast<uint64_t>(record->decoderArea[AreaSize])};
}

struct Header {
  uint64_t pixelOffset;
  uint64_t headerSize;
  int64_t width;
  int64_t height;
  uint32_t bitCount;
  uint32_t compression;
  uint32_t coloursUsed;
};

Header ReadHeader(const Source& source) {
  return {source.U32(10), source.U32(14), source.I32(18), source.I32(22),
          source.U16(28), source.U32(30), source.U32(46)};
}

// Where the decoded rows go: stored row r (the bottom row first) lands on
// destination row height - 1 - r.
struct Target {
  uint8_t* destination;
  size_t bytesPerRow;
  int64_t width;
  int64_t height;

  uint8_t* Row(int64_t storedRow) const {
    return destination + static_cast<size_t>(height - 1 - storedRow) * bytesPerRow;
  }
};

// Colour table entries as red, green, blue and a zero byte, so that a pixel can be
// stored with one 4-byte write that the next pixel then overwrites.
using Palette = std::array<uint32_t, 256>;

void ReadPalette(const Source& source, const Header& header, Palette& palette) {
  palette.fill(0);
  const uint64_t start = kFileHeaderBytes + header.headerSize;
  uint64_t count = header.coloursUsed != 0 ? header.coloursUsed : uint64_t{1} << header.bitCount;
  // An entry counts when its blue, green and red bytes are inside the data.
  const uint64_t available = source.size >= start + 3 ? (source.size - start - 3) / 4 + 1 : 0;
  count = std::min({count, available, uint64_t{256}});
  for (uint64_t i = 0; i < count; ++i) {
    const uint8_t* entry = source.data + start + i * 4;
    palette[i] = uint32_t{entry[2]} | uint32_t{entry[1]} << 8 | uint32_t{entry[0]} << 16;
  }
}

inline void StorePixel4(uint8_t* out, uint32_t rgb) { std::memcpy(out, &rgb, 4); }
inline void StorePixel3(uint8_t* out, uint32_t rgb) {
  out[0] = static_cast<uint8_t>(rgb);
  out[1] = static_cast<uint8_t>(rgb >> 8);
  out[2] = static_cast<uint8_t>(rgb >> 16);
}

// Stores `count` pixels whose colours `colour(i)` gives: every pixel but the last
// with a 4-byte write (its fourth byte is the next pixel's first), the last with
// three, so the row's end is never passed.
template <typename ColourOf>
inline void StoreRow(uint8_t* out, int64_t count, ColourOf colour) {
  if (count <= 0) return;
  for (int64_t i = 0; i < count - 1; ++i, out += 3) StorePixel4(out, colour(i));
  StorePixel3(out, colour(count - 1));
}

inline uint32_t LoadU32(const uint8_t* in) {
  uint32_t value;
  std::memcpy(&value, in, 4);
  return value;
}

// Blue, green, red bytes (and a fourth one after them) to red, green, blue.
inline uint32_t SwapBGR(uint32_t bgrx) { return __builtin_bswap32(bgrx) >> 8; }

// Decodes the stored rows while their bytes last; `convert(in, out, pixels)` turns
// one row's pixels into output.
template <typename Converter>
void DecodeRows(const Source& source, const Header& header, const Target& target, Converter convert) {
  const uint64_t stride = (static_cast<uint64_t>(target.width) * header.bitCount + 31) / 32 * 4;
  uint64_t start = header.pixelOffset;
  for (int64_t row = 0; row < target.height && start < source.size; ++row, start += stride) {
    const uint64_t pixelsThere = (source.size - start) * 8 / header.bitCount;
    const int64_t pixels = static_cast<int64_t>(std::min<uint64_t>(pixelsThere, target.width));
    convert(source.data + start, target.Row(row), pixels);
  }
}

void DecodeRGB(const Source& source, const Header& header, const Target& target) {
  const int64_t step = header.bitCount / 8;
  DecodeRows(source, header, target, [step](const uint8_t* in, uint8_t* out, int64_t pixels) {
    if (pixels <= 0) return;
    // Every pixel but the last reads four bytes, the fourth belonging to the next
    // pixel (or being the ignored fourth byte); the last reads only its own three.
    for (int64_t i = 0; i < pixels - 1; ++i, in += step, out += 3) StorePixel4(out, SwapBGR(LoadU32(in)));
    StorePixel3(out, uint32_t{in[2]} | uint32_t{in[1]} << 8 | uint32_t{in[0]} << 16);
  });
}

void DecodeRGB16(const Source& source, const Header& header, const Target& target) {
  const bool is565 = header.compression == CompressionBitFields;
  DecodeRows(source, header, target, [is565](const uint8_t* in, uint8_t* out, int64_t pixels) {
    StoreRow(out, pixels, [in, is565](int64_t i) {
      const uint32_t value = uint32_t{in[i * 2]} | uint32_t{in[i * 2 + 1]} << 8;
      const uint32_t blue = (value & 0x1F) << 3;
      if (is565) return (value >> 11) << 3 | ((value >> 5) & 0x3F) << 10 | blue << 16;
      return ((value >> 10) & 0x1F) << 3 | ((value >> 5) & 0x1F) << 11 | blue << 16;
    });
  });
}

// Bit value 0 is black and 1 white, whatever colour table the file holds.
void DecodeMonochrome(const Source& source, const Header& header, const Target& target) {
  DecodeRows(source, header, target, [](const uint8_t* in, uint8_t* out, int64_t pixels) {
    StoreRow(out, pixels, [in](int64_t i) { return (in[i >> 3] >> (7 - (i & 7)) & 1) != 0 ? 0xFFFFFFu : 0u; });
  });
}

void DecodeIndexed(const Source& source, const Header& header, const Target& target) {
  Palette palette;
  ReadPalette(source, header, palette);
  if (header.bitCount == 8) {
    DecodeRows(source, header, target, [&palette](const uint8_t* in, uint8_t* out, int64_t pixels) {
      StoreRow(out, pixels, [in, &palette](int64_t i) { return palette[in[i]]; });
    });
    return;
  }
  DecodeRows(source, header, target, [&palette](const uint8_t* in, uint8_t* out, int64_t pixels) {
    StoreRow(out, pixels, [in, &palette](int64_t i) {
      const uint8_t pair = in[i >> 1];
      return palette[(i & 1) == 0 ? pair >> 4 : pair & 0x0F];
    });
  });
}

void DecodeRLE8(const Source& source, const Header& header, const Target& target) {
  if (header.pixelOffset >= source.size) return;
  Palette palette;
  ReadPalette(source, header, palette);
  const uint8_t* in = source.data + header.pixelOffset;
  const uint8_t* const end = source.data + source.size;
  int64_t x = 0;
  int64_t y = 0;  // stored row: 0 is the bottom row
  // Stores the pixels of [x, x + count) that lie inside the row.
  const auto store = [&target, &x, &y](int64_t count, auto colour) {
    const int64_t inside = std::min(count, target.width - x);
    if (inside > 0) StoreRow(target.Row(y) + x * 3, inside, colour);
  };
  while (end - in >= 2 && y < target.height) {
    const uint8_t count = in[0];
    const uint8_t value = in[1];
    in += 2;
    if (count != 0) {
      const uint32_t colour = palette[value];
      store(count, [colour](int64_t) { return colour; });
      x += count;
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of picture
        return;
      case 2:  // move right, then up
        if (end - in < 2) return;
        x += in[0];
        y += in[1];
        in += 2;
        break;
      default: {  // literal indices, padded to an even count
        const int64_t there = std::min<int64_t>(value, end - in);
        store(there, [in, &palette](int64_t i) { return palette[in[i]]; });
        if (there < value) return;
        in += value;
        x += value;
        if ((value & 1) != 0 && in < end) ++in;
        break;
      }
    }
  }
}

void CleanupBMP(ImageDecodeRecord* record) {
  FreeBlock(reinterpret_cast<void*>(record->decoderArea[AreaFileBlock]));
  record->decoderArea[AreaFileBlock] = 0;
  record->decoderArea[AreaData] = 0;
  record->decoderArea[AreaSize] = 0;
}

bool HasBMPSignature(const uint8_t* data) {
  const Source head{data, kFileHeaderBytes};
  return head.U16(0) == kSignature && head.U16(6) == 0 && head.U16(8) == 0;
}

// Reads the whole file into a block of the decoder area; false when the file is
// not a BMP file, is shorter than its file header, or does not fit in one block.
bool LoadFile(ImageDecodeRecord* record) {
  FILE* stream = record->stream;
  if (std::fseek(stream, 0, SEEK_END) != 0) return false;
  const long length = std::ftell(stream);
  std::rewind(stream);
  if (length < kFileHeaderBytes || length > INT32_MAX) return false;
  auto* block = static_cast<uint8_t*>(AllocateBlockNoClear(static_cast<int32_t>(length)));
  if (block == nullptr) return false;
  record->decoderArea[AreaFileBlock] = reinterpret_cast<uintptr_t>(block);
  if (std::fread(block, 1, kFileHeaderBytes, stream) != kFileHeaderBytes || !HasBMPSignature(block)) return false;
  // A file that shrank since its length was taken keeps what could be read.
  const size_t rest = std::fread(block + kFileHeaderBytes, 1, static_cast<size_t>(length - kFileHeaderBytes), stream);
  record->decoderArea[AreaData] = reinterpret_cast<uintptr_t>(block);
  record->decoderArea[AreaSize] = static_cast<uintptr_t>(kFileHeaderBytes) + rest;
  return true;
}

int32_t CheckBMP(ImageDecodeRecord* record) {
  if (record->memoryMode != 0) {
    if (record->memorySize < kFileHeaderBytes || !HasBMPSignature(record->memory)) return 0;
    record->decoderArea[AreaData] = reinterpret_cast<uintptr_t>(record->memory);
    record->decoderArea[AreaSize] = record->memorySize;
  } else if (!LoadFile(record)) {
    CleanupBMP(record);
    return 0;
  }
  const Source source = RecordSource(record);
  record->width = source.I32(18);
  record->height = source.I32(22);
  record->depth = 24;
  record->sourceDepth = static_cast<int32_t>(source.U16(28));
  return 1;
}

int32_t DecodeBMP(ImageDecodeRecord* record, uint8_t* destination, int32_t bytesPerRow, int32_t /*flags*/) {
  const Source source = RecordSource(record);
  const Header header = ReadHeader(source);
  if (destination == nullptr || header.width < 1 || header.height < 1 || bytesPerRow < header.width * 3) return 1;
  const Target target{destination, static_cast<size_t>(bytesPerRow), header.width, header.height};
  switch (header.bitCount) {
    case 24:
    case 32:
      DecodeRGB(source, header, target);
      break;
    case 16:
      if (header.compression == CompressionNone || header.compression == CompressionBitFields) {
        DecodeRGB16(source, header, target);
      }
      break;
    case 1:
      DecodeMonochrome(source, header, target);
      break;
    case 4:
      if (header.compression != CompressionRLE4) DecodeIndexed(source, header, target);
      break;
    case 8:
      if (header.compression == CompressionRLE8) {
        DecodeRLE8(source, header, target);
      } else {
        DecodeIndexed(source, header, target);
      }
      break;
    default:  // 2 bits and every other count are not decoded
      break;
  }
  return 1;
}

}  // namespace

const ImageDecoder BMPImageDecoder = {CheckBMP, DecodeBMP, CleanupBMP, BMPImageIdentifier};

void RegisterBMPDecoder() { RegisterImageDecoder(&BMPImageDecoder); }

}  // namespace zeb
