// The public header against the export signature table, which the library test
// holds the built library's symbols to: the header declares exactly those exports,
// with their argument and result kinds. (The library defines its exports against
// these prototypes, so any difference in a type is a compile error there.) Each
// export also has a pointer type of the same kinds.
#include "include/zebext.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "extension/export_signatures.h"
#include "extension/exports.h"

extern "C" long ZebextHeaderVersion(void);

namespace zeb {
namespace {

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

}  // namespace
}  // namespace zeb
