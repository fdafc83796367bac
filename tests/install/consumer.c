/* A host linked against the installed library: a number export and a string
 * export round trip, with the results checked. Exits 0 when all is as expected. */
#include <stdio.h>
#include <string.h>

#include <zebext.h>

int main(void) {
  const char* text = "caf\xC3\xA9 \xF0\x9F\x98\x80";
  int failures = 0;
  if (DirectoryExists("/") != 1) {
    printf("DirectoryExists(\"/\") is not 1\n");
    ++failures;
  }
  ClipboardSetText(text);
  if (strcmp(ClipboardGetText(), text) != 0) {
    printf("the clipboard did not give the text back\n");
    ++failures;
  }
  printf("zebext %d.%d.%d: %s\n", ZEBEXT_VERSION_MAJOR, ZEBEXT_VERSION_MINOR, ZEBEXT_VERSION_PATCH,
         failures == 0 ? "ok" : "failed");
  return failures == 0 ? 0 : 1;
}
