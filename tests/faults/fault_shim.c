// A library preloaded into zebhost (LD_PRELOAD) that makes the calls the file
// exports make fail, on descriptors whose file lies under one folder only:
//
//   ZEB_FAULT_FOLDER           the folder (required; without it nothing is faulted)
//   ZEB_FAULT_WRITE_LIMIT=N    write and copy_file_range put N bytes in all, then fail with ENOSPC
//   ZEB_FAULT_READ_LIMIT=N     read, fread and copy_file_range take N bytes in all, then fail with EIO
//   ZEB_FAULT_SLOW_READS=1     of every three reads, the first fails with EINTR and the
//                              second takes at most kShortRead bytes
//   ZEB_FAULT_NO_KERNEL_COPY=1 copy_file_range fails with ENOSYS, as on a kernel without it
//   ZEB_FAULT_CLOSE=1          close closes, then reports EIO
//   ZEB_FAULT_OPEN_DIRECTORY=E fdopendir fails with errno E
//   ZEB_FAULT_READDIR_LIMIT=K  readdir gives K entries in all, then fails with EIO
//
// A process that was asked for a fault and met none exits with status 3, so a
// test cannot pass without the fault it names.
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <stdbool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

enum { kShortRead = 1021 };

static const char* folder;
static size_t folderLength;
static long long writeLimit = -1;
static long long readLimit = -1;
static bool slowReads;
static bool noKernelCopy;
static bool failClose;
static int openDirectoryError;
static long long readdirLimit = -1;

static long long written;
static long long taken;
static unsigned long long reads;
static long long entries;
static unsigned long long injected;

static long long Number(const char* name) {
  const char* text = getenv(name);
  return text != NULL && text[0] != 0 ? atoll(text) : -1;
}

__attribute__((constructor)) static void Configure(void) {
  folder = getenv("ZEB_FAULT_FOLDER");
  if (folder == NULL || folder[0] == 0) return;
  folderLength = strlen(folder);
  writeLimit = Number("ZEB_FAULT_WRITE_LIMIT");
  readLimit = Number("ZEB_FAULT_READ_LIMIT");
  slowReads = Number("ZEB_FAULT_SLOW_READS") > 0;
  noKernelCopy = Number("ZEB_FAULT_NO_KERNEL_COPY") > 0;
  failClose = Number("ZEB_FAULT_CLOSE") > 0;
  openDirectoryError = (int)Number("ZEB_FAULT_OPEN_DIRECTORY");
  readdirLimit = Number("ZEB_FAULT_READDIR_LIMIT");
}

__attribute__((destructor)) static void CheckInjected(void) {
  const bool asked = writeLimit >= 0 || readLimit >= 0 || slowReads || noKernelCopy || failClose ||
                     openDirectoryError > 0 || readdirLimit >= 0;
  if (folder != NULL && asked && injected == 0) {
    static const char kMessage[] = "fault shim: no fault was met\n";
    (void)!write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
    _exit(3);
  }
}

// The next definition of `name` after this library, stored into the function
// pointer at `into`.
static void Resolve(void* into, const char* name) {
  void* symbol = dlsym(RTLD_NEXT, name);
  memcpy(into, &symbol, sizeof symbol);
}

// Whether the descriptor's file lies under the folder; errno is kept.
static bool Faulted(int file) {
  if (folder == NULL || file < 0) return false;
  const int saved = errno;
  char link[32];
  char target[PATH_MAX];
  snprintf(link, sizeof link, "/proc/self/fd/%d", file);
  const ssize_t length = readlink(link, target, sizeof target);
  errno = saved;
  return length >= (ssize_t)folderLength && (size_t)length < sizeof target &&
         memcmp(target, folder, folderLength) == 0 && (length == (ssize_t)folderLength || target[folderLength] == '/');
}

static ssize_t Fail(int error) {
  ++injected;
  errno = error;
  return -1;
}

// How much of `count` bytes a read from `file` may take: all of it, fewer, or -1
// with errno set for a read that fails.
static ssize_t ReadAllowance(int file, size_t count) {
  if (count == 0 || !Faulted(file)) return (ssize_t)count;
  if (readLimit >= 0) {
    if (taken >= readLimit) return Fail(EIO);
    if ((long long)count > readLimit - taken) count = (size_t)(readLimit - taken);
  }
  if (slowReads) {
    const unsigned long long turn = reads++ % 3;
    if (turn == 0) return Fail(EINTR);
    if (turn == 1 && count > kShortRead) {
      ++injected;
      count = kShortRead;
    }
  }
  return (ssize_t)count;
}

