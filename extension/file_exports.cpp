// The file and folder exports: existence tests, copying, deleting, the files of a
// folder and a whole text file as one string.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "extension/exports.h"
#include "extension/host_strings.h"
#include "runtime/core/memory_strings.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/files/directory_listing.h"
#include "runtime/files/file_system.h"
#include "runtime/files/sequential_files.h"

namespace {

// The exports' own listing and file number.
constexpr int64_t kExportObject = 0;

// The size of an open stream that is a regular file, else -1: a pipe, a FIFO or
// a device, which may never end.
int64_t RegularFileSize(int64_t stream) {
  struct stat status;
  if (stream == 0 || fstat(fileno(reinterpret_cast<FILE*>(stream)), &status) != 0 || !S_ISREG(status.st_mode)) {
    return -1;
  }
  return status.st_size;
}

// How much of a stream StringLoad reads, and how large a result it builds from
// one, before it gives the stream up as endless (/dev/zero, /dev/urandom).
constexpr int64_t kStreamLimit = int64_t{64} << 20;

// StringLoad's text so far: the lines, each followed by the separator.
struct JoinedLines {
  zeb::HostTextBuilder text;
  const std::string separator;
  int64_t read;  // the bytes of the lines and their ends
};

void AppendLine(const char* bytes, size_t length, void* context) {
  auto* joined = static_cast<JoinedLines*>(context);
  joined->text.AppendRepaired(bytes, length);
  joined->text.Append(joined->separator);
  joined->read += static_cast<int64_t>(length) + 1;
}

}  // namespace

ZEB_EXPORT double FileExists(const char* path) {
  zeb::HostCall call;
  zeb::StringVariable file = zeb::DecodeHostPath(path);
  return call.Number(zeb::FileSize(file.get()) >= 0 ? 1.0 : 0.0);
}

ZEB_EXPORT double DirectoryExists(const char* path) {
  zeb::HostCall call;
  zeb::StringVariable folder = zeb::DecodeHostPath(path);
  return call.Number(zeb::FileSize(folder.get()) == -2 ? 1.0 : 0.0);
}

ZEB_EXPORT double FileCopy(const char* source, const char* destination) {
  zeb::HostCall call;
  zeb::StringVariable from = zeb::DecodeHostPath(source);
  zeb::StringVariable to = zeb::DecodeHostPath(destination);
  const int copied = zeb::FileSize(from.get()) == -2
                         ? zeb::CopyDirectory(from.get(), to.get(), u"", zeb::CopyDirectoryRecursive)
                         : zeb::CopyFile(from.get(), to.get());
  return call.Number(copied != 0 ? 1.0 : 0.0);
}

ZEB_EXPORT double FileDelete(const char* path) {
  zeb::HostCall call;
  zeb::StringVariable file = zeb::DecodeHostPath(path);
  return call.Number(zeb::DeleteFile(file.get(), 2) != 0 ? 1.0 : 0.0);
}

ZEB_EXPORT const char* GetFolderFiles(const char* folder, const char* pattern) {
  zeb::HostCall call;
  zeb::StringVariable directory = zeb::DecodeHostPath(folder);
  zeb::StringVariable names = zeb::DecodeHostPath(pattern);
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
  // Each name goes back as exactly its bytes, so that it names the same file.
  return call.Text(result.get(), zeb::BadText::kEscape);
}

ZEB_EXPORT const char* StringLoad(const char* file, const char* separator) {
  zeb::HostCall call;
  zeb::StringVariable path = zeb::DecodeHostPath(file);
  zeb::StringVariable joiner = zeb::DecodeHostString(separator);
  // The lines go from the file's bytes straight into the UTF-8 result, each
  // malformed piece of UTF-8 as U+FFFD: no text of runtime strings is built.
  JoinedLines joined{zeb::HostTextBuilder(zeb::TempBufferPosition()),
                     zeb::StringToUTF8Whole(joiner.get(), zeb::BadText::kReplace), 0};
  const int64_t stream = zeb::ReadFile(kExportObject, path.get());
  const int64_t size = RegularFileSize(stream);
  // A file's result is about its size; a stream's has no size to go by.
  if (size > 0) joined.text.Reserve(size + 16);
  while (stream != 0 && !joined.text.gaveUp() && zeb::Eof(kExportObject) == 0) {
    zeb::ReadLine(kExportObject, AppendLine, &joined);
    if (size < 0 && (joined.read > kStreamLimit || joined.text.size() > kStreamLimit)) joined.text.GiveUp();
  }
  zeb::CloseFile(kExportObject);
  return joined.text.Finish();
}
