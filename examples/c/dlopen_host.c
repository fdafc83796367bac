/* A host that loads the library at run time, as an engine loads its extensions:
 * dlopen, then dlsym for each export, called through the header's pointer types.
 * It prints what it gets and checks it; exits 0 when every result is the one
 * expected. Without a display the question is answered at once (-1); with one, it
 * waits for the user.
 *   cc -std=c99 dlopen_host.c $(pkg-config --cflags zebext) -ldl
 *   ./a.out [library]          (default: libzebext.so.1, found as ld.so finds it) */
#define _POSIX_C_SOURCE 200809L
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <zebext.h>

static void* library;
static int failures;

/* The export's address, or NULL (and a message) when the library lacks it. */
static void* Find(const char* name) {
  void* symbol = dlsym(library, name);
  if (symbol == NULL) {
    printf("the library has no export %s\n", name);
    ++failures;
  }
  return symbol;
}

static void CheckNumber(const char* call, double result, double expected) {
  printf("%s = %g\n", call, result);
  if (result != expected) ++failures;
}

static void CheckText(const char* call, const char* result, const char* expected) {
  printf("%s = \"%s\"\n", call, result);
  if (strcmp(result, expected) != 0) ++failures;
}

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "libzebext.so.1";
  library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (library == NULL) {
    printf("cannot load %s: %s\n", path, dlerror());
    return 2;
  }
  /* POSIX lets the address dlsym gives be read as a function pointer this way. */
  ZebextAttachProcessFn attachProcess;
  ZebextDetachProcessFn detachProcess;
  ZebextFileExistsFn fileExists;
  ZebextFileCopyFn fileCopy;
  ZebextFileDeleteFn fileDelete;
  ZebextGetFolderFilesFn getFolderFiles;
  ZebextStringLoadFn stringLoad;
  ZebextClipboardSetTextFn clipboardSetText;
  ZebextClipboardGetTextFn clipboardGetText;
  ZebextShowQuestionFn showQuestion;
  *(void**)&attachProcess = Find("AttachProcess");
  *(void**)&detachProcess = Find("DetachProcess");
  *(void**)&fileExists = Find("FileExists");
  *(void**)&fileCopy = Find("FileCopy");
  *(void**)&fileDelete = Find("FileDelete");
  *(void**)&getFolderFiles = Find("GetFolderFiles");
  *(void**)&stringLoad = Find("StringLoad");
  *(void**)&clipboardSetText = Find("ClipboardSetText");
  *(void**)&clipboardGetText = Find("ClipboardGetText");
  *(void**)&showQuestion = Find("ShowQuestion");
  if (failures != 0) return 1;

  CheckNumber("AttachProcess(0)", (double)attachProcess(0), 0);

  /* A folder of our own with one text file. */
  char folder[] = "/tmp/zebext-example-XXXXXX";
  if (mkdtemp(folder) == NULL) return 2;
  char notes[64], copy[64];
  snprintf(notes, sizeof notes, "%s/notes.txt", folder);
  snprintf(copy, sizeof copy, "%s/notes.bak", folder);
  FILE* file = fopen(notes, "w");
  if (file == NULL) return 2;
  fputs("first line\nsecond line\n", file);
  fclose(file);

  CheckNumber("FileExists(notes.txt)", fileExists(notes), 1);
  CheckText("StringLoad(notes.txt, \" / \")", stringLoad(notes, " / "), "first line / second line / ");
  CheckNumber("FileCopy(notes.txt, notes.bak)", fileCopy(notes, copy), 1);
  /* A string result lasts until the next call: this one is used before that. */
  CheckText("GetFolderFiles(folder, \"*.txt\")", getFolderFiles(folder, "*.txt"), "notes.txt|");
  CheckNumber("FileDelete(notes.bak)", fileDelete(copy), 1);
  CheckNumber("FileDelete(notes.txt)", fileDelete(notes), 1);
  CheckNumber("FileExists(notes.txt)", fileExists(notes), 0);
  rmdir(folder);

  const char* text = "caf\xC3\xA9 \xF0\x9F\x98\x80";
  clipboardSetText(text);
  CheckText("ClipboardGetText()", clipboardGetText(), text);

  double answer = showQuestion("zebext example", "Is this a desktop?");
  printf("ShowQuestion(...) = %g (1 Yes, 0 No, -1 closed or no display)\n", answer);
  if (answer != 1 && answer != 0 && answer != -1) ++failures;

  CheckNumber("DetachProcess(0)", (double)detachProcess(0), 0);
  dlclose(library);
  printf("%s\n", failures == 0 ? "ok" : "failed");
  return failures == 0 ? 0 : 1;
}
