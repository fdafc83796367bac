// zebhost: loads the extension library as the engine host does (dlopen, then dlsym
// by export name) and calls its exports from a shell.
//
//   zebhost [--library PATH] call <Export> [arguments...]
//   zebhost [--library PATH] calls     (one call a line on stdin: the export and its
//                                      arguments, separated by tabs)
//   zebhost [--library PATH] demo
//   zebhost [--library PATH] list [--json]
//
// --end HOW chooses how the host ends once the command is done, as hosts do:
// "return" from main with the library loaded, "exit", "thread-exit" (exit from a
// second thread while the main thread waits for it) or "dlclose-exit" (dlclose,
// then exit). Without it the host calls dlclose and returns from main.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "extension/export_signatures.h"
#include "host/host_calls.h"

namespace {

struct DemoCall {
  const char* name;
  std::vector<std::string> arguments;
};

// What `demo` calls, in order; exports the library does not have are skipped.
const std::vector<DemoCall>& DemoCalls() {
  static const std::vector<DemoCall> calls = {
      {"AttachProcess", {"0"}},
      {"AddMenu", {"0"}},
      {"FileExists", {"/etc/os-release"}},
      {"DirectoryExists", {"/tmp"}},
      {"FileCopy", {"/etc/os-release", "/tmp/zebext-demo.txt"}},
      {"StringLoad", {"/tmp/zebext-demo.txt", " | "}},
      {"FileDelete", {"/tmp/zebext-demo.txt"}},
      {"FileExists", {"/tmp/zebext-demo.txt"}},
      {"GetFolderFiles", {"/etc", "*.conf"}},
      {"ClipboardSetText", {"zebext \xE2\x9C\x93 clipboard"}},
      {"ClipboardGetText", {}},
      {"RunFile", {"/tmp/zebext-demo-no-such-file.txt"}},
      // On a display these wait for an answer; without one they return at once.
      {"ShowQuestion", {"zebext demo", "Show the other dialogs as well?"}},
      {"GetString", {"zebext demo", "Type a line of text:", "hello", "0"}},
      {"GetColor", {"255", "200", "200"}},
      {"GetOpenFile", {"Open a file", "/etc/os-release", "Text files|*.txt;*.md|System files|*-release;*.conf", "2"}},
      {"GetSaveFile", {"Save as", "/tmp/zebext-demo.txt", "*.txt", "0"}},
      {"GetDirectory", {"Choose a folder", "/tmp/"}},
      {"GetText", {"400,300", "zebext demo", "Edit this text, then press Done.\nA second line.", "Done"}},
      {"ShowMenu", {"Open|Save|-|Quit", "-1", "0"}},
      {"ClearAll", {}},
      {"DetachProcess", {"0"}},
  };
  return calls;
}

// The library beside the host program (in the build tree), or else the installed
// libzebext.so.1 that the dynamic loader finds (an installed host looks in its
// prefix's library folder first); --library names another.
std::string DefaultLibraryPath() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "libzebext.so.1";
  path[length] = 0;
  std::string beside(path);
  beside.erase(beside.rfind('/') + 1);
  beside += "libzebext.so";
  return access(beside.c_str(), F_OK) == 0 ? beside : "libzebext.so.1";
}

int Usage() {
  std::fprintf(stderr,
               "usage: zebhost [--library PATH] [--end HOW] call <Export> [arguments...]\n"
               "       zebhost [--library PATH] [--end HOW] calls < lines of Export<TAB>arguments...\n"
               "       zebhost [--library PATH] [--end HOW] demo\n"
               "       zebhost [--library PATH] [--end HOW] list [--json]\n"
               "HOW: return, exit, thread-exit or dlclose-exit\n");
  return 2;
}

bool IsEnding(const std::string& how) {
  return how.empty() || how == "return" || how == "exit" || how == "thread-exit" || how == "dlclose-exit";
}

// Ends the host as `how` says (see the top of this file) with the status.
int End(void* library, const std::string& how, int status) {
  std::fflush(stdout);
  if (how == "exit") std::exit(status);
  if (how == "thread-exit") std::thread([status] { std::exit(status); }).join();  // never returns
  if (how == "return") return status;
  dlclose(library);
  if (how == "dlclose-exit") std::exit(status);
  return status;
}

