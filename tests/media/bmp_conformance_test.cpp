// Every image of the BMP test suite against the suite's manifest: the decoded
// images byte for byte, the images that decode to nothing leave the destination
// as it was, and the rest (truncated, out of range, implausible) stay inside the
// picture. Each image is decoded from memory and from a file, with equal results.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "runtime/media/bmp_decoder.h"
#include "runtime/media/image_decoders.h"
#include "tests/media/json_reader.h"
#include "tests/media/sha256.h"

namespace zeb {
namespace {

using testing::JsonValue;

constexpr uint8_t kCanary = 0xAA;
constexpr uint8_t kGuard = 0x5C;
constexpr size_t kGuardBytes = 64;
// Larger pictures are only examined: the suite's one such image declares 6 * 10^12 pixels.
constexpr int64_t kMaxDecodedPixels = int64_t{1} << 24;

std::string SuitePath(const std::string& name) { return std::string(ZEB_CORPORA_DIR) + "/bmpsuite/" + name; }

std::optional<std::vector<uint8_t>> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int64_t Field(const JsonValue& image, const char* key) { return static_cast<int64_t>(image.Number(key)); }

// One decode of an image: what the examination said and the destination
// afterwards, guard bytes around it included.
struct Outcome {
  uint32_t identifier = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t sourceDepth = 0;
  std::vector<uint8_t> bytes;  // empty when the picture was too large to decode

  std::vector<uint8_t> Picture() const {
    if (bytes.empty()) return {};
    return std::vector<uint8_t>(bytes.begin() + kGuardBytes, bytes.end() - kGuardBytes);
  }
  bool GuardsIntact() const {
    if (bytes.empty()) return true;
    for (size_t i = 0; i < kGuardBytes; ++i) {
      if (bytes[i] != kGuard || bytes[bytes.size() - 1 - i] != kGuard) return false;
    }
    return true;
  }
};

// Examines (from memory, or from the file) and decodes into `width` x `height`
// pixels filled with `fill`; a picture too large is only examined.
Outcome Decode(const std::vector<uint8_t>& data, const std::string& path, bool fromFile, int64_t width, int64_t height,
               uint8_t fill) {
  Outcome outcome;
  outcome.identifier = fromFile ? ExamineImageFile(std::fopen(path.c_str(), "rb"))
                                : ExamineImageMemory(data.data(), static_cast<int64_t>(data.size()));
  outcome.width = DecodedImageWidth();
  outcome.height = DecodedImageHeight();
  outcome.sourceDepth = DecodedImageSourceDepth();
  // Pictures without a positive size get a destination of their size's magnitude.
  width = std::llabs(width);
  height = std::llabs(height);
  if (width * height <= kMaxDecodedPixels) {
    outcome.bytes.assign(static_cast<size_t>(width * height * 3) + 2 * kGuardBytes, fill);
    std::fill_n(outcome.bytes.begin(), kGuardBytes, kGuard);
    std::fill_n(outcome.bytes.end() - kGuardBytes, kGuardBytes, kGuard);
    DecodeImage(outcome.bytes.data() + kGuardBytes, static_cast<int32_t>(width * 3), 0);
  }
  FinishImageDecoding();
  return outcome;
}

class BmpConformanceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    InitImageDecoding();
    RegisterBMPDecoder();
    const auto text = ReadBytes(SuitePath("expected/manifest.json"));
    corpusFound = text.has_value();
    if (!corpusFound) return;
    manifest = testing::ParseJson(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
  }

  void SetUp() override {
    if (!corpusFound) GTEST_SKIP() << "no BMP corpus at " << SuitePath("expected/manifest.json");
    ASSERT_TRUE(manifest.has_value()) << "the manifest is not JSON";
    images = manifest->Find("images");
    ASSERT_NE(images, nullptr);
    ASSERT_GT(images->items.size(), 80u);
  }

  // Calls check(image, data) for each image of the given status, and returns how many.
  template <typename Check>
  int ForEachImage(const std::string& status, Check check) {
    int count = 0;
    for (const JsonValue& image : images->items) {
      if (image.Text("status") != status) continue;
      SCOPED_TRACE(image.Text("file"));
      const auto data = ReadBytes(SuitePath(image.Text("file")));
      EXPECT_TRUE(data.has_value());
      if (!data) continue;
      check(image, *data);
      ++count;
    }
    return count;
  }

