// Every image of the BMP test suite against the suite's manifest: the decoded
// images byte for byte, the images that decode to nothing leave the destination
// as it was, and the rest (truncated, out of range, implausible) stay inside the
// picture. Each image is decoded from memory and from a file, with equal results.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "runtime/media/bmp_decoder.h"
#include "runtime/media/image_decoders.h"
#include "tests/files/file_test_folder.h"
#include "tests/media/json_reader.h"

namespace zeb {
namespace {

using testing::JsonValue;

constexpr char kCanary = '\xAA';
const std::string kGuard(64, '\x5C');
// Larger pictures are only examined: the suite's one such image declares 6 * 10^12 pixels.
constexpr int64_t kMaxDecodedPixels = int64_t{1} << 24;

std::string SuitePath(const std::string& name) { return std::string(ZEB_CORPORA_DIR) + "/bmpsuite/" + name; }

// One decode of an image: what the examination said and the picture written.
struct Outcome {
  uint32_t identifier = 0;
  int32_t width = 0, height = 0, sourceDepth = 0;
  std::string picture;  // empty when the picture was too large to decode
  bool guardsIntact = true;

  bool operator==(const Outcome&) const = default;
};

// Examines (from memory, or from the file) and decodes into a destination filled
// with `fill`, between guard bytes. Sizes the manifest leaves out are the
// examination's, or 4 x 4 for a refused file; a picture without a positive size
// gets a destination of its size's magnitude.
Outcome Decode(const JsonValue& image, const std::string& data, bool fromFile, char fill) {
  Outcome outcome;
  outcome.identifier = fromFile ? ExamineImageFile(std::fopen(SuitePath(image.Text("file")).c_str(), "rb"))
                                : ExamineImageMemory(data.data(), static_cast<int64_t>(data.size()));
  outcome.width = DecodedImageWidth();
  outcome.height = DecodedImageHeight();
  outcome.sourceDepth = DecodedImageSourceDepth();
  auto size = [&](const char* key, int32_t examined) {
    return std::llabs(image.Find(key) != nullptr ? image.Integer(key) : examined != 0 ? examined : 4);
  };
  const int64_t width = size("width", outcome.width), height = size("height", outcome.height);
  if (width * height <= kMaxDecodedPixels) {
    std::string bytes = kGuard + std::string(static_cast<size_t>(width * height) * 3, fill) + kGuard;
    DecodeImage(bytes.data() + kGuard.size(), static_cast<int32_t>(width * 3), 0);
    outcome.picture = bytes.substr(kGuard.size(), bytes.size() - 2 * kGuard.size());
    outcome.guardsIntact = bytes.starts_with(kGuard) && bytes.ends_with(kGuard);
  }
  FinishImageDecoding();
  return outcome;
}

// The manifest leaves the ambiguous images open (OS/2 headers, runs past the row
// end, indices past the table, truncated or implausibly large pictures): the
// decoder must still stay inside the data and the picture, which the guards and
// the sanitizers watch.
TEST(BmpConformance, EveryImageDecodesAsTheManifestSays) {
  InitImageDecoding();
  RegisterBMPDecoder();
  const auto text = file_testing::ReadBytes(SuitePath("expected/manifest.json"));
  if (!text) GTEST_SKIP() << "no BMP corpus at " << SuitePath("expected/manifest.json");
  const auto manifest = testing::ParseJson(*text);
  ASSERT_TRUE(manifest.has_value()) << "the manifest is not JSON";
  ASSERT_NE(manifest->Find("images"), nullptr);
  std::map<std::string, int> counts;
  for (const JsonValue& image : manifest->Find("images")->items) {
    const std::string status = image.Text("status"), reason = image.Text("reason");
    SCOPED_TRACE(image.Text("file") + " " + status);
    ++counts[status];
    const auto data = file_testing::ReadBytes(SuitePath(image.Text("file")));
    ASSERT_TRUE(data.has_value());
    // Pixels an RLE8 stream never reaches are expected black.
    const char fill = status == "decoded" ? 0 : kCanary;
    const Outcome memory = Decode(image, *data, false, fill);
    EXPECT_TRUE(memory.guardsIntact);
    EXPECT_TRUE(Decode(image, *data, true, fill) == memory);
    if (image.Find("width") != nullptr) {
      EXPECT_EQ(memory.width, image.Integer("width"));
      EXPECT_EQ(memory.height, image.Integer("height"));
      EXPECT_EQ(memory.sourceDepth, image.Integer("bpp"));
    }
    const bool refused = reason.find("signature") != std::string::npos || reason.find("reserved") != std::string::npos;
    EXPECT_EQ(memory.identifier, status == "nothing" && refused ? 0u : BMPImageIdentifier);
    if (status == "decoded") {
      EXPECT_TRUE(memory.picture == file_testing::ReadBytes(SuitePath("expected/" + image.Text("expected_file"))));
    } else if (status == "nothing" || memory.width < 1 || memory.height < 1) {
      EXPECT_EQ(memory.picture.find_first_not_of(kCanary), std::string::npos);
    }
  }
  EXPECT_EQ(counts, (std::map<std::string, int>{{"ambiguous", 14}, {"decoded", 61}, {"nothing", 16}}));
}

}  // namespace
}  // namespace zeb
