// Sequential files: numbered objects that wrap a C stream with a read buffer of
// their own, read line by line.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/core/runtime_string.h"

namespace zeb {

// Open flags. Other bits have no effect.
inline constexpr int FileBuffered = 1;    // the default of the short forms; any value without FileUnbuffered buffers
inline constexpr int FileUnbuffered = 4;  // no read buffer of the file's own
inline constexpr int FileAppend = 8;      // OpenFile only: start at the end of the file

// Library start and end: the file registry; the end closes every open file.
void InitSequentialFiles();
void EndSequentialFiles();

// Open a file under an object number; a file already open under it is closed
// first. ReadFile opens for reading; OpenFile for reading and writing, creating a
// missing file; CreateFile creates or truncates. The result is 0 on failure, the
// file's address for the dynamic number (-1), which is then its number, and the
// stream (a FILE*) otherwise. The short forms pass FileBuffered.
int64_t ReadFile(int64_t number, const Unit* path, int flags);
int64_t ReadFile(int64_t number, const Unit* path);
int64_t OpenFile(int64_t number, const Unit* path, int flags);
int64_t OpenFile(int64_t number, const Unit* path);
int64_t CreateFile(int64_t number, const Unit* path, int flags);
int64_t CreateFile(int64_t number, const Unit* path);

// Reads one line and hands its bytes to `take`, which must not keep them: LF, CR
// and CR LF each end a line and are dropped; a NUL byte ends the line too. False
// (and nothing handed over) when the file does not exist.
using LineTaker = void (*)(const char* bytes, size_t length, void* context);
bool ReadLine(int64_t number, LineTaker take, void* context);

// Reads one line, decoded from UTF-8, as a result at `start`; each malformed piece
// of UTF-8 in it becomes U+FFFD. The empty string when the file does not exist.
void ReadString(int64_t number, int64_t start);

// 1 at the end of the file (a buffered file knows it before a read meets it; an
// unbuffered one after, or after a read error), else 0; 0 when the file does not
// exist.
int Eof(int64_t number);

// Closes the file and frees its number; -1 closes every open file.
void CloseFile(int64_t number);

}  // namespace zeb
