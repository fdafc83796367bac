// Starting a child process. Everything the child does between fork and exec is
// prepared beforehand, so the child calls only async-signal-safe functions: the
// host may have other threads that hold the heap's locks at the moment of fork.
#pragma once

#include <sys/types.h>

namespace zeb {

// A descriptor that the child takes as one of its standard descriptors.
struct Redirection {
  int from;
  int to;
};

struct ChildPlan {
  const char* file;         // the program's file, started as it is
  char* const* arguments;   // the argument vector, ended by a null entry
  const char* directory;    // the folder to start in; empty keeps the inherited one
  Redirection redirections[3];
  int redirectionCount;
  // Another program's output pipe that becomes the standard input, blocking:
  // opened anew through `inputPath` when that works, so the host's end stays
  // non-blocking; otherwise `inputDescriptor` itself (-1: none), which makes the
  // host's end blocking too.
  const char* inputPath;
  int inputDescriptor;
};

// A pipe whose ends are closed on exec and lie above the standard descriptors, so
// that no child inherits them by accident and redirections onto 0 to 2 never
// overwrite them. False when the pipe cannot be made.
bool MakePipe(int ends[2]);

// Forks a child that follows the plan; the child's pid, or -1 when fork fails.
pid_t StartChild(const ChildPlan& plan);

// Starts the program as a grandchild: the child in between ends at once and is
// reaped here, so the program belongs to the system and never waits as a zombie
// of the host. True when the program's process was made.
bool StartDetached(const ChildPlan& plan);

// waitpid for one child, again when a signal interrupts it; false when it fails.
bool WaitForChild(pid_t pid, int* status);

}  // namespace zeb
