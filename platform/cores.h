#pragma once
// How many cores a piece of work may take.
#include <atomic>

namespace varnel {

// Both when the person waits for the work alone; one when it runs ahead,
// beside the program's own work on the other core: a second thread of its
// own would only take turns with that, and wait on it in between.
enum class Cores { Both, One };

// How many cores a scaling may take: `cores` throughout; or, for work run
// ahead, one until `awaited` is set and both from then on, as the thread it
// ran beside has stopped to wait for it and left its core idle.
struct CoreShare {
    Cores cores = Cores::Both;
    const std::atomic<bool>* awaited = nullptr;
    CoreShare(Cores fixed) : cores(fixed) {}  // NOLINT: a fixed share is any Cores
    explicit CoreShare(const std::atomic<bool>& flag) : cores(Cores::One), awaited(&flag) {}
};

}  // namespace varnel
