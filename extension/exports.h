// The exports, as the host sees them. Each is defined in the file named beside it
// once it is built; the library's dynamic symbol table holds only those.
#pragma once

#include <cstdint>

extern "C" {
// process_exports.cpp
int64_t AttachProcess(int64_t);
int64_t DetachProcess(int64_t);
// file_exports.cpp
double FileExists(const char* path);
double DirectoryExists(const char* path);
double FileCopy(const char* source, const char* destination);
double FileDelete(const char* path);
const char* GetFolderFiles(const char* folder, const char* pattern);
const char* StringLoad(const char* file, const char* separator);
// clipboard_exports.cpp
const char* ClipboardGetText();
double ClipboardSetText(const char* text);
// launch_exports.cpp
double RunFile(const char* path);
// dialog_exports.cpp
const char* GetOpenFile(const char* title, const char* defaultFile, const char* pattern, double patternPosition);
const char* GetSaveFile(const char* title, const char* defaultFile, const char* pattern, double patternPosition);
const char* GetDirectory(const char* title, const char* initialPath);
const char* GetString(const char* title, const char* message, const char* defaultText, double password);
double ShowQuestion(const char* title, const char* message);
double GetColor(double color, double x, double y);
// menu_exports.cpp
double AddMenu(double window);
double ShowMenu(const char* items, double defaultResult, double ignored);
double ClearAll();
// text_window_exports.cpp
const char* GetText(const char* size, const char* title, const char* text, const char* buttonText);
}