  static inline bool corpusFound = false;
  static inline std::optional<JsonValue> manifest;
  const JsonValue* images = nullptr;
};

TEST_F(BmpConformanceTest, DecodedImagesMatchTheirExpectedPixels) {
  const int count = ForEachImage("decoded", [](const JsonValue& image, const std::vector<uint8_t>& data) {
    const int64_t width = Field(image, "width"), height = Field(image, "height");
    const std::string path = SuitePath(image.Text("file"));
    // Pixels an RLE8 stream never reaches are expected black.
    const Outcome memory = Decode(data, path, false, width, height, 0);
    EXPECT_EQ(memory.identifier, BMPImageIdentifier);
    EXPECT_EQ(memory.width, width);
    EXPECT_EQ(memory.height, height);
    EXPECT_EQ(memory.sourceDepth, Field(image, "bpp"));
    const auto expected = ReadBytes(SuitePath("expected/" + image.Text("expected_file")));
    ASSERT_TRUE(expected.has_value());
    EXPECT_TRUE(memory.Picture() == *expected);
    EXPECT_EQ(testing::Sha256Hex(memory.Picture()), image.Text("expected_sha256"));
    EXPECT_TRUE(memory.GuardsIntact());
    EXPECT_TRUE(Decode(data, path, true, width, height, 0).bytes == memory.bytes);
  });
  EXPECT_GT(count, 50);
}

TEST_F(BmpConformanceTest, ImagesOutsideTheRulesLeaveTheDestinationUntouched) {
  const int count = ForEachImage("nothing", [](const JsonValue& image, const std::vector<uint8_t>& data) {
    // Files refused by the check carry no size in the manifest: any destination does.
    const int64_t width = image.Find("width") != nullptr ? Field(image, "width") : 4;
    const int64_t height = image.Find("height") != nullptr ? Field(image, "height") : 4;
    const std::string path = SuitePath(image.Text("file"));
    const Outcome memory = Decode(data, path, false, width, height, kCanary);
    const bool signatureRefused = image.Text("reason").find("signature") != std::string::npos ||
                                  image.Text("reason").find("reserved") != std::string::npos;
    EXPECT_EQ(memory.identifier, signatureRefused ? 0u : BMPImageIdentifier);
    EXPECT_EQ(memory.Picture(), std::vector<uint8_t>(memory.Picture().size(), kCanary));
    EXPECT_TRUE(memory.GuardsIntact());
    EXPECT_TRUE(Decode(data, path, true, width, height, kCanary).bytes == memory.bytes);
  });
  EXPECT_GT(count, 10);
}

// The manifest leaves these open; the decoder must still stay inside the data and
// the picture. Where the manifest gives the digest of the plain reading (runs
// clipped at the row end, indices past the colour table black), that reading is
// the decoder's too.
TEST_F(BmpConformanceTest, AmbiguousImagesStayInsideThePicture) {
  const int count = ForEachImage("ambiguous", [](const JsonValue& image, const std::vector<uint8_t>& data) {
    const std::string path = SuitePath(image.Text("file"));
    ASSERT_EQ(ExamineImageMemory(data.data(), static_cast<int64_t>(data.size())), BMPImageIdentifier);
    const int64_t width = DecodedImageWidth(), height = DecodedImageHeight();
    FinishImageDecoding();
    if (image.Find("width") != nullptr) {
      EXPECT_EQ(width, Field(image, "width"));
    }

    // A picture without a positive size gets nothing; otherwise unreached pixels are black.
    const bool empty = width < 1 || height < 1;
    const uint8_t fill = empty ? kCanary : 0;
    const Outcome memory = Decode(data, path, false, width, height, fill);
    EXPECT_TRUE(memory.GuardsIntact());
    EXPECT_TRUE(Decode(data, path, true, width, height, fill).bytes == memory.bytes);
    if (empty) {
      EXPECT_EQ(memory.Picture(), std::vector<uint8_t>(memory.Picture().size(), kCanary));
    }
    if (image.Find("literal_sha256") != nullptr) {
      EXPECT_EQ(testing::Sha256Hex(memory.Picture()), image.Text("literal_sha256"));
    }
  });
  EXPECT_GT(count, 10);
}

}  // namespace
}  // namespace zeb
