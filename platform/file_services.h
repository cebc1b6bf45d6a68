#pragma once
// Whole-file reading and writing, existence tests and folders, in ANSI paths.
#include <windows.h>

#include <string>

#include "platform/bytes.h"

namespace varnel {

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

// True when a file or folder exists at the path (find-first-file test).
bool FindFirstFileExists(const std::string& path);

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
