#include "runtime/files/program_records.h"

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <climits>

#include "runtime/core/memory.h"
#include "runtime/core/threads.h"
#include "runtime/files/child_process.h"
#include "runtime/files/program_runner.h"

namespace zeb {
namespace {

// The exit-code thread only waits, so it asks for a small stack.
constexpr size_t kExitCodeThreadStack = 16000;

pthread_once_t mutexOnce = PTHREAD_ONCE_INIT;
pthread_mutex_t programMutex;
ListNode* programList = nullptr;

void CreateProgramMutex() { InitRecursiveMutex(&programMutex); }

// Caller holds the program mutex. The value is compared by address only, so any
// number a caller hands in may be asked about.
ProgramRecord* FindRecord(int64_t program) {
  return static_cast<ProgramRecord*>(FindListNode(programList, reinterpret_cast<const void*>(program)));
}

ProgramRecord* LookUp(int64_t program) {
  MutexGuard guard(ProgramMutex());
  return FindRecord(program);
}

void* CollectExitCode(void* argument) {
  const auto program = reinterpret_cast<int64_t>(argument);
  pid_t pid = 0;
  {
    MutexGuard guard(ProgramMutex());
    const ProgramRecord* record = FindRecord(program);
    if (record == nullptr || record->pid < 1) return nullptr;
    pid = record->pid;
  }
  int status = 0;
  const bool waited = WaitForChild(pid, &status);
  MutexGuard guard(ProgramMutex());
  if (ProgramRecord* record = FindRecord(program)) record->exitCode = ExitCodeOf(waited, status);
  return nullptr;
}

// 0 as the stack size keeps the system's default.
bool StartDetachedThread(void* (*routine)(void*), void* argument, size_t stackSize) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  if (stackSize != 0) pthread_attr_setstacksize(&attributes, stackSize);
  pthread_t thread;
  const bool started = pthread_create(&thread, &attributes, routine, argument) == 0;
  pthread_attr_destroy(&attributes);
  return started;
}

// Blocks the broken-pipe signal for the calling thread while it writes to a
// program's input and takes back the signal that such a write raised: a program
// that stopped reading makes the write fail rather than end the host.
class BrokenPipeGuard {
 public:
  BrokenPipeGuard() {
    sigemptyset(&pipeSignal_);
    sigaddset(&pipeSignal_, SIGPIPE);
    wasPending_ = PipeSignalPending();
    pthread_sigmask(SIG_BLOCK, &pipeSignal_, &previous_);
  }
  BrokenPipeGuard(const BrokenPipeGuard&) = delete;
  BrokenPipeGuard& operator=(const BrokenPipeGuard&) = delete;
  ~BrokenPipeGuard() {
    // Pending, so sigwait returns at once.
    int taken = 0;
    if (!wasPending_ && PipeSignalPending()) sigwait(&pipeSignal_, &taken);
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }

 private:
  static bool PipeSignalPending() {
    sigset_t pending;
    return sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
  }

  sigset_t pipeSignal_;
  sigset_t previous_;
  bool wasPending_ = false;
};

void CloseInput(ProgramRecord* record) {
  if (record->input == nullptr) return;
  BrokenPipeGuard guard;
  std::fclose(record->input);
  record->input = nullptr;
}

}  // namespace

pthread_mutex_t* ProgramMutex() {
  RunOnce(&mutexOnce, CreateProgramMutex);
  return &programMutex;
}

void InitProgramRunner() { ProgramMutex(); }

ProgramRecord* AddProgramRecord() {
  MutexGuard guard(ProgramMutex());
  auto* record = static_cast<ProgramRecord*>(AddListNode(&programList, sizeof(ListNode) + sizeof(ProgramRecord)));
  if (record != nullptr) record->exitCode = -1;
  return record;
}

void DropProgramRecord(ProgramRecord* record) {
  MutexGuard guard(ProgramMutex());
  RemoveListNode(&programList, record);
}

void StoreExitCode(ProgramRecord* record, int32_t exitCode) {
  MutexGuard guard(ProgramMutex());
  record->exitCode = exitCode;
}

int32_t ExitCodeOf(bool waited, int status) { return waited && WIFEXITED(status) ? WEXITSTATUS(status) : 1; }

bool StartExitCodeThread(ProgramRecord* record) {
  // The system's least stack (16384 bytes on Linux) may lie above the request, and
  // a stack too small for the thread's static storage fails the creation: then the
  // default size is taken, since without the thread the program stays a zombie.
  const size_t stackSize = std::max<size_t>(kExitCodeThreadStack, static_cast<size_t>(PTHREAD_STACK_MIN));
  return StartDetachedThread(CollectExitCode, record, stackSize) ||
         StartDetachedThread(CollectExitCode, record, 0);
}

int32_t ProgramExitCode(int64_t program) {
  MutexGuard guard(ProgramMutex());
  const ProgramRecord* record = FindRecord(program);
  return record != nullptr ? record->exitCode : -1;
}

// The streams are the host thread's alone and records are never freed, so only the
// look-up needs the mutex: a write that waits for the program must not hold up the
// exit-code threads.
int32_t ProgramProcess(int64_t program) {
  const ProgramRecord* record = LookUp(program);
  return record != nullptr ? record->pid : 0;
}

OutputReader* ProgramOutput(int64_t program) {
  const ProgramRecord* record = LookUp(program);
  return record != nullptr ? record->output : nullptr;
}

OutputReader* ProgramErrorOutput(int64_t program) {
  const ProgramRecord* record = LookUp(program);
  return record != nullptr ? record->errorOutput : nullptr;
}

int64_t WriteProgramInput(int64_t program, const void* data, int64_t size) {
  const ProgramRecord* record = LookUp(program);
  if (record == nullptr || record->input == nullptr || data == nullptr || size <= 0) return 0;
  BrokenPipeGuard guard;
  const size_t written = std::fwrite(data, 1, static_cast<size_t>(size), record->input);
  const bool passedOn = std::fflush(record->input) == 0;
  return passedOn && written == static_cast<size_t>(size) ? size : 0;
}

void CloseProgramInput(int64_t program) {
  if (ProgramRecord* record = LookUp(program)) CloseInput(record);
}

void CloseProgram(int64_t program) {
  ProgramRecord* record = LookUp(program);
  if (record == nullptr) return;
  CloseInput(record);
  CloseOutputReader(record->output);
  record->output = nullptr;
  CloseOutputReader(record->errorOutput);
  record->errorOutput = nullptr;
}

}  // namespace zeb
