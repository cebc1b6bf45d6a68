#include "app/operations/originals.h"

#include <windows.h>

#include <algorithm>

#include "app/operations/cut_record.h"
#include "app/operations/helpers.h"
#include "platform/file_services.h"

namespace varnel {

namespace {

std::string WithSeparator(const std::string& folder) {
    return EndsWithSeparator(folder) ? folder : folder + "\\";
}

// The entries of a folder that are files (or folders, when `folders`).
std::vector<std::string> Entries(const std::string& folder, bool folders) {
    std::vector<std::string> names;
    for (const FolderEntry& entry : FolderEntries(folder)) {
        if (entry.folder == folders && entry.nameKept) names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::string NewBackupFolder(const std::string& folder) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char stamp[32];
    wsprintfA(stamp, "%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
              now.wSecond);
    const std::string base = WithSeparator(folder) + kBackupFolderName + "\\" + stamp;
    // Two runs within a second get folders of their own.
    for (int n = 1; n < 100; ++n) {
        std::string path = n == 1 ? base : base + "-" + std::to_string(n);
        if (FindFirstFileExists(path)) continue;
        std::string made = path;
        return CreateFolderPath(made) >= 0 && FolderExists(path) ? WithSeparator(path) : std::string();
    }
    return std::string();
}

bool BackUpOriginal(const std::string& path, const std::string& backupFolder) {
    const std::string copy = backupFolder + FileTitle(path, true);
    if (FindFirstFileExists(copy)) return true;
    // CopyFile keeps the bytes, the time of writing and the attributes.
    return CopyNewFile(path, copy);
}

std::string LastBackupFolder(const std::string& folder) {
    const std::string runs = WithSeparator(folder) + kBackupFolderName;
    const std::vector<std::string> names = Entries(runs, true);
    // The folders are named by their start time, so the last in order is the newest.
    return names.empty() ? std::string() : runs + "\\" + names.back() + "\\";
}

std::vector<std::string> BackedUpNames(const std::string& backupFolder) {
    std::vector<std::string> names = Entries(backupFolder, false);
    names.erase(std::remove(names.begin(), names.end(), std::string(kCutRecordName)), names.end());
    return names;
}

Restored RestoreOriginals(const std::string& folder, const std::string& backupFolder) {
    Restored result;
    for (const std::string& name : BackedUpNames(backupFolder)) {
        const std::string original = backupFolder + name;
        const std::string target = WithSeparator(folder) + name;
        // A file made read-only since is the user's to keep: some systems
        // would replace it all the same.
        const DWORD attributes = FileAttributes(target);
        const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
        // One rename in the same volume: the file is either the run's or the original, never half of each.
        if (!readOnly && MoveReplacing(original, target)) {
            ++result.count;
        } else {
            result.failed.push_back(name);
        }
    }
    if (result.failed.empty()) {
        std::string bare = backupFolder;
        if (EndsWithSeparator(bare)) bare.pop_back();
        RemoveEmptyFolder(bare);
        // The folder of all runs goes too once it holds none.
        RemoveEmptyFolder(WithSeparator(folder) + kBackupFolderName);
    }
    return result;
}

}  // namespace varnel
