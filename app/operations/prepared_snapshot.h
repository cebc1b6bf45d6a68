#pragma once
// The picture watermark multiplies the mark into a snapshot of the preview
// panel showing the file alone. In a batch that snapshot of the next file is
// made ahead on the decode worker, for the panel to take up.
#include <string>

#include "platform/components.h"

namespace varnel {

// Starts decoding the file at `path` on the worker and, there, making the
// snapshot `panel` would give of it at the picture's own size.
void PrepareSnapshotAhead(const std::string& path, const DrawPanel& panel);

// Offers `panel`, which now shows the file at `path`, what was prepared for it.
void OfferPreparedSnapshot(const std::string& path, DrawPanel& panel);

}  // namespace varnel
