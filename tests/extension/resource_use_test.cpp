// What many calls leave behind: after 1,000 RunFile calls and 10,000 calls of each
// cheap export, the process holds the descriptors it held before and no child.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "extension/exports.h"
#include "extension/lifecycle.h"
#include "tests/files/process_test_support.h"

namespace zeb {
namespace {

using namespace file_testing;

TEST(ResourceUse, ManyCallsLeaveNoDescriptorOrChildBehind) {
  // The headless toolkit: the calls are the same, and no display is needed.
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  LoadLibrary();
  TestFolder folder;
  ASSERT_TRUE(folder.ok());
  const std::string notes = folder / "notes.txt";
  const std::string copy = folder / "copy.txt";
  ASSERT_TRUE(WriteBytes(notes, "one\ntwo\n"));
  // The launcher: a program that ends at once.
  ASSERT_TRUE(WriteBytes(folder / "xdg-open", "#!/bin/sh\nexit 0\n", 0755));
  PathOverride override((folder.path() + ":/usr/bin:/bin").c_str());

  const std::vector<std::function<bool()>> cheapCalls = {
      [&] { return FileExists(notes.c_str()) == 1; },
      [&] { return DirectoryExists(folder.path().c_str()) == 1; },
      [&] { return FileCopy(notes.c_str(), copy.c_str()) == 1 && FileDelete(copy.c_str()) == 1; },
      [&] { return std::string(GetFolderFiles(folder.path().c_str(), "*.txt")) == "notes.txt|"; },
      [&] { return std::string(StringLoad(notes.c_str(), ",")) == "one,two,"; },
      [&] { return ClipboardSetText("text") == 0; },
      [&] { return std::string(ClipboardGetText()) == "text"; },
      [&] { return AttachProcess(0) == 0 && ClearAll() == 0; },
  };
  // Each call once first: whatever the library opens for good opens then.
  for (const auto& call : cheapCalls) ASSERT_TRUE(call());
  ASSERT_EQ(RunFile(notes.c_str()), 1);
  ASSERT_TRUE(WaitUntil([] { return ChildProcesses().empty(); }));
  const std::set<std::string> descriptors = OpenDescriptors();

  for (int round = 0; round < 1000; ++round) ASSERT_EQ(RunFile(notes.c_str()), 1) << round;
  for (int round = 0; round < 10000; ++round) {
    for (size_t call = 0; call < cheapCalls.size(); ++call) ASSERT_TRUE(cheapCalls[call]()) << call << ", " << round;
  }
  // The launchers end on their own; none is left as a zombie or running.
  EXPECT_TRUE(WaitUntil([] { return ChildProcesses().empty(); }, 20));
  EXPECT_EQ(OpenDescriptors(), descriptors);
  UnloadLibrary();
}

}  // namespace
}  // namespace zeb
