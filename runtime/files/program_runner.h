// The program runner: starts other programs, either detached or connected to the
// host through pipes. A connected program keeps a record, for the rest of the
// library's life, whose exit code a background thread collects.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/core/runtime_string.h"
#include "runtime/files/output_reader.h"

namespace zeb {

// RunProgram flags.
inline constexpr int ProgramWait = 1;            // return only once the program has ended
inline constexpr int ProgramConnect = 4;         // pipes as chosen below; the result is a record
inline constexpr int ProgramReadOutput = 8;      // the host reads the standard output
inline constexpr int ProgramWriteInput = 16;     // the host writes the standard input
inline constexpr int ProgramReadError = 32;      // the host reads the standard error output
inline constexpr int ProgramInputFromSender = 64;  // the sender's output is the standard input

// Creates the program mutex; further calls do nothing.
void InitProgramRunner();

// Starts `program`, found on "PATH" unless it names a file, with the parameter
// line split into arguments (see SplitParameterLine) in `directory` (empty: the
// host's own). Without ProgramWait and ProgramConnect the program is started
// detached and outlives the host. The sender is a record of an earlier connected
// program, or 0. Result: 0 on any failure; the program's record with
// ProgramConnect; otherwise 1.
int64_t RunProgram(const Unit* program, const Unit* parameters, const Unit* directory, int flags, int64_t sender);
int64_t RunProgram(const Unit* program, const Unit* parameters, const Unit* directory, int flags);
int64_t RunProgram(const Unit* program, const Unit* parameters, const Unit* directory);
int64_t RunProgram(const Unit* program);

// Starts `program` (UTF-8, found as RunProgram finds it) detached, each parameter
// one argument whatever it holds; null parameters are empty ones, and those beyond
// the 510th are dropped. 1 when started, 0 when the program is not found or its
// process cannot be made.
int64_t LaunchProgram(const char* program, std::span<const char* const> parameters);

// The operations on a connected program take the record RunProgram returned; any
// other value gives the neutral result and does nothing.

// -1 while the program runs, then its exit status, or 1 when it did not exit
// normally.
int32_t ProgramExitCode(int64_t program);

// The program's process id, or 0.
int32_t ProgramProcess(int64_t program);

// The readers of its standard output and error output (ProgramReadOutput,
// ProgramReadError), or null. They belong to the record: CloseProgram closes them.
OutputReader* ProgramOutput(int64_t program);
OutputReader* ProgramErrorOutput(int64_t program);

// Writes `size` bytes to the program's standard input and passes them on at once,
// waiting while the pipe is full. Returns `size`, or 0 when the program does not
// take them: a program that has closed its input or ended fails the write rather
// than ending the host with a broken-pipe signal.
int64_t WriteProgramInput(int64_t program, const void* data, int64_t size);

// Closes the standard input, so that the program meets its end.
void CloseProgramInput(int64_t program);

// Closes every pipe to the program; the record and its exit code stay.
void CloseProgram(int64_t program);

}  // namespace zeb
