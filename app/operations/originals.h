#pragma once
// The originals a run replaces, kept byte for byte with their times in a
// folder of that run beside the pictures, and put back on request.
#include <string>
#include <vector>

namespace varnel {

// The folder that holds the runs' originals, inside the pictures' folder.
// The listing shows files only, so neither it nor anything in it is listed.
constexpr const char kBackupFolderName[] = "原图备份";

// A new folder for the originals of a run that starts now in `folder`
// ("<folder>\原图备份\<date>-<time>\", with a final separator); empty when it
// could not be made.
std::string NewBackupFolder(const std::string& folder);

// Copies the file at `path` into the run's folder, times and all, unless a
// copy is there already (the run's own output is never taken for an original).
[[nodiscard]] bool BackUpOriginal(const std::string& path, const std::string& backupFolder);

// The newest run's folder of originals in `folder`; empty when there is none.
std::string LastBackupFolder(const std::string& folder);

// The names of the originals a run's folder holds.
std::vector<std::string> BackedUpNames(const std::string& backupFolder);

struct Restored {
    int count = 0;
    std::vector<std::string> failed;
};

// Puts every original of the run's folder back in `folder`, each by one
// move that replaces the file whole; the run's folder goes when it is empty,
// and stays with every original that could not be put back.
Restored RestoreOriginals(const std::string& folder, const std::string& backupFolder);

}  // namespace varnel
