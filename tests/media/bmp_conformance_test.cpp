// Every image of the BMP test suite against the suite's manifest: the decoded
// images byte for byte, also into destination rows longer than the picture's
// (their other bytes kept) or shorter (nothing written) and from a copy cut off
// halfway (what the copy still holds, and nothing else); the images that decode
// to nothing leave the destination as it was; the rest (truncated, out of range,
// implausible) match the manifest's literal reading where it gives one, and stay
// inside the picture. Each image is decoded from memory and from a file, with
// equal results.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "runtime/media/bmp_decoder.h"
#include "runtime/media/image_decoders.h"
#include "tests/files/process_test_support.h"

namespace zeb {
namespace {

using nlohmann::json;

constexpr char kCanary = '\xAA';
const std::string kGuard(64, '\x5C');
// Larger pictures are only examined: the suite's one such image declares 6 * 10^12 pixels.
constexpr int64_t kMaxDecodedPixels = int64_t{1} << 24;

std::string SuitePath(const std::string& name) { return std::string(ZEB_CORPORA_DIR) + "/bmpsuite/" + name; }

// A member of a manifest entry: its text, or its number (0 when missing).
std::string Text(const json& image, const char* key) { return image.value(key, std::string()); }
int64_t Int(const json& image, const char* key) { return image.value(key, int64_t{0}); }

// One decode of an image: what the examination said and the picture written.
struct Outcome {
  uint32_t identifier = 0;
  int32_t width = 0, height = 0, sourceDepth = 0;
  std::string picture;  // empty when the picture was too large to decode
  bool guardsIntact = true;

