// Directory listings: numbered objects that walk the entries of one directory,
// optionally only those whose names match a pattern. The registry is made at the
// first listing.
#pragma once

#include <cstdint>

#include "runtime/core/runtime_string.h"

namespace zeb {

// Opens a listing of `directory` (empty or null: the current directory) under an
// object number; a listing already under that number is finished first. A null or
// empty pattern, "*" and "*.*" list every entry; any other pattern is matched with
// fnmatch (case-sensitive, a leading period not special). Returns 0 when the
// directory cannot be opened, else 1, or the listing's address for the dynamic
// number (-1), which is then its number.
int64_t ExamineDirectory(int64_t number, const Unit* directory, const Unit* pattern);

// Steps to the next matching entry, "." and ".." included; entries that vanish
// before they can be examined are skipped. 1 when there is one, 0 at the end or
// when the listing does not exist.
int NextDirectoryEntry(int64_t number);

// 1 when the directory could not be read to its end (the listing stopped early at
// a read error), else 0.
int DirectoryListingBroken(int64_t number);

// The current entry's name as a result at `start`; the empty string without a
// listing or a current entry.
void DirectoryEntryName(int64_t number, int64_t start);

// 2 when the current entry is a directory (not a link to one), 1 for anything
// else and while there is no current entry, 0 when the listing does not exist.
int DirectoryEntryType(int64_t number);

// Closes the listing and frees its number; nothing for a listing that does not exist.
void FinishDirectory(int64_t number);

// Library end: finishes every listing and frees the registry.
void EndDirectoryListings();

}  // namespace zeb