bool CallAndPrint(void* library, const std::string& name, const std::vector<std::string>& arguments,
                  bool echoCall) {
  const zeb::ExportSignature* signature = zeb::FindExportSignature(name);
  if (signature == nullptr) {
    std::fprintf(stderr, "zebhost: %s is not an export of the library\n", name.c_str());
    return false;
  }
  void* symbol = dlsym(library, signature->name.data());
  if (symbol == nullptr) {
    std::fprintf(stderr, "zebhost: the library has no %s yet\n", name.c_str());
    return false;
  }
  std::string error;
  const auto result = zebhost::CallExport(symbol, *signature, arguments, &error);
  if (!result) {
    std::fprintf(stderr, "zebhost: %s\n", error.c_str());
    return false;
  }
  if (echoCall) {
    std::string call = name + "(";
    for (size_t i = 0; i < arguments.size(); ++i) {
      if (i > 0) call += ", ";
      call += signature->arguments[i] == 's' ? zebhost::QuoteResult(arguments[i].c_str()) : arguments[i];
    }
    std::printf("%s) -> %s\n", call.c_str(), result->c_str());
  } else {
    std::printf("%s\n", result->c_str());
  }
  std::fflush(stdout);
  return true;
}

int Demo(void* library) {
  int failures = 0;
  for (const DemoCall& call : DemoCalls()) {
    if (dlsym(library, call.name) == nullptr) continue;
    if (!CallAndPrint(library, call.name, call.arguments, true)) ++failures;
  }
  return failures == 0 ? 0 : 1;
}

const char* KindName(char kind) {
  switch (kind) {
    case 'i':
      return "integer";
    case 'd':
      return "double";
    default:
      return "string";
  }
}

// Every export with its kinds and whether this library has it.
int List(void* library) {
  for (const zeb::ExportSignature& signature : zeb::kExportSignatures) {
    const bool present = dlsym(library, signature.name.data()) != nullptr;
    std::printf("%-18s (%s) -> %c  %s\n", signature.name.data(), signature.arguments.data(), signature.result,
                present ? "" : "(not in this library)");
  }
  return 0;
}

// The same as JSON, for hosts that generate bindings: an array of
// {"name", "arguments", "result", "built"}, the kinds spelled out.
int ListJson(void* library) {
  std::printf("[\n");
  for (const zeb::ExportSignature& signature : zeb::kExportSignatures) {
    const bool present = dlsym(library, signature.name.data()) != nullptr;
    std::printf("  {\"name\": \"%s\", \"arguments\": [", signature.name.data());
    for (size_t i = 0; i < signature.arguments.size(); ++i) {
      std::printf("%s\"%s\"", i > 0 ? ", " : "", KindName(signature.arguments[i]));
    }
    const bool last = &signature == &zeb::kExportSignatures[std::size(zeb::kExportSignatures) - 1];
    std::printf("], \"result\": \"%s\", \"built\": %s}%s\n", KindName(signature.result), present ? "true" : "false",
                last ? "" : ",");
  }
  std::printf("]\n");
  return 0;
}

// Calls in one process, as a host's session makes them: one a line of standard
// input, the export's name and its arguments separated by tabs; each printed with
// its result. 1 when any call could not be made.
int CallsFromInput(void* library) {
  int failures = 0;
  char* line = nullptr;
  size_t capacity = 0;
  for (ssize_t length; (length = getline(&line, &capacity, stdin)) > 0;) {
    std::string text(line, static_cast<size_t>(length));
    if (text.back() == '\n') text.pop_back();
    if (text.empty()) continue;
    std::vector<std::string> fields;
    for (size_t start = 0, tab;; start = tab + 1) {
      tab = text.find('\t', start);
      fields.push_back(text.substr(start, tab - start));
      if (tab == std::string::npos) break;
    }
    if (!CallAndPrint(library, fields[0], {fields.begin() + 1, fields.end()}, true)) ++failures;
    std::fflush(stdout);
  }
  std::free(line);
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  std::string libraryPath = DefaultLibraryPath();
  std::string ending;
  while (words.size() >= 2 && (words[0] == "--library" || words[0] == "--end")) {
    (words[0] == "--library" ? libraryPath : ending) = words[1];
    words.erase(words.begin(), words.begin() + 2);
  }
  if (words.empty() || !IsEnding(ending)) return Usage();

  void* library = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    std::fprintf(stderr, "zebhost: cannot load %s: %s\n", libraryPath.c_str(), dlerror());
    return 1;
  }
  int status = 0;
  if (words[0] == "call" && words.size() >= 2) {
    status = CallAndPrint(library, words[1], {words.begin() + 2, words.end()}, false) ? 0 : 1;
  } else if (words[0] == "calls" && words.size() == 1) {
    status = CallsFromInput(library);
  } else if (words[0] == "demo") {
    status = Demo(library);
  } else if (words[0] == "list" && words.size() == 1) {
    status = List(library);
  } else if (words[0] == "list" && words.size() == 2 && words[1] == "--json") {
    status = ListJson(library);
  } else {
    status = Usage();
  }
  return End(library, ending, status);
}
