#include "runtime/core/threads.h"

#include "runtime/core/memory.h"

namespace zeb {

int RunOnce(pthread_once_t* control, void (*routine)()) { return pthread_once(control, routine); }

int InitRecursiveMutex(pthread_mutex_t* mutex) {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  const int result = pthread_mutex_init(mutex, &attributes);
  pthread_mutexattr_destroy(&attributes);
  return result;
}

void* NewThreadData(int32_t size, ThreadDataRoutine init, ThreadDataRoutine /*end*/) {
  void* record = AllocateBlock(size);
  if (record != nullptr && init != nullptr) init(record);
  return record;
}

void* ThreadData(void* record) { return record; }

}  // namespace zeb
