/* zebext: desktop services for a game-engine host, as 21 C functions.
 *
 * Numbers are doubles (AttachProcess and DetachProcess take and return 64-bit
 * integers); strings are NUL-terminated UTF-8, and a null string argument counts as
 * the empty string. A string result is never null. It belongs to the library and
 * stays valid until the next call into the library: copy it before calling again.
 * The library is not thread-safe: calls must not overlap. Dialogs are modal and
 * return when the user has answered; without a display they answer at once as if
 * cancelled. Windows, dialogs and menus belong to the thread that loaded the
 * library: from any other thread the dialogs, GetText and ShowMenu answer the same
 * way at once, and AddMenu, ClearAll and DetachProcess leave menus and windows as
 * they are. The file and clipboard exports work from any thread. */
#ifndef ZEBEXT_H
#define ZEBEXT_H

#include <stdint.h>

#define ZEBEXT_VERSION_MAJOR 1
#define ZEBEXT_VERSION_MINOR 0
#define ZEBEXT_VERSION_PATCH 0

#ifdef __cplusplus
extern "C" {
#endif

/* Loading and unloading: the host calls these once each; both return 0.
 * DetachProcess also frees all menus and closes all windows. */
int64_t AttachProcess(int64_t reserved);
int64_t DetachProcess(int64_t reserved);
/* Frees all menus and closes all windows; returns 0. */
double ClearAll(void);

/* 1 when the path names a file (a folder for DirectoryExists), else 0. */
double FileExists(const char* path);
double DirectoryExists(const char* path);
/* Copies a file, never onto itself; 1 on success, else 0. */
double FileCopy(const char* source, const char* destination);
/* Deletes a file; 1 on success, else 0. */
double FileDelete(const char* path);
/* The names in a folder that match the pattern, each followed by "|". */
const char* GetFolderFiles(const char* folder, const char* pattern);
/* The file's lines joined by the separator. */
const char* StringLoad(const char* file, const char* separator);

/* The clipboard's text, or "" when it holds none. */
const char* ClipboardGetText(void);
/* Puts the text on the clipboard; returns 0. */
double ClipboardSetText(const char* text);
/* Opens the document or folder with the desktop's launcher; 1 when it started. */
double RunFile(const char* path);

/* The file chosen to open (or to save under), or "" when cancelled. The pattern
 * gives the dialog's filters ("Text files|*.txt;*.md|Images|*.png"), the position
 * (from 1) the filter shown first. */
const char* GetOpenFile(const char* title, const char* defaultFile, const char* pattern, double patternPosition);
const char* GetSaveFile(const char* title, const char* defaultFile, const char* pattern, double patternPosition);
/* The folder chosen, ending in "/", or "" when cancelled. */
const char* GetDirectory(const char* title, const char* initialPath);
/* The colour chosen (red in bits 0-7, green 8-15, blue 16-23), or the colour
 * given when cancelled; 0 when no window can be opened (without a display). */
double GetColor(double color, double x, double y);
/* The text typed, or "" when cancelled; a password value other than 0 hides it. */
const char* GetString(const char* title, const char* message, const char* defaultText, double password);
/* 1 for Yes, 0 for No, -1 when the dialog was closed. */
double ShowQuestion(const char* title, const char* message);

/* Gives the host's window the application menu and a "Project" menu; returns 0. */
double AddMenu(double window);
/* Pops up a menu of the "|"-separated items; the number of the item chosen, or the
 * default result when none was. The third argument is ignored. */
double ShowMenu(const char* items, double defaultResult, double ignored);
/* Edits a text in a modal window of the size "width,height"; the text when the
 * button is pressed, or "" when the window is closed. */
const char* GetText(const char* size, const char* title, const char* text, const char* buttonText);

/* The exports' pointer types, for hosts that load the library at run time
 * (dlopen and dlsym) instead of linking with it. */
typedef int64_t (*ZebextAttachProcessFn)(int64_t);
typedef int64_t (*ZebextDetachProcessFn)(int64_t);
typedef double (*ZebextClearAllFn)(void);
typedef double (*ZebextFileExistsFn)(const char*);
typedef double (*ZebextDirectoryExistsFn)(const char*);
typedef double (*ZebextFileCopyFn)(const char*, const char*);
typedef double (*ZebextFileDeleteFn)(const char*);
typedef const char* (*ZebextGetFolderFilesFn)(const char*, const char*);
typedef const char* (*ZebextStringLoadFn)(const char*, const char*);
typedef const char* (*ZebextClipboardGetTextFn)(void);
typedef double (*ZebextClipboardSetTextFn)(const char*);
typedef double (*ZebextRunFileFn)(const char*);
typedef const char* (*ZebextGetOpenFileFn)(const char*, const char*, const char*, double);
typedef const char* (*ZebextGetSaveFileFn)(const char*, const char*, const char*, double);
typedef const char* (*ZebextGetDirectoryFn)(const char*, const char*);
typedef double (*ZebextGetColorFn)(double, double, double);
typedef const char* (*ZebextGetStringFn)(const char*, const char*, const char*, double);
typedef double (*ZebextShowQuestionFn)(const char*, const char*);
typedef double (*ZebextAddMenuFn)(double);
typedef double (*ZebextShowMenuFn)(const char*, double, double);
typedef const char* (*ZebextGetTextFn)(const char*, const char*, const char*, const char*);

#ifdef __cplusplus
}
#endif

#endif /* ZEBEXT_H */