  bool operator==(const Outcome&) const = default;
};

// Examines (from memory, or from the file) and decodes into a destination filled
// with `fill`, between guard bytes, whose rows are `extra` bytes longer than the
// picture's. Sizes the manifest leaves out are the examination's, or 4 x 4 for a
// refused file; a picture without a positive size gets a destination of its
// size's magnitude.
Outcome Decode(const json& image, const std::string& data, bool fromFile, char fill, int64_t extra = 0) {
  Outcome outcome;
  outcome.identifier = fromFile ? ExamineImageFile(std::fopen(SuitePath(Text(image, "file")).c_str(), "rb"))
                                : ExamineImageMemory(data.data(), static_cast<int64_t>(data.size()));
  outcome.width = DecodedImageWidth();
  outcome.height = DecodedImageHeight();
  outcome.sourceDepth = DecodedImageSourceDepth();
  auto size = [&](const char* key, int32_t examined) {
    return std::llabs(image.contains(key) ? Int(image, key) : examined != 0 ? examined : 4);
  };
  const int64_t width = size("width", outcome.width), height = size("height", outcome.height);
  if (width * height <= kMaxDecodedPixels) {
    std::string bytes = kGuard + std::string(static_cast<size_t>((width * 3 + extra) * height), fill) + kGuard;
    DecodeImage(bytes.data() + kGuard.size(), static_cast<int32_t>(width * 3 + extra), 0);
    outcome.picture = bytes.substr(kGuard.size(), bytes.size() - 2 * kGuard.size());
    outcome.guardsIntact = bytes.starts_with(kGuard) && bytes.ends_with(kGuard);
  }
  FinishImageDecoding();
  return outcome;
}

// The SHA-256 of `bytes` in hex, as sha256sum gives it.
std::string Sha256(const std::string& bytes) {
  file_testing::TestFolder folder;
  int status = 0;
  if (!file_testing::WriteBytes(folder / "picture", bytes)) return "";
  return file_testing::CommandOutput("sha256sum '" + folder / "picture" + "'", &status).substr(0, 64);
}

// A 32-bit little-endian header field.
void Put32(std::string& data, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) data[at + i] = static_cast<char>(value >> (8 * i));
}

// A decoded image in rows `extra` bytes longer, which keep `fill`, or shorter, which get nothing.
std::string Spread(const std::string& picture, int64_t rowBytes, int64_t extra, char fill) {
  if (extra < 0) return std::string(picture.size() / rowBytes * (rowBytes + extra), fill);
  std::string spread;
  for (size_t at = 0; at < picture.size(); at += rowBytes) {
    spread += picture.substr(at, rowBytes) + std::string(extra, fill);
  }
  return spread;
}

// What a decoded image gives when its file is cut halfway through stored row
// k = height / 2: the k rows below it whole, the pixels of row k that the copy
// holds whole, and nothing more. An RLE8 stream cut anywhere writes no pixel
// that the whole stream does not write alike.
void ExpectCutCopies(const json& image, const std::string& data, const std::string& picture) {
  const int64_t width = Int(image, "width"), height = Int(image, "height"), bits = Int(image, "bpp");
  const int64_t rowBytes = width * 3;
  if (Int(image, "compression") == 1) {
    for (size_t cut = 14 + 40; cut < data.size(); cut += 97) {
      const std::string written = Decode(image, data.substr(0, cut), false, kCanary).picture;
      int strays = 0;
      for (size_t at = 0; at < written.size(); at += 3) {
        strays += written.compare(at, 3, std::string(3, kCanary)) != 0 && written.compare(at, 3, picture, at, 3) != 0;
      }
      EXPECT_EQ(strays, 0) << "cut at " << cut;
    }
    return;
  }
  const int64_t stride = (width * bits + 31) / 32 * 4, k = height / 2;
  const int64_t held = std::min(width, stride / 2 * 8 / bits) * 3, partial = (height - 1 - k) * rowBytes;
  const std::string expected = std::string(partial, kCanary) + picture.substr(partial, held) +
                               std::string(rowBytes - held, kCanary) + picture.substr(partial + rowBytes);
  uint32_t pixelOffset = 0;
  std::memcpy(&pixelOffset, data.data() + 10, 4);  // little-endian, as the decoder's hosts are
  const std::string cut = data.substr(0, pixelOffset + k * stride + stride / 2);
  EXPECT_TRUE(Decode(image, cut, false, kCanary).picture == expected);
}

// The manifest leaves the ambiguous images open (OS/2 headers, runs past the row
// end, indices past the table, truncated or implausibly large pictures): the
// decoder must still stay inside the data and the picture, which the guards and
// the sanitizers watch, and match the literal reading where the manifest has one
// (clipped runs, black for indices past the table, pixels never reached black).
TEST(BmpConformance, EveryImageDecodesAsTheManifestSays) {
  InitImageDecoding();
  RegisterBMPDecoder();
  const auto text = file_testing::ReadBytes(SuitePath("expected/manifest.json"));
  if (!text) GTEST_SKIP() << "no BMP corpus at " << SuitePath("expected/manifest.json");
  const json manifest = json::parse(*text, nullptr, false);
  ASSERT_TRUE(manifest.is_object() && manifest.contains("images")) << "the manifest is not the suite's JSON";
  EXPECT_EQ(manifest["images"].size(), 91u);
  for (const json& image : manifest["images"]) {
    const std::string status = Text(image, "status"), reason = Text(image, "reason");
    SCOPED_TRACE(Text(image, "file") + " " + status);
    const auto data = file_testing::ReadBytes(SuitePath(Text(image, "file")));
    ASSERT_TRUE(data.has_value());
    // Pixels an RLE8 stream never reaches are expected black.
    const char fill = status == "decoded" && Int(image, "compression") == 1 ? 0 : kCanary;
    const Outcome memory = Decode(image, *data, false, fill);
    EXPECT_TRUE(memory.guardsIntact);
    EXPECT_TRUE(Decode(image, *data, true, fill) == memory);
    if (image.contains("width")) {
      EXPECT_EQ(memory.width, Int(image, "width"));
      EXPECT_EQ(memory.height, Int(image, "height"));
      EXPECT_EQ(memory.sourceDepth, Int(image, "bpp"));
    }
    const bool refused = reason.find("signature") != std::string::npos || reason.find("reserved") != std::string::npos;
    EXPECT_EQ(memory.identifier, status == "nothing" && refused ? 0u : BMPImageIdentifier);
    if (image.contains("literal_sha256")) {
      EXPECT_EQ(Sha256(Decode(image, *data, false, 0).picture), Text(image, "literal_sha256"));
    }
    if (status == "decoded") {
      const std::string picture =
          file_testing::ReadBytes(SuitePath("expected/" + Text(image, "expected_file"))).value_or("");
      EXPECT_TRUE(memory.picture == picture);
      const int64_t rowBytes = Int(image, "width") * 3;
      for (const int64_t extra : {5, -1}) {
        EXPECT_TRUE(Decode(image, *data, false, fill, extra).picture == Spread(picture, rowBytes, extra, fill));
      }
      ExpectCutCopies(image, *data, picture);
    } else if (status == "nothing" || memory.width < 1 || memory.height < 1) {
      EXPECT_EQ(memory.picture.find_first_not_of(kCanary), std::string::npos);
    }
  }
}

// Suite images changed: a changed signature or reserved byte is refused; 16 bits
// with RLE8's compression decodes to nothing. A table that colours-used 0 promises
// in full but the file cuts short holds the entries whose colour bytes it holds:
// here a 4 x 1 picture whose pixel bytes are its one entry (blue 0, green 1, red 0).
TEST(BmpConformance, ChangedHeaders) {
  InitImageDecoding();
  RegisterBMPDecoder();
  const auto rgb24 = file_testing::ReadBytes(SuitePath("g/rgb24.bmp"));
  if (!rgb24) GTEST_SKIP() << "no BMP corpus at " << SuitePath("");
  for (const size_t at : {0, 1, 6, 7, 8, 9}) {
    std::string data = *rgb24;
    data[at] ^= 1;
    EXPECT_EQ(ExamineImageMemory(data.data(), static_cast<int64_t>(data.size())), 0u) << "byte " << at;
  }
  std::string rle16 = file_testing::ReadBytes(SuitePath("g/rgb16.bmp")).value_or(std::string(64, '\0'));
  Put32(rle16, 30, 1);
  const Outcome outcome = Decode(json::object(), rle16, false, kCanary);
  EXPECT_EQ(outcome.identifier, BMPImageIdentifier);
  EXPECT_EQ(outcome.picture.find_first_not_of(kCanary), std::string::npos);
  std::string cut = file_testing::ReadBytes(SuitePath("g/pal8.bmp")).value_or("").substr(0, 14 + 40);
  ASSERT_EQ(cut.size(), 14u + 40);
  cut += std::string("\0\1\0\0", 4);
  for (const auto& [at, value] : {std::pair{10, 14 + 40}, {18, 4}, {22, 1}, {46, 0}}) Put32(cut, at, value);
  EXPECT_EQ(Decode(json::object(), cut, false, kCanary).picture, std::string("\0\1\0\0\0\0\0\1\0\0\1\0", 12));
}

}  // namespace
}  // namespace zeb
