#include "runtime/files/directory_listing.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "runtime/core/memory_strings.h"
#include "runtime/core/object_registry.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/files/long_path.h"
#include "runtime/files/registry_end.h"

namespace zeb {
namespace {

struct DirectoryListing {
  DIR* handle;          // null: the listing does not exist
  char* pattern;        // owned UTF-8; null when every entry is listed
  struct stat status;   // of the current entry, not following links; zeroed without one
  const dirent* entry;  // the stream's current entry, valid until its next readdir
  bool broken;          // the stream ended on a read error
};

constexpr int32_t kGrowthStep = 16;

ObjectRegistry* listings = nullptr;

DirectoryListing* FindListing(int64_t number) { return static_cast<DirectoryListing*>(IsObject(listings, number)); }

// The pattern to match names with, or null when every entry is listed: for the
// empty pattern, for "*.*", and for "*", which matches every name anyway (names
// hold no "/" and a leading period is not special). It is matched against the
// names' bytes, so an escaped byte in it matches that byte.
char* NamePattern(const Unit* pattern) {
  const std::string text = StringToUTF8Whole(pattern, BadText::kEscape);
  if (text.empty() || text == "*" || text == "*.*") return nullptr;
  return strdup(text.c_str());
}

DIR* OpenListing(const Unit* directory) {
  const LongPath path(directory == nullptr || directory[0] == 0 ? u"." : directory);
  if (!path.valid()) return nullptr;
  const int handle = openat(path.directory(), path.name(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) return nullptr;
  DIR* stream = fdopendir(handle);
  if (stream == nullptr) close(handle);
  return stream;
}

}  // namespace

int64_t ExamineDirectory(int64_t number, const Unit* directory, const Unit* pattern) {
  if (listings == nullptr) {
    listings = NewObjectRegistry(sizeof(DirectoryListing), kGrowthStep, FinishDirectory);
  }
  auto* listing = static_cast<DirectoryListing*>(AllocateObject(listings, number));
  if (listing == nullptr) return 0;
  const int64_t address = static_cast<int64_t>(reinterpret_cast<intptr_t>(listing));
  DIR* handle = OpenListing(directory);
  if (handle == nullptr) {
    // A dynamic record goes again; a numbered one stays, absent.
    FreeObjectRecord(listings, number == DynamicNumber ? address : number);
    return 0;
  }
  listing->handle = handle;
  listing->pattern = NamePattern(pattern);
  listing->broken = false;
  return number == DynamicNumber ? address : 1;
}

int NextDirectoryEntry(int64_t number) {
  DirectoryListing* listing = FindListing(number);
  if (listing == nullptr) return 0;
  listing->entry = nullptr;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(listing->handle);
    if (entry == nullptr) {
      listing->broken = listing->broken || errno != 0;
      break;
    }
    if (listing->pattern != nullptr && fnmatch(listing->pattern, entry->d_name, FNM_PATHNAME) != 0) continue;
    // Examined relative to the open directory, so no path is built and the
    // directory's own path may be of any length.
    if (fstatat(dirfd(listing->handle), entry->d_name, &listing->status, AT_SYMLINK_NOFOLLOW) != 0) continue;
    listing->entry = entry;
    return 1;
  }
  std::memset(&listing->status, 0, sizeof listing->status);
  return 0;
}

int DirectoryListingBroken(int64_t number) {
  const DirectoryListing* listing = FindListing(number);
  return listing != nullptr && listing->broken ? 1 : 0;
}

void DirectoryEntryName(int64_t number, int64_t start) {
  const DirectoryListing* listing = FindListing(number);
  if (listing == nullptr || listing->entry == nullptr) {
    EmptyTempResult(start);
    return;
  }
  // A name that is not UTF-8 keeps its bytes, escaped, so that it names this
  // entry again when it comes back as a path.
  const char* name = listing->entry->d_name;
  UTF8ToTempStringWhole(name, static_cast<int64_t>(std::strlen(name)), BadText::kEscape, start);
}

int DirectoryEntryType(int64_t number) {
  const DirectoryListing* listing = FindListing(number);
  if (listing == nullptr) return 0;
  return S_ISDIR(listing->status.st_mode) ? 2 : 1;
}

void FinishDirectory(int64_t number) {
  DirectoryListing* listing = FindListing(number);
  if (listing == nullptr) return;
  closedir(listing->handle);
  FreeUTF8(listing->pattern);
  FreeObjectRecord(listings, number);
}

void EndDirectoryListings() { EndRegistry(listings); }

}  // namespace zeb
