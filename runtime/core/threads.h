// Once-only initialisation, recursive mutexes and per-thread data records.
//
// Every mutex of the runtime is recursive: a thread may take a lock again while it
// holds it. Per-thread data is one record per library, shared by all threads.
#pragma once

#include <pthread.h>

#include <cstdint>

namespace zeb {

// Runs `routine` once per once control (static, PTHREAD_ONCE_INIT); returns the
// pthread_once result.
int RunOnce(pthread_once_t* control, void (*routine)());

// Initialises a PTHREAD_MUTEX_RECURSIVE mutex; returns the pthread_mutex_init
// result (0 on success).
int InitRecursiveMutex(pthread_mutex_t* mutex);

// Holds a mutex for the life of a scope; a null mutex holds nothing, for objects
// whose lock is optional.
class MutexGuard {
 public:
  explicit MutexGuard(pthread_mutex_t* mutex) : mutex_(mutex) {
    if (mutex_ != nullptr) pthread_mutex_lock(mutex_);
  }
  MutexGuard(const MutexGuard&) = delete;
  MutexGuard& operator=(const MutexGuard&) = delete;
  ~MutexGuard() {
    if (mutex_ != nullptr) pthread_mutex_unlock(mutex_);
  }

 private:
  pthread_mutex_t* mutex_;
};

using ThreadDataRoutine = void (*)(void* record);

// A zero-filled memory block of `size` bytes (0 allowed: still a distinct record),
// handed to `init` when one is given. The end routine is accepted and not kept: the
// record lives as long as the process. Null when size is negative or the heap fails.
void* NewThreadData(int32_t size, ThreadDataRoutine init, ThreadDataRoutine end);

// The calling thread's record: all threads share the one record they are given.
void* ThreadData(void* record);

}  // namespace zeb
