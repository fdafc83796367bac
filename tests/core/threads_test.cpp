#include "runtime/core/threads.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>
#include <vector>

#include "runtime/core/memory.h"

namespace zeb {
namespace {

TEST(Threads, RunOnceRunsTheRoutineOnce) {
  static pthread_once_t control = PTHREAD_ONCE_INIT;
  static int runs = 0;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(RunOnce(&control, [] { ++runs; }), 0);
  std::thread([] { RunOnce(&control, [] { ++runs; }); }).join();
  EXPECT_EQ(runs, 1);
}

TEST(Threads, RecursiveMutexIsReentrantForItsOwnerOnly) {
  pthread_mutex_t mutex;
  ASSERT_EQ(InitRecursiveMutex(&mutex), 0);
  auto tryFromAnotherThread = [&mutex] {
    int result = -1;
    std::thread([&] {
      result = pthread_mutex_trylock(&mutex);
      if (result == 0) pthread_mutex_unlock(&mutex);
    }).join();
    return result;
  };
  {
    MutexGuard outer(&mutex);
    EXPECT_EQ(pthread_mutex_trylock(&mutex), 0);
    pthread_mutex_unlock(&mutex);
    EXPECT_EQ(tryFromAnotherThread(), EBUSY);
  }
  EXPECT_EQ(tryFromAnotherThread(), 0);
  pthread_mutex_destroy(&mutex);
}

TEST(Threads, ThreadDataIsOneClearedRecordForAll) {
  static std::vector<void*> initialised;
  auto init = [](void* record) { initialised.push_back(record); };
  EXPECT_EQ(NewThreadData(-1, init, nullptr), nullptr);
  void* empty = NewThreadData(0, init, nullptr);
  ASSERT_NE(empty, nullptr);
  // The end routine is accepted but not run.
  auto* words = static_cast<int64_t*>(NewThreadData(2 * sizeof(int64_t), nullptr, init));
  ASSERT_NE(words, nullptr);
  EXPECT_EQ(initialised, std::vector<void*>{empty});
  EXPECT_EQ(words[0] | words[1], 0);
  void* seen = nullptr;
  std::thread([&] { seen = ThreadData(words); }).join();
  EXPECT_EQ(seen, words);
  FreeBlock(empty);
  FreeBlock(words);
}

}  // namespace
}  // namespace zeb
