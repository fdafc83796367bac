// The AppKit build is a guest in its host: loading it on a display and showing a
// dialog leave the host's locale, signal handlers and output as they were, and
// launching the application does not open the host's arguments as documents.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/display/display_user.h"

namespace {

void HostHandler(int) {}

std::string ReadAll(int fd) {
  std::string text;
  char buffer[256];
  ssize_t got = 0;
  while ((got = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
  return text;
}

// In a child process whose output goes to a pipe: sets handlers and a locale, loads
// the library, shows a question, and reports what changed on stdout's original.
TEST(AppKitGuestOnDisplay, LoadingAndADialogLeaveTheHostsLocaleSignalsAndOutput) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display, where the library starts AppKit";
  int output[2];
  int report[2];
  ASSERT_EQ(pipe(output), 0);
  ASSERT_EQ(pipe(report), 0);
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    // A watchdog: a modal alert that nobody answers ends the child (the parent
    // answers it with Return).
    alarm(30);
    dup2(output[1], STDOUT_FILENO);
    dup2(output[1], STDERR_FILENO);
    FILE* out = fdopen(report[1], "w");
    setenv("LC_ALL", "C.UTF-8", 1);
    const std::string locale = std::setlocale(LC_ALL, nullptr);
    for (int signal : {SIGINT, SIGTERM, SIGPIPE}) std::signal(signal, HostHandler);
    void* library = dlopen(ZEB_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    auto* question = library != nullptr ? reinterpret_cast<double (*)(const char*, const char*)>(dlsym(library, "ShowQuestion")) : nullptr;
    if (question != nullptr) question("Question", "Shown?");
    // AppKit came up: GNUstep's application object exists.
    void** application = static_cast<void**>(dlsym(RTLD_DEFAULT, "NSApp"));
    std::fprintf(out, "loaded=%d app=%d locale=%d", library != nullptr, application != nullptr && *application != nullptr,
                 locale == std::setlocale(LC_ALL, nullptr));
    for (int signal : {SIGINT, SIGTERM, SIGPIPE}) {
      struct sigaction action {};
      sigaction(signal, nullptr, &action);
      std::fprintf(out, " %d=%d", signal, action.sa_handler == HostHandler);
    }
    std::fclose(out);
    _exit(0);
  }
  close(output[1]);
  close(report[1]);
  // The user answers the question with Return (Yes).
  std::thread user([] { zeb::testing::DisplayUser("appkit_tests").Answer({{"\r"}}); });
  const std::string printed = ReadAll(output[0]);
  const std::string reported = ReadAll(report[0]);
  int status = 0;
  waitpid(child, &status, 0);
  user.join();
  EXPECT_TRUE(WIFEXITED(status)) << "the child hung or crashed";
  EXPECT_EQ(reported, "loaded=1 app=1 locale=1 2=1 15=1 13=1");
  EXPECT_EQ(printed, "");
}

// A host whose arguments are words: launching the application must not open them
// as documents (an alert would keep it from ever going idle).
TEST(AppKitGuestOnDisplay, TheHostsArgumentsAreNotOpenedAsDocuments) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display, where the library starts AppKit";
  const std::string command = std::string("timeout -s KILL 30 ") + ZEB_PUMPING_HOST + " notes.txt level-one 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  const std::string printed = ReadAll(fileno(pipe));
  EXPECT_EQ(pclose(pipe), 0);
  EXPECT_EQ(printed, "");
}

}  // namespace
