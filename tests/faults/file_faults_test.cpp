// The file exports of the built library under failing system calls: zebhost calls
// each one in a child process with fault_shim.c preloaded, which fails writes,
// closes, reads and listings under the test's folder only.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/files/file_test_folder.h"
#include "tests/host_run.h"

namespace {

using namespace zeb::file_testing;

using Outcome = zeb::testing::HostRun;

// zebhost calling one export without a display, with the shim failing calls
// under `folder` as `faults` ("NAME=value ...", see fault_shim.c) say, or without
// the shim for no faults.
Outcome Call(const TestFolder& folder, const std::string& faults, std::vector<std::string> arguments) {
  std::vector<std::string> env = {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"};
  if (!faults.empty()) {
    env.insert(env.end(), {"LD_PRELOAD=" ZEB_FAULT_SHIM, "ZEB_FAULT_FOLDER=" + folder.path()});
    std::istringstream words(faults);
    for (std::string word; words >> word;) env.push_back(word);
  }
  arguments.insert(arguments.begin(), "call");
  return zeb::testing::RunHost(arguments, {}, env);
}

// What lies at `root`: a file as "", or a folder's files by relative path and its
// folders by relative path ending in "/"; each file with its size and a hash of
// its bytes, short enough to show in a failure. Empty when nothing is there.
std::map<std::string, std::string> Contents(const std::string& root) {
  const auto fingerprint = [](const std::filesystem::path& path) {
    const std::string bytes = ReadBytes(path).value_or("unreadable");
    return std::to_string(bytes.size()) + " bytes, hash " + std::to_string(std::hash<std::string>{}(bytes));
  };
  std::map<std::string, std::string> contents;
  std::error_code missing;
  if (!std::filesystem::is_directory(root, missing)) {
    if (std::filesystem::exists(root, missing)) contents[""] = fingerprint(root);
    return contents;
  }
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string name = entry.path().lexically_relative(root).string();
    contents[entry.is_directory() ? name + "/" : name] = entry.is_directory() ? "" : fingerprint(entry.path());
  }
  return contents;
}

enum class Shape { kFile, kTree };

// A source of several copy blocks (512000 bytes each): one file, or a tree with
// an empty file and two levels of subfolders.
std::string MakeSource(const TestFolder& folder, Shape shape) {
  if (shape == Shape::kFile) {
    EXPECT_TRUE(WriteBytes(folder / "source", Pattern(1300000)));
    return folder / "source";
  }
  EXPECT_TRUE(MakeEntries(folder.path(), {"tree/", "tree/empty", "tree/sub/", "tree/sub/deeper/",
                                          "tree/sub/deeper/c.txt=ccc"}));
  EXPECT_TRUE(WriteBytes(folder / "tree/a.bin", Pattern(700000)));
  EXPECT_TRUE(WriteBytes(folder / "tree/sub/b.bin", Pattern(300000)));
  return folder / "tree";
}

// FileCopy of each shape under the faults, through the kernel's copy and through
// the copy's own buffer. The source stays as it was. A copy reported as done is
// byte for byte the source; one reported as failed is not all there, and every
// file it left holds its source's bytes.
void ExpectFileCopy(const std::string& faults, bool copies,
                    std::initializer_list<Shape> shapes = {Shape::kFile, Shape::kTree}) {
  for (const Shape shape : shapes) {
    for (const char* path : {"", " ZEB_FAULT_NO_KERNEL_COPY=1"}) {
      SCOPED_TRACE((shape == Shape::kFile ? "file" : "tree") + std::string(path));
      TestFolder folder;
      ASSERT_TRUE(folder.ok());
      const std::string source = MakeSource(folder, shape);
      const std::map<std::string, std::string> before = Contents(source);
      const Outcome outcome = Call(folder, faults + path, {"FileCopy", source, folder / "copy"});
      EXPECT_EQ(outcome.status, 0);
      EXPECT_EQ(outcome.output, copies ? "1\n" : "0\n");
      EXPECT_EQ(Contents(source), before);
      const std::map<std::string, std::string> copied = Contents(folder / "copy");
      if (copies) {
        EXPECT_EQ(copied, before);
        continue;
      }
      EXPECT_NE(copied, before);
      for (const auto& [name, bytes] : copied) {
        const auto original = before.find(name);
        EXPECT_TRUE(original != before.end() && original->second == bytes) << name << " is not its source's copy";
      }
    }
  }
}

TEST(Faults, FileCopyUnderFullDisk) { ExpectFileCopy("ZEB_FAULT_WRITE_LIMIT=600000", false); }

TEST(Faults, FileCopyUnderFailingClose) { ExpectFileCopy("ZEB_FAULT_CLOSE=1", false); }

TEST(Faults, FileCopyUnderReadErrors) { ExpectFileCopy("ZEB_FAULT_READ_LIMIT=600000", false); }

// Lines of every length up to several read buffers (4096 bytes), ended by LF, CR
// LF and CR in turn, with two- and three-byte UTF-8 characters, load under short
// and interrupted reads as they do without faults.
TEST(Faults, FileCopyAndStringLoadUnderShortAndInterruptedReads) {
  ExpectFileCopy("ZEB_FAULT_SLOW_READS=1", true);
  static const char* const kEnds[] = {"\n", "\r\n", "\r"};
  std::string text;
  for (int line = 0; line < 60; ++line) {
    for (int i = 0; i < line * line * 5; ++i) text += i % 7 == 0 ? "\xC3\xA9" : i % 11 == 0 ? "\xE2\x82\xAC" : "x";
    text += kEnds[line % 3];
  }
  TestFolder folder;
  ASSERT_TRUE(folder.ok());
  ASSERT_TRUE(WriteBytes(folder / "text", text));
  const Outcome whole = Call(folder, "", {"StringLoad", folder / "text", "/"});
  ASSERT_GT(whole.output.size(), text.size() / 2);
  const Outcome loaded = Call(folder, "ZEB_FAULT_SLOW_READS=1", {"StringLoad", folder / "text", "/"});
  EXPECT_EQ(loaded.status, 0);
  EXPECT_EQ(loaded.output, whole.output);
}

// A folder that cannot be opened, or read to its end, can neither be copied whole
// nor listed.
TEST(Faults, FileCopyAndGetFolderFilesUnderFailingFolderListing) {
  for (const std::string& faults :
       {"ZEB_FAULT_OPEN_DIRECTORY=" + std::to_string(EMFILE), std::string("ZEB_FAULT_READDIR_LIMIT=3")}) {
    SCOPED_TRACE(faults);
    ExpectFileCopy(faults, false, {Shape::kTree});
    TestFolder folder;
    ASSERT_TRUE(folder.ok());
    const Outcome listed = Call(folder, faults, {"GetFolderFiles", MakeSource(folder, Shape::kTree), "*"});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.output, "\"\"\n");
  }
}

}  // namespace
