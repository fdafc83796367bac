// The built library as a host sees it: the public header against the export
// signature table (the library defines its exports against the header's
// prototypes, so any difference in a type is a compile error there), its dynamic
// symbols, loading and unloading, and the demo host calling into it.
#include "include/zebext.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "extension/export_signatures.h"
#include "tests/files/process_test_support.h"
#include "tests/media/json_reader.h"

extern "C" long ZebextHeaderVersion(void);

namespace zeb {
namespace {

using file_testing::CommandOutput;

char KindOf(const std::string& type) {
  if (type.rfind("double", 0) == 0) return 'd';
  if (type.rfind("int64_t", 0) == 0) return 'i';
  if (type.rfind("const char*", 0) == 0) return 's';
  return '?';
}

// The declarations of the header that the pattern finds (result, name, arguments),
// each as its name and its kinds, "arguments:result".
std::map<std::string, std::string> HeaderDeclarations(const std::regex& declaration) {
  std::ifstream file(ZEB_PUBLIC_HEADER);
  std::stringstream text;
  text << file.rdbuf();
  const std::string header = text.str();
  std::map<std::string, std::string> declarations;
  for (auto match = std::sregex_iterator(header.begin(), header.end(), declaration); match != std::sregex_iterator();
       ++match) {
    std::string kinds;
    std::stringstream arguments((*match)[3].str());
    for (std::string argument; std::getline(arguments, argument, ',');) {
      argument.erase(0, argument.find_first_not_of(' '));
      if (argument != "void") kinds += KindOf(argument);
    }
    declarations[(*match)[2]] = kinds + ":" + KindOf((*match)[1]);
  }
  return declarations;
}

TEST(PublicHeader, DeclaresExactlyTheBuiltExportsWithTheirKinds) {
  std::map<std::string, std::string> table;
  for (const ExportSignature& signature : kExportSignatures) {
    table[std::string(signature.name)] = std::string(signature.arguments) + ":" + signature.result;
  }
  EXPECT_EQ(HeaderDeclarations(std::regex(R"(\n(double|int64_t|const char\*) (\w+)\(([^)]*)\);)")), table);
  // Each export has its pointer type, for hosts that look it up with dlsym.
  EXPECT_EQ(HeaderDeclarations(std::regex(R"(\ntypedef (double|int64_t|const char\*) \(\*Zebext(\w+)Fn\)\(([^)]*)\);)")),
            table);
  EXPECT_EQ(ZebextHeaderVersion(), ZEBEXT_VERSION_MAJOR * 10000L + ZEBEXT_VERSION_MINOR * 100L + ZEBEXT_VERSION_PATCH);
  // The header's version is the project's, which names the library file.
  EXPECT_EQ(std::to_string(ZEBEXT_VERSION_MAJOR) + "." + std::to_string(ZEBEXT_VERSION_MINOR) + "." +
                std::to_string(ZEBEXT_VERSION_PATCH),
            ZEB_PROJECT_VERSION);
}

TEST(Library, DynamicSymbolTableHoldsExactlyTheExports) {
  int status = -1;
  const std::string output = CommandOutput("nm -D --defined-only '" ZEB_LIBRARY_PATH "'", &status);
  ASSERT_EQ(status, 0) << output;
  std::set<std::string> symbols;
  std::istringstream lines(output);
  for (std::string address, type, name; lines >> address >> type >> name;) symbols.insert(name);
  std::set<std::string> exports;
  for (const ExportSignature& signature : kExportSignatures) exports.insert(std::string(signature.name));
  EXPECT_EQ(symbols, exports);
}

TEST(Library, LoadsCallsAndUnloads) {
  for (int round = 0; round < 3; ++round) {
    void* library = dlopen(ZEB_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto* attach = reinterpret_cast<int64_t (*)(int64_t)>(dlsym(library, "AttachProcess"));
    auto* detach = reinterpret_cast<int64_t (*)(int64_t)>(dlsym(library, "DetachProcess"));
    ASSERT_NE(attach, nullptr);
    ASSERT_NE(detach, nullptr);
    EXPECT_EQ(attach(0), 0);
    EXPECT_EQ(detach(0), 0);
    EXPECT_EQ(dlsym(library, "InitStringBuffer"), nullptr);
    EXPECT_EQ(dlclose(library), 0);
  }
}

TEST(Library, DemoHostCallsExportsByNameWithoutADisplay) {
  const struct {
    const char* arguments;
    const char* output;  // nothing when the call is refused
  } kCalls[] = {{"call DetachProcess 0", "0\n"},
                {"call AttachProcess", nullptr},  // too few arguments
                {"call NoSuchExport", nullptr}};
  for (const auto& [arguments, output] : kCalls) {
    int status = -1;
    const std::string printed = CommandOutput(
        std::string("env -u DISPLAY -u WAYLAND_DISPLAY timeout 60 '" ZEB_HOST_PATH "' ") + arguments + " 2>/dev/null",
        &status);
    EXPECT_EQ(printed, output != nullptr ? output : "") << arguments;
    EXPECT_EQ(status == 0, output != nullptr) << arguments;
  }
}

// The JSON list a host generates bindings from: every export of the table, in
// order, with its kinds spelled out, each one built.
TEST(Library, DemoHostListsTheExportsAsJson) {
  int status = -1;
  const std::optional<testing::JsonValue> list =
      testing::ParseJson(CommandOutput("'" ZEB_HOST_PATH "' list --json", &status));
  EXPECT_EQ(status, 0);
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->items.size(), std::size(kExportSignatures));
  const auto kind = [](char letter) { return letter == 'i' ? "integer" : letter == 'd' ? "double" : "string"; };
  for (size_t i = 0; i < list->items.size(); ++i) {
    const ExportSignature& signature = kExportSignatures[i];
    const testing::JsonValue& entry = list->items[i];
    EXPECT_EQ(entry.Text("name"), signature.name);
    ASSERT_NE(entry.Find("arguments"), nullptr);
    std::string arguments;
    for (const testing::JsonValue& argument : entry.Find("arguments")->items) arguments += argument.text + " ";
    std::string expected;
    for (const char letter : signature.arguments) expected += std::string(kind(letter)) + " ";
    EXPECT_EQ(arguments, expected) << signature.name;
    EXPECT_EQ(entry.Text("result"), kind(signature.result));
    EXPECT_EQ(entry.Text("built"), "true");
  }
}

TEST(Library, EveryExportAnswersWithoutADisplay) {
  // The demo host calls every export the library has; without a display none of
  // them may wait for a user. The timeout is a watchdog, not a measure of speed.
  int status = -1;
  const std::string demo =
      CommandOutput("env -u DISPLAY -u WAYLAND_DISPLAY timeout 60 '" ZEB_HOST_PATH "' demo 2>&1", &status);
  EXPECT_EQ(status, 0) << demo;
  for (const ExportSignature& signature : kExportSignatures) {
    EXPECT_NE(demo.find(std::string(signature.name) + "("), std::string::npos) << signature.name << " not called";
  }
  // The dialogs that cannot be shown answer as if cancelled (GetColor: no window).
  for (const char* answer : {"as well?\") -> -1\n", "\"hello\", 0) -> \"\"\n", "GetColor(255, 200, 200) -> 0\n",
                             "\"*.txt\", 0) -> \"\"\n", "\"/tmp/\") -> \"\"\n", "\"Done\") -> \"\"\n",
                             "\"Open|Save|-|Quit\", -1, 0) -> 0\n"}) {
    EXPECT_NE(demo.find(answer), std::string::npos) << answer;
  }
}

}  // namespace
}  // namespace zeb
