#pragma once
// The batch runs' texts and what a run does with one file's result.
#include <string>

#include "platform/bytes.h"

namespace varnel {

enum class BatchOperation { Split, Text, Picture };

// The message a run ends with.
const char* CompletionText(BatchOperation operation);

// The progress label while the number-th (from 1) of `count` files is worked on.
std::string ProgressText(int count, int number);

// Replaces the file at `path` with the snapshot; an empty snapshot (the
// entry was no picture) leaves the file as it was. False when nothing was written.
[[nodiscard]] bool WriteBackSnapshot(const std::string& path, const Bytes& snapshot);

}  // namespace varnel
