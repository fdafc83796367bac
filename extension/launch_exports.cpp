// RunFile: opens a document or program with the desktop's launcher.
#include <span>
#include <string>

#include "extension/exports.h"
#include "extension/host_strings.h"
#include "runtime/files/long_path.h"
#include "runtime/files/program_runner.h"

namespace {

#if defined(__APPLE__)
constexpr char kLauncher[] = "open";
#else
// On Linux "open" may name the tool that starts a program on a new virtual
// terminal; the desktop's launcher is xdg-open.
constexpr char kLauncher[] = "xdg-open";
#endif

}  // namespace

ZEB_EXPORT double RunFile(const char* path) {
  zeb::HostCall call;
  zeb::StringVariable file = zeb::DecodeHostPath(path);
  std::string argument = zeb::PathText(file.get());
  // The path is the launcher's one argument whatever it holds, and a path that
  // starts with "-" must not read as one of its options.
  if (argument.starts_with('-')) argument.insert(0, "./");
  const char* parameters[] = {argument.c_str()};
  return call.Number(zeb::LaunchProgram(kLauncher, parameters) == 1 ? 1.0 : 0.0);
}
