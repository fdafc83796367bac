// The program list behind the program runner: one record per connected program,
// kept for the rest of the library's life and guarded by the program mutex, which
// the exit-code threads take too.
#pragma once

#include <pthread.h>

#include <cstdint>
#include <cstdio>

#include "runtime/files/output_reader.h"

namespace zeb {

struct ProgramRecord {
  int32_t pid;
  int32_t exitCode;  // -1 while unknown
  OutputReader* output;
  FILE* input;
  OutputReader* errorOutput;
};

pthread_mutex_t* ProgramMutex();

// The following take the program mutex themselves.

// A new record at the head of the list, its exit code unknown and nothing else
// set; null when the heap fails.
ProgramRecord* AddProgramRecord();
// Takes back a record that no thread has seen yet: its program never started.
void DropProgramRecord(ProgramRecord* record);
void StoreExitCode(ProgramRecord* record, int32_t exitCode);

// The exit code a wait status stands for: the exit status when the program exited
// normally, else 1.
int32_t ExitCodeOf(bool waited, int status);

// Starts the detached thread that waits for the record's program and stores its
// exit code. False when no thread could be made.
bool StartExitCodeThread(ProgramRecord* record);

}  // namespace zeb
