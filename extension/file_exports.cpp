// The file and folder exports: existence tests, copying, deleting, the files of a
// folder and a whole text file as one string.
#include <sys/stat.h>

#include <cstdio>

#include "extension/exports.h"
#include "extension/host_strings.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/files/directory_listing.h"
#include "runtime/files/file_system.h"
#include "runtime/files/sequential_files.h"

namespace {

// The exports' own listing and file number.
constexpr int64_t kExportObject = 0;

// The size of an open stream that is a regular file, else -1. Only a regular file
// has an end that a loop reading lines is sure to meet: a device such as
// /dev/zero would fill the result without end.
int64_t RegularFileSize(int64_t stream) {
  struct stat status;
  if (stream == 0 || fstat(fileno(reinterpret_cast<FILE*>(stream)), &status) != 0 || !S_ISREG(status.st_mode)) {
    return -1;
  }
  return status.st_size;
}

}  // namespace

ZEB_EXPORT double FileExists(const char* path) {
  zeb::HostCall call;
  zeb::StringVariable file = zeb::DecodeHostString(path);
  return call.Number(zeb::FileSize(file.get()) >= 0 ? 1.0 : 0.0);
}

ZEB_EXPORT double DirectoryExists(const char* path) {
  zeb::HostCall call;
  zeb::StringVariable folder = zeb::DecodeHostString(path);
  return call.Number(zeb::FileSize(folder.get()) == -2 ? 1.0 : 0.0);
}

ZEB_EXPORT double FileCopy(const char* source, const char* destination) {
  zeb::HostCall call;
  zeb::StringVariable from = zeb::DecodeHostString(source);
  zeb::StringVariable to = zeb::DecodeHostString(destination);
  const int copied = zeb::FileSize(from.get()) == -2
                         ? zeb::CopyDirectory(from.get(), to.get(), u"", zeb::CopyDirectoryRecursive)
                         : zeb::CopyFile(from.get(), to.get());
  return call.Number(copied != 0 ? 1.0 : 0.0);
}

ZEB_EXPORT double FileDelete(const char* path) {
  zeb::HostCall call;
  zeb::StringVariable file = zeb::DecodeHostString(path);
  return call.Number(zeb::DeleteFile(file.get(), 2) != 0 ? 1.0 : 0.0);
}

ZEB_EXPORT const char* GetFolderFiles(const char* folder, const char* pattern) {
  zeb::HostCall call;
  zeb::StringVariable directory = zeb::DecodeHostString(folder);
  zeb::StringVariable names = zeb::DecodeHostString(pattern);
  const int64_t start = zeb::TempBufferPosition();
  zeb::EmptyTempResult(start);
  if (zeb::ExamineDirectory(kExportObject, directory.get(), names.get()) != 0) {
    // Each name is decoded straight after the text so far, then followed by "|".
    while (zeb::NextDirectoryEntry(kExportObject) != 0) {
      if (zeb::DirectoryEntryType(kExportObject) != 1) continue;
      const int64_t name = zeb::TempBufferPosition();
      zeb::DirectoryEntryName(kExportObject, name);
      if (zeb::TempBufferPosition() != name) zeb::AppendTempString(u"|");
    }
    // A folder that could not be read to its end could not be listed.
    if (zeb::DirectoryListingBroken(kExportObject) != 0) zeb::EmptyTempResult(start);
    zeb::FinishDirectory(kExportObject);
  }
  zeb::StringVariable result;
  result.Take(start);
  return call.Text(result.get());
}

ZEB_EXPORT const char* StringLoad(const char* file, const char* separator) {
  zeb::HostCall call;
  zeb::StringVariable path = zeb::DecodeHostString(file);
  zeb::StringVariable joiner = zeb::DecodeHostString(separator);
  const bool separated = joiner.get()[0] != 0;
  const int64_t start = zeb::TempBufferPosition();
  zeb::EmptyTempResult(start);
  const int64_t size = RegularFileSize(zeb::ReadFile(kExportObject, path.get()));
  if (size >= 0) {
    // The lines take at most a unit per byte of the file, and a one-unit separator
    // no more than the line end it stands for: the buffer grows once, not once
    // per 16 KiB. A file too large for that grows the usual way.
    if (zeb::ReserveTempString(size, start) != nullptr) zeb::EmptyTempResult(start);
    // Each line is decoded straight after the text so far.
    while (zeb::Eof(kExportObject) == 0) {
      zeb::ReadString(kExportObject, zeb::TempBufferPosition());
      if (separated) zeb::AppendTempString(joiner.get());
    }
  }
  zeb::CloseFile(kExportObject);
  // The text is encoded straight from where it was built.
  return call.Text(zeb::TempStringAddress(start));
}
