#pragma once
// How many cores a piece of work may take.
#include <atomic>

namespace varnel {

// Both when the person waits for the work alone; one when it runs ahead,
// beside the program's own work on the other core: a second thread of its
// own would only take turns with that, and wait on it in between.
enum class Cores { Both, One };

// Work run ahead that goes on to take both cores once `awaited` is set: the
// thread it ran beside has stopped to wait for it, and that core is idle.
struct CoreShare {
    Cores cores = Cores::Both;
    const std::atomic<bool>* awaited = nullptr;
    CoreShare(Cores fixed) : cores(fixed) {}  // NOLINT: a fixed share is any Cores
    explicit CoreShare(const std::atomic<bool>& flag) : cores(Cores::One), awaited(&flag) {}
};

}  // namespace varnel
