#pragma once
// How many cores a piece of work may take.

namespace varnel {

// Both when the person waits for the work alone; one when it runs ahead,
// beside the program's own work on the other core: a second thread of its
// own would only take turns with that, and wait on it in between.
enum class Cores { Both, One };

}  // namespace varnel
