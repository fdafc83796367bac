// The built library as a host sees it: the public header against the export
// signature table (the library defines its exports against the header's
// prototypes, so any difference in a type is a compile error there), its dynamic
// symbols, and the demo host calling into it.
#include "include/zebext.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "extension/export_signatures.h"
#include "tests/files/process_test_support.h"
#include "tests/host_run.h"

namespace zeb {
namespace {

const std::vector<std::string> kHeadless = {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"};

char KindOf(const std::string& type) {
  if (type.rfind("double", 0) == 0) return 'd';
  if (type.rfind("int64_t", 0) == 0) return 'i';
  if (type.rfind("const char*", 0) == 0) return 's';
  return '?';
}

// The declarations of the header that the pattern finds (result, name, arguments),
// each as its name and its kinds, "arguments:result".
std::map<std::string, std::string> HeaderDeclarations(const std::regex& declaration) {
  const std::string header = file_testing::ReadBytes(ZEB_PUBLIC_HEADER).value_or("");
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
  // The header's version is the project's, which names the library file.
  EXPECT_EQ(std::to_string(ZEBEXT_VERSION_MAJOR) + "." + std::to_string(ZEBEXT_VERSION_MINOR) + "." +
                std::to_string(ZEBEXT_VERSION_PATCH),
            ZEB_PROJECT_VERSION);
}

TEST(Library, DynamicSymbolTableHoldsExactlyTheExports) {
  int status = -1;
  const std::string output = file_testing::CommandOutput("nm -D --defined-only '" ZEB_LIBRARY_PATH "'", &status);
  ASSERT_EQ(status, 0) << output;
  std::set<std::string> symbols;
  std::istringstream lines(output);
  for (std::string address, type, name; lines >> address >> type >> name;) symbols.insert(name);
  std::set<std::string> exports;
  for (const ExportSignature& signature : kExportSignatures) exports.insert(std::string(signature.name));
  EXPECT_EQ(symbols, exports);
}

TEST(Library, DemoHostCallsExportsByNameWithoutADisplay) {
  const struct {
    std::vector<std::string> arguments;
    const char* output;  // nothing when the call is refused
  } kCalls[] = {{{"call", "DetachProcess", "0"}, "0\n"},
                {{"call", "AttachProcess"}, nullptr},  // too few arguments
                {{"call", "NoSuchExport"}, nullptr}};
  for (const auto& [arguments, output] : kCalls) {
    const testing::HostRun run = testing::RunHost(arguments, {}, kHeadless);
    EXPECT_EQ(run.output, output != nullptr ? output : "") << arguments[1];
    EXPECT_EQ(run.status == 0, output != nullptr) << arguments[1];
  }
}

TEST(Library, EveryExportAnswersWithoutADisplay) {
  // The demo host calls every export the library has; without a display none of
  // them may wait for a user.
  const testing::HostRun run = testing::RunHost({"demo"}, {}, kHeadless);
  const std::string& demo = run.output;
  EXPECT_EQ(run.status, 0) << run.errors;
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
