// The file exports side by side with what a user would otherwise reach for:
//   copy/1GiB        FileCopy of a 1 GiB file      vs coreutils `cp`
//   tree/10k         FileCopy of 10,000 small files in 100 folders vs `cp -r`
//   list/10k, 100k   GetFolderFiles of a folder    vs a readdir + lstat loop that
//                    builds the same "|"-joined text (entries per second show
//                    whether the cost is linear)
//   load/100MiB      StringLoad of a 100 MiB text  vs a std::getline loop that builds
//                    the same joined UTF-8 text, for a text with characters outside
//                    ASCII and for an ASCII one; and the peak memory of each way,
//                    measured in a fresh child process (its VmHWM) against the file's
//                    size
// The data (about 2.4 GiB and 110,000 files at the peak) lives in one folder under
// /tmp that is made on first use and removed at the end. Every way is checked to
// give the same result as its rival before it is timed.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "extension/exports.h"
#include "runtime/core/temp_string_buffer.h"
#include "runtime/files/sequential_files.h"

extern char** environ;

namespace {

constexpr int64_t kBigFileBytes = int64_t{1} << 30;
constexpr int64_t kTextBytes = int64_t{100} << 20;
constexpr int kTreeFolders = 100;
constexpr int kTreeFilesPerFolder = 100;

// Removes a path with everything below it, by descriptors.
void RemoveTree(int directory, const char* name) {
  if (unlinkat(directory, name, 0) == 0) return;
  const int inside = openat(directory, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (inside < 0) return;
  if (DIR* stream = fdopendir(inside)) {
    while (const dirent* entry = readdir(stream)) {
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
        RemoveTree(inside, entry->d_name);
      }
    }
    closedir(stream);
  } else {
    close(inside);
  }
  unlinkat(directory, name, AT_REMOVEDIR);
}

void RemovePath(const std::string& path) { RemoveTree(AT_FDCWD, path.c_str()); }

const std::string& Workspace() {
  static const std::string path = [] {
    char pattern[] = "/tmp/zeb-file-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
      std::perror("mkdtemp");
      std::exit(1);
    }
    return std::string(pattern);
  }();
  return path;
}

std::string At(const std::string& name) { return Workspace() + "/" + name; }

bool WriteWhole(const std::string& path, const std::string& contents) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  return static_cast<bool>(file);
}

std::string ReadWhole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

