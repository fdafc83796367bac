// A host's locale and environment are its own: loading the library, which brings up
// GTK when a display is there, must leave them as they were; a GDK_BACKEND that names
// only Wayland (a Sway or Hyprland user's) does not keep GTK from the X display.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

TEST(Locale, LoadingTheLibraryUsesTheDisplayAndLeavesTheHostsLocaleAndEnvironment) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display, where the library starts GTK";
  // The locale GTK would take from the environment, had it been allowed to set one.
  setenv("LC_ALL", "C.UTF-8", 1);
  setenv("GDK_BACKEND", "wayland", 1);
  const std::string all = std::setlocale(LC_ALL, nullptr);
  const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);

  void* library = dlopen(ZEB_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  using DisplayQuery = void* (*)();
  auto* defaultDisplay = reinterpret_cast<DisplayQuery>(dlsym(library, "gdk_display_get_default"));
  ASSERT_NE(defaultDisplay, nullptr);
  EXPECT_NE(defaultDisplay(), nullptr) << "GTK did not come up on the display";
  EXPECT_STREQ(std::getenv("GDK_BACKEND"), "wayland");

  EXPECT_EQ(std::setlocale(LC_ALL, nullptr), all);
  EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), numeric);
  char number[16];
  std::snprintf(number, sizeof number, "%.1f", 1.5);
  EXPECT_STREQ(number, "1.5");
}

}  // namespace