static ssize_t WriteAllowance(int file, size_t count) {
  if (count == 0 || writeLimit < 0 || !Faulted(file)) return (ssize_t)count;
  if (written >= writeLimit) return Fail(ENOSPC);
  if ((long long)count > writeLimit - written) {
    ++injected;
    count = (size_t)(writeLimit - written);
  }
  return (ssize_t)count;
}

static ssize_t FaultyRead(int file, void* into, size_t count) {
  static ssize_t (*next)(int, void*, size_t);
  if (next == NULL) Resolve(&next, "read");
  const ssize_t allowed = ReadAllowance(file, count);
  if (allowed < 0) return -1;
  const ssize_t got = next(file, into, (size_t)allowed);
  if (got > 0 && Faulted(file)) taken += got;
  return got;
}

ssize_t read(int file, void* into, size_t count) { return FaultyRead(file, into, count); }

ssize_t write(int file, const void* from, size_t count) {
  static ssize_t (*next)(int, const void*, size_t);
  if (next == NULL) Resolve(&next, "write");
  const ssize_t allowed = WriteAllowance(file, count);
  if (allowed < 0) return -1;
  const ssize_t put = next(file, from, (size_t)allowed);
  if (put > 0 && Faulted(file)) written += put;
  return put;
}

ssize_t copy_file_range(int in, off64_t* inOffset, int out, off64_t* outOffset, size_t count, unsigned int flags) {
  static ssize_t (*next)(int, off64_t*, int, off64_t*, size_t, unsigned int);
  if (next == NULL) Resolve(&next, "copy_file_range");
  if (noKernelCopy && (Faulted(in) || Faulted(out))) return Fail(ENOSYS);
  ssize_t allowed = ReadAllowance(in, count);
  if (allowed < 0) return -1;
  allowed = WriteAllowance(out, (size_t)allowed);
  if (allowed < 0) return -1;
  const ssize_t moved = next(in, inOffset, out, outOffset, (size_t)allowed, flags);
  if (moved > 0 && Faulted(in)) taken += moved;
  if (moved > 0 && Faulted(out)) written += moved;
  return moved;
}

int close(int file) {
  static int (*next)(int);
  if (next == NULL) Resolve(&next, "close");
  const bool faulted = failClose && Faulted(file);
  const int closed = next(file);
  if (closed != 0 || !faulted) return closed;
  return (int)Fail(EIO);
}

// glibc's stdio reads through an internal alias of read that no preloaded library
// sees, so a faulted stream is read here the way glibc's fread reads: a short
// count is made up by reading again, and a failed read or the end stops it with
// the stream's error or end flag set. The stream's own buffer stays unused.
size_t fread(void* restrict into, size_t size, size_t count, FILE* restrict stream) {
  static size_t (*next)(void*, size_t, size_t, FILE*);
  if (next == NULL) Resolve(&next, "fread");
  const int file = fileno(stream);
  if ((readLimit < 0 && !slowReads) || size == 0 || !Faulted(file)) return next(into, size, count, stream);
  const size_t wanted = size * count;
  size_t got = 0;
  while (got < wanted) {
    const ssize_t step = FaultyRead(file, (char*)into + got, wanted - got);
    if (step <= 0) {
      stream->_flags |= step < 0 ? _IO_ERR_SEEN : _IO_EOF_SEEN;
      break;
    }
    got += (size_t)step;
  }
  return got / size;
}

DIR* fdopendir(int file) {
  static DIR* (*next)(int);
  if (next == NULL) Resolve(&next, "fdopendir");
  if (openDirectoryError > 0 && Faulted(file)) {
    Fail(openDirectoryError);
    return NULL;
  }
  return next(file);
}

struct dirent* readdir(DIR* stream) {
  static struct dirent* (*next)(DIR*);
  if (next == NULL) Resolve(&next, "readdir");
  if (readdirLimit < 0 || !Faulted(dirfd(stream))) return next(stream);
  if (entries >= readdirLimit) {
    Fail(EIO);
    return NULL;
  }
  struct dirent* entry = next(stream);
  if (entry != NULL) ++entries;
  return entry;
}
