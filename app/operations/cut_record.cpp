#include "app/operations/cut_record.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "app/operations/helpers.h"
#include "app/operations/originals.h"
#include "platform/file_services.h"
#include "platform/handles.h"

namespace varnel {

namespace {

// FNV-1a: with the size, enough to tell a piece the user changed from the
// one the cut wrote; nobody forges a piece to keep it from being undone.
unsigned long long Fingerprint(const Bytes& bytes) {
    unsigned long long hash = 14695981039346656037ull;
    for (unsigned char b : bytes) hash = (hash ^ b) * 1099511628211ull;
    return hash;
}

std::string Hex(unsigned long long value) {
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4) text[static_cast<size_t>(i)] = "0123456789abcdef"[value & 15];
    return text;
}

std::string PieceLine(const std::string& path, const Bytes& bytes) {
    return "P " + std::to_string(bytes.size()) + " " + Hex(Fingerprint(bytes)) + " " + path + "\n";
}

// Appends one line, so a run that ends early still leaves what it wrote noted.
bool Note(const std::string& folder, std::string& runFolder, const std::string& line) {
    if (folder.empty()) return false;
    if (runFolder.empty()) runFolder = NewBackupFolder(folder);
    if (runFolder.empty()) return false;
    FileHandle file = OpenFileHandle(runFolder + kCutRecordName, FILE_APPEND_DATA, 0, OPEN_ALWAYS);
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
           written == line.size();
}

struct Piece {
    std::string path;
    unsigned long long size = 0, hash = 0;
};

struct Record {
    std::vector<Piece> pieces;
    std::vector<std::string> folders;
};

Record ReadRecord(const std::string& runFolder) {
    Record record;
    const Bytes bytes = ReadWholeFile(runFolder + kCutRecordName);
    const std::string text(bytes.begin(), bytes.end());
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (line.size() > 2 && line[0] == 'D' && line[1] == ' ') {
            record.folders.push_back(line.substr(2));
            continue;
        }
        const size_t sizeEnd = line.find(' ', 2), hashEnd = sizeEnd == std::string::npos ? sizeEnd : line.find(' ', sizeEnd + 1);
        if (line.size() < 2 || line[0] != 'P' || hashEnd == std::string::npos) continue;
        Piece piece{line.substr(hashEnd + 1), std::strtoull(line.c_str() + 2, nullptr, 10),
                    std::strtoull(line.c_str() + sizeEnd + 1, nullptr, 16)};
        // A piece written twice (two pictures of one title) is judged by its last bytes.
        auto same = std::find_if(record.pieces.begin(), record.pieces.end(),
                                 [&](const Piece& p) { return lstrcmpiA(p.path.c_str(), piece.path.c_str()) == 0; });
        if (same != record.pieces.end()) {
            *same = piece;
        } else {
            record.pieces.push_back(piece);
        }
    }
    return record;
}

bool AsWritten(const Piece& piece) {
    const Bytes now = ReadWholeFile(piece.path);
    return now.size() == piece.size && Fingerprint(now) == piece.hash;
}

}  // namespace

bool RecordCutPiece(const std::string& folder, std::string& runFolder, const std::string& piecePath,
                    const Bytes& bytes) {
    return Note(folder, runFolder, PieceLine(piecePath, bytes));
}

bool RecordCutFolder(const std::string& folder, std::string& runFolder, const std::string& madePath) {
    std::string bare = madePath;
    if (EndsWithSeparator(bare)) bare.pop_back();
    return Note(folder, runFolder, "D " + bare + "\n");
}

bool IsCutRun(const std::string& runFolder) {
    return !runFolder.empty() && FindFirstFileExists(runFolder + kCutRecordName);
}

int PiecesAsWritten(const std::string& runFolder) {
    int count = 0;
    for (const Piece& piece : ReadRecord(runFolder).pieces) count += AsWritten(piece) ? 1 : 0;
    return count;
}

RemovedPieces RemoveCutPieces(const std::string& folder, const std::string& runFolder) {
    RemovedPieces result;
    const Record record = ReadRecord(runFolder);
    for (const Piece& piece : record.pieces) {
        if (!FindFirstFileExists(piece.path)) continue;
        if (!AsWritten(piece)) {
            result.changed.push_back(piece.path);
        } else if (RemoveFile(piece.path)) {
            ++result.count;
        } else {
            result.failed.push_back(piece.path);
        }
    }
    // Innermost first; a folder that still holds anything stays.
    for (auto made = record.folders.rbegin(); made != record.folders.rend(); ++made) RemoveEmptyFolder(*made);
    if (result.failed.empty()) {
        RemoveFile(runFolder + kCutRecordName);
        std::string bare = runFolder;
        if (EndsWithSeparator(bare)) bare.pop_back();
        RemoveEmptyFolder(bare);
        RemoveEmptyFolder((EndsWithSeparator(folder) ? folder : folder + "\\") + kBackupFolderName);
    }
    return result;
}

}  // namespace varnel
