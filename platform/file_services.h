#pragma once
// Whole-file reading and writing, existence tests and folders. The program
// names files in the ANSI code page; every function here works through the
// wide file functions, so a path past the classic 260-character limit works
// like any other.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/bytes.h"
#include "platform/handles.h"

namespace varnel {

// The path widened from the ANSI code page, made absolute with "/" turned to
// "\" and "." and ".." resolved, in the "\\?\" form when it is long.
std::wstring WideFilePath(const std::string& path);

// CreateFile through the wide path; an empty handle when it failed.
FileHandle OpenFileHandle(const std::string& path, DWORD access, DWORD share, DWORD disposition);

// True when the text holds "?", which no file name has: the listing gives it
// for each character of a name that the ANSI code page has no form for.
bool HasUnmappedCharacters(const std::string& pathOrName);

struct FolderEntry {
    std::string name;  // in the ANSI code page
    bool folder = false;
    // False when the name did not survive the code page: nothing can open
    // the file by the name the program holds.
    bool nameKept = true;
};

// What a folder holds, without "." and "..", in the order found.
std::vector<FolderEntry> FolderEntries(const std::string& folder);

// The whole file; empty when it cannot be read.
[[nodiscard]] Bytes ReadWholeFile(const std::string& path);

// The suffix of what WriteWholeFile writes beside a file before swapping it
// in; a file of that name left behind is all a stopped run wrote.
constexpr char kWriteAsideSuffix[] = ".varnel-new";

// True when the name ends in kWriteAsideSuffix (in any case).
bool IsWriteAsideName(const std::string& name);

// Replaces or creates the file with exactly these bytes. The new content is
// written beside the file and swapped in, so a failed or interrupted write
// leaves the old file whole. A read-only or locked file is left as it was.
[[nodiscard]] bool WriteWholeFile(const std::string& path, const Bytes& bytes);

// True when a file or folder exists at the path (find-first-file test). A
// path with "?" or "*" is never a pattern here: nothing exists at it.
bool FindFirstFileExists(const std::string& path);

// The file's attributes; INVALID_FILE_ATTRIBUTES when there is nothing there.
DWORD FileAttributes(const std::string& path);

// Copies a file, bytes, times of writing and attributes, failing when the
// target exists.
bool CopyNewFile(const std::string& from, const std::string& to);

// Renames over whatever is at `to`, in one step within a volume.
bool MoveReplacing(const std::string& from, const std::string& to);

// Removes a file; false when it could not.
bool RemoveFile(const std::string& path);

// Removes a folder when it is empty.
bool RemoveEmptyFolder(const std::string& path);

// True when a folder (not a file) exists at the path.
bool FolderExists(const std::string& path);

// Creates one folder level; false when it could not be created.
bool CreateOneFolder(const std::string& path);

// The folder of the running program, without a final separator.
std::string ProgramFolder();

// Opens the folder holding `path` in the shell with `path` selected; false
// when there is nothing at the path or the shell could not show it.
bool OpenFolderAndSelect(const std::string& path, bool edit);

// Makes every folder along the path exist (a path without a separator lies
// in the program's folder); the path comes back with one final separator.
// 0 when it already existed, 1 when created, -1 when a level could not be made.
int CreateFolderPath(std::string& path);

}  // namespace varnel