const std::string& BigFile() {
  static const std::string path = [] {
    const std::string file = At("big.bin");
    std::string block(8 << 20, '\0');
    std::mt19937_64 random(1);
    std::ofstream out(file, std::ios::binary);
    for (int64_t written = 0; written < kBigFileBytes; written += static_cast<int64_t>(block.size())) {
      for (size_t i = 0; i < block.size(); i += 8) {
        const uint64_t word = random();
        std::memcpy(&block[i], &word, 8);
      }
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    return file;
  }();
  return path;
}

const std::string& SmallTree() {
  static const std::string path = [] {
    const std::string root = At("tree");
    mkdir(root.c_str(), 0755);
    std::mt19937 random(2);
    for (int folder = 0; folder < kTreeFolders; ++folder) {
      const std::string inner = root + "/folder" + std::to_string(folder);
      mkdir(inner.c_str(), 0755);
      for (int file = 0; file < kTreeFilesPerFolder; ++file) {
        WriteWhole(inner + "/file" + std::to_string(file) + ".dat", std::string(100 + random() % 8000, 'x'));
      }
    }
    return root;
  }();
  return path;
}

std::string ManyFiles(int count) {
  const std::string folder = At("many" + std::to_string(count));
  if (access(folder.c_str(), F_OK) == 0) return folder;
  mkdir(folder.c_str(), 0755);
  const int directory = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  for (int i = 0; i < count; ++i) {
    const std::string name = "entry_" + std::to_string(i) + ".dat";
    close(openat(directory, name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
  }
  close(directory);
  return folder;
}

// Lines of 0 to 19 words. The mixed text has a word with a 2-byte and one with
// 3-byte characters among its words, the ASCII text only ASCII words.
std::string MakeTextFile(bool mixed) {
  static const char* const kAsciiWords[] = {"the",  "quick", "brown", "fox",    "jumps", "over",
                                            "lazy", "dog",   "cafe",  "window", "text",  "gadget"};
  static const char* const kMixedWords[] = {"the",  "quick", "brown",        "fox",    "jumps",
                                            "over", "lazy",  "dog",          "caf\xC3\xA9",
                                            "\xE6\x96\x87\xE5\xAD\x97", "window", "gadget"};
  const char* const* words = mixed ? kMixedWords : kAsciiWords;
  std::mt19937 random(3);
  std::string text;
  text.reserve(static_cast<size_t>(kTextBytes) + 1024);
  while (static_cast<int64_t>(text.size()) < kTextBytes) {
    const int count = static_cast<int>(random() % 20);
    for (int i = 0; i < count; ++i) {
      if (i > 0) text += ' ';
      text += words[random() % std::size(kAsciiWords)];
    }
    text += '\n';
  }
  const std::string file = At(mixed ? "mixed.txt" : "ascii.txt");
  WriteWhole(file, text);
  return file;
}

const std::string& TextFile(bool mixed) {
  static const std::string ascii = MakeTextFile(false);
  static const std::string other = MakeTextFile(true);
  return mixed ? other : ascii;
}

// Runs a command and waits for it; false unless it exits with 0.
bool Run(std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t child;
  if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The plain ways.
std::string ReaddirLstat(const std::string& folder) {
  std::string names;
  DIR* stream = opendir(folder.c_str());
  if (stream == nullptr) return names;
  std::string path = folder + "/";
  const size_t base = path.size();
  while (const dirent* entry = readdir(stream)) {
    path.resize(base);
    path += entry->d_name;
    struct stat status;
    if (lstat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode)) continue;
    names += entry->d_name;
    names += '|';
  }
  closedir(stream);
  return names;
}

std::string GetlineJoin(const std::string& file, const std::string& separator) {
  std::ifstream in(file, std::ios::binary);
  std::string joined;
  for (std::string line; std::getline(in, line);) {
    joined += line;
    joined += separator;
  }
  return joined;
}

// One comparison. Each iteration times our way and the rival's, in turns (ours
// first in even iterations, the rival first in odd ones) so that both meet the
// same disk and cache state on a busy machine. The benchmark's time is ours; the
// counters give both medians and their ratio, ours over the rival's.
struct Comparison {
  std::function<void()> prepare;  // untimed, before each run of either way
  std::function<bool()> ours;
  std::function<bool()> rival;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void Compare(benchmark::State& state, const Comparison& comparison) {
  std::vector<double> oursSeconds;
  std::vector<double> rivalSeconds;
  for (auto _ : state) {
    const bool oursFirst = oursSeconds.size() % 2 == 0;
    for (const bool oursTurn : {oursFirst, !oursFirst}) {
      comparison.prepare();
      const auto begin = std::chrono::steady_clock::now();
      const bool done = oursTurn ? comparison.ours() : comparison.rival();
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
      if (!done) state.SkipWithError(oursTurn ? "our way failed" : "the rival failed");
      (oursTurn ? oursSeconds : rivalSeconds).push_back(took.count());
    }
    state.SetIterationTime(oursSeconds.back());
  }
  if (oursSeconds.empty()) return;
  state.counters["ours_ms"] = Median(oursSeconds) * 1e3;
  state.counters["rival_ms"] = Median(rivalSeconds) * 1e3;
  state.counters["ratio"] = Median(oursSeconds) / Median(rivalSeconds);
}

// Copies start from an empty destination and a clean page cache (nothing left to
// write back), so that neither way pays for the other's writes.
void ClearForCopy(const std::string& target) {
  RemovePath(target);
  sync();
}

void CopyFileCompared(benchmark::State& state) {
  const std::string& source = BigFile();
  const std::string target = At("big.copy");
  const auto sized = [&] {
    struct stat status;
    return stat(target.c_str(), &status) == 0 && status.st_size == kBigFileBytes;
  };
  Compare(state, {[&] { ClearForCopy(target); },
                  [&] { return FileCopy(source.c_str(), target.c_str()) == 1.0 && sized(); },
                  [&] { return Run({"cp", source, target}) && sized(); }});
  RemovePath(target);
  state.SetBytesProcessed(state.iterations() * kBigFileBytes);
}

void CopyTreeCompared(benchmark::State& state) {
  const std::string& source = SmallTree();
  const std::string target = At("tree.copy");
  const std::string sample = "/folder57/file42.dat";
  const auto same = [&] { return ReadWhole(target + sample) == ReadWhole(source + sample); };
  Compare(state, {[&] { ClearForCopy(target); },
                  [&] { return FileCopy(source.c_str(), target.c_str()) == 1.0 && same(); },
                  [&] { return Run({"cp", "-r", source, target}) && same(); }});
  RemovePath(target);
  state.SetItemsProcessed(state.iterations() * kTreeFolders * kTreeFilesPerFolder);
}

void ListCompared(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string folder = ManyFiles(count);
  if (std::string(GetFolderFiles(folder.c_str(), "")) != ReaddirLstat(folder)) state.SkipWithError("lists differ");
  size_t length = 0;
  Compare(state, {[] {},
                  [&] {
                    length = std::strlen(GetFolderFiles(folder.c_str(), ""));
                    return length > 0;
                  },
                  [&] {
                    length = ReaddirLstat(folder).size();
                    return length > 0;
                  }});
  state.SetItemsProcessed(state.iterations() * count);
}

void LoadCompared(benchmark::State& state, bool mixed) {
  const std::string& file = TextFile(mixed);
  if (std::string(StringLoad(file.c_str(), "\n")) != GetlineJoin(file, "\n")) state.SkipWithError("texts differ");
  size_t length = 0;
  Compare(state, {[] {},
                  [&] {
                    length = std::strlen(StringLoad(file.c_str(), "\n"));
                    return length > 0;
                  },
                  [&] {
                    length = GetlineJoin(file, "\n").size();
                    return length > 0;
                  }});
  state.SetBytesProcessed(state.iterations() * kTextBytes);
}

// The peak resident memory of a fresh process that loads the text once, one way.
// The child reads its own high-water mark: a spawned process's ru_maxrss also
// counts the parent's memory from before the exec.
void LoadPeakMemory(benchmark::State& state, const char* way) {
  const std::string& file = TextFile(true);
  long peakKiB = 0;
  for (auto _ : state) {
    int link[2];
    if (pipe(link) != 0) break;
    std::vector<std::string> arguments = {"/proc/self/exe", "--load-once", way, file};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, link[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, link[0]);
    pid_t child;
    const bool spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(link[1]);
    char report[64] = {};
    if (spawned) {
      const ssize_t got = read(link[0], report, sizeof report - 1);
      int status = 0;
      waitpid(child, &status, 0);
      if (got > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0) peakKiB = std::atol(report);
    }
    close(link[0]);
    if (peakKiB == 0) state.SkipWithError("the child gave no figure");
  }
  state.counters["peak_MiB"] = static_cast<double>(peakKiB) / 1024.0;
  state.counters["peak_per_file_size"] = static_cast<double>(peakKiB) * 1024.0 / static_cast<double>(kTextBytes);
}

// The process's resident high-water mark in KiB, from /proc/self/status.
long HighWaterKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return 0;
}

// The child of LoadPeakMemory: one load, then its high-water mark on stdout.
int LoadOnce(const std::string& way, const std::string& file) {
  size_t length = 0;
  if (way == "StringLoad") {
    zeb::InitSequentialFiles();
    length = std::strlen(StringLoad(file.c_str(), "\n"));
  } else if (way == "getline") {
    length = GetlineJoin(file, "\n").size();
  }
  std::printf("%ld\n", length > 0 ? HighWaterKiB() : 0L);
  return 0;
}

void Register() {
  benchmark::RegisterBenchmark("copy/1GiB/FileCopy_vs_cp", CopyFileCompared)
      ->Iterations(4)
      ->Unit(benchmark::kMillisecond)
      ->UseManualTime();
  benchmark::RegisterBenchmark("tree/10k/FileCopy_vs_cp_r", CopyTreeCompared)
      ->Iterations(4)
      ->Unit(benchmark::kMillisecond)
      ->UseManualTime();
  for (const int count : {10000, 100000}) {
    benchmark::RegisterBenchmark(("list/" + std::to_string(count / 1000) + "k/GetFolderFiles_vs_readdir_lstat").c_str(),
                                 ListCompared)
        ->Arg(count)
        ->Iterations(count == 10000 ? 40 : 10)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime();
  }
  for (const bool mixed : {true, false}) {
    const char* name = mixed ? "load/100MiB_mixed/StringLoad_vs_getline" : "load/100MiB_ascii/StringLoad_vs_getline";
    benchmark::RegisterBenchmark(name, [mixed](benchmark::State& state) { LoadCompared(state, mixed); })
        ->Iterations(6)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime();
  }
  for (const char* way : {"StringLoad", "getline"}) {
    benchmark::RegisterBenchmark((std::string("load/100MiB_mixed/peak_memory/") + way).c_str(),
                                 [way](benchmark::State& state) { LoadPeakMemory(state, way); })
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
}

}  // namespace

int main(int argc, char** argv) {
  zeb::InitStringBuffer();
  if (argc == 4 && std::strcmp(argv[1], "--load-once") == 0) return LoadOnce(argv[2], argv[3]);
  zeb::InitSequentialFiles();
  Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  RemovePath(Workspace());
  return 0;
}
