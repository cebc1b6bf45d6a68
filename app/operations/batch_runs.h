#pragma once
// One step of a batch run, apart from the run's pacing and its messages, so
// the step can be measured alone.
#include "app/shell/commands.h"

namespace varnel {

// Selects and loads the number-th (from 1) listed file, waits
// `pauseMilliseconds` (none when 0) and applies the operation to it, writing
// the result back as the batch run does.
void RunBatchItem(BatchOperation operation, int number, int pauseMilliseconds);

}  // namespace varnel
