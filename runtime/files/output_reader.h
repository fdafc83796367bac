// The output reader: reads what a child program writes into a pipe without ever
// blocking the host unless asked to, through a ring of its own in front of the
// pipe.
#pragma once

#include <cstdint>

namespace zeb {

// Bytes the ring holds: what one fill takes from the pipe at most.
inline constexpr int32_t kOutputRingSize = 10240;

struct OutputReader;

// A reader of the pipe end `descriptor`, which it owns from then on and makes
// non-blocking. Null when the descriptor cannot be made non-blocking or the heap
// fails; the descriptor is then left open.
OutputReader* NewOutputReader(int descriptor);

// Fills the ring if it is empty and returns the bytes it holds, without blocking.
int64_t OutputAvailable(OutputReader* reader);

// One byte as a signed 8-bit value (the byte 255 also reads as -1), or -1 when the
// output has ended. Waits for the program while the pipe is merely empty.
int32_t ReadOutputByte(OutputReader* reader);

// One character decoded from UTF-8, -1 at the end of the output or in the middle
// of a sequence. Characters beyond three bytes and stray bytes give a space.
int32_t ReadOutputCharacter(OutputReader* reader);

// Reads itemSize * itemCount bytes into buffer, waiting for the program as long as
// it has not ended, and returns the whole items read. 0 when the product is 0, a
// size is negative or the product does not fit.
int64_t ReadOutputBlock(OutputReader* reader, void* buffer, int64_t itemSize, int64_t itemCount);

// 1 when the ring is empty and the output has ended, else 0.
int32_t OutputEnded(OutputReader* reader);

// Closes the pipe end and frees the reader; null is allowed.
void CloseOutputReader(OutputReader* reader);

// The pipe end the reader reads, e.g. to hand it to another program as its input.
int OutputDescriptor(const OutputReader* reader);

}  // namespace zeb
