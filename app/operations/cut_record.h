#pragma once
// The pieces a cut wrote, noted in a run folder of its own beside the
// pictures (where a watermark run keeps its originals), so that undo can
// take them away again while they are still what the cut wrote. On disk, so
// the last cut can still be undone after the program was closed, and so that
// cuts and watermark runs are undone newest first alike.
#include <string>
#include <vector>

#include "platform/bytes.h"

namespace varnel {

// The note's name inside the run's folder; the originals never carry it.
constexpr const char kCutRecordName[] = "切分记录.txt";

// Notes a piece just written at `piecePath`, or a folder the cut has just
// made, in the run's folder (made in `folder` by the first note, when
// `runFolder` is empty). False when it could not be noted.
[[nodiscard]] bool RecordCutPiece(const std::string& folder, std::string& runFolder, const std::string& piecePath,
                                  const Bytes& bytes);
[[nodiscard]] bool RecordCutFolder(const std::string& folder, std::string& runFolder, const std::string& madePath);

// True when the run's folder is a cut's rather than a watermark run's.
bool IsCutRun(const std::string& runFolder);

// How many of the pieces the cut noted still hold the bytes it wrote.
int PiecesAsWritten(const std::string& runFolder);

struct RemovedPieces {
    int count = 0;
    std::vector<std::string> changed;  // written over since: the user's now, kept
    std::vector<std::string> failed;   // still the cut's, but could not be removed
};

// Removes every piece the cut noted that still holds the bytes it wrote,
// then every folder it made that is empty after; the run's folder goes
// unless a piece could not be removed.
RemovedPieces RemoveCutPieces(const std::string& folder, const std::string& runFolder);

}  // namespace varnel
