/* A host linked with the library (pkg-config or find_package(zebext)): a number
 * export and a string export round trip, with the results checked. Runs with or
 * without a display; exits 0 when every result is the one expected.
 *   cc -std=c99 linked_host.c $(pkg-config --cflags --libs zebext) */
#include <stdio.h>
#include <string.h>

#include <zebext.h>

int main(void) {
  const char* text = "caf\xC3\xA9 \xF0\x9F\x98\x80";
  int failures = 0;
  double rootIsFolder = DirectoryExists("/");
  printf("DirectoryExists(\"/\") = %g\n", rootIsFolder);
  if (rootIsFolder != 1) ++failures;
  ClipboardSetText(text);
  const char* back = ClipboardGetText();
  printf("ClipboardGetText() = \"%s\"\n", back);
  if (strcmp(back, text) != 0) ++failures;
  printf("zebext %d.%d.%d: %s\n", ZEBEXT_VERSION_MAJOR, ZEBEXT_VERSION_MINOR, ZEBEXT_VERSION_PATCH,
         failures == 0 ? "ok" : "failed");
  return failures == 0 ? 0 : 1;
}
