#pragma once
// Small services the commands share: a message box that closes by itself, a
// wait that keeps the window responsive, the shell's folder view, paths.
#include <windows.h>

#include <string>

namespace varnel {

// A message box owned by the main window that closes after `milliseconds`.
void ShowTimedMessage(const std::string& text, const std::string& caption, UINT style, int milliseconds);

// Waits while window events go on being handled; unit 0 ms, 1 s, 2 min, 3 h.
void Delay(double amount, int unit);

// Opens the folder holding `path` in the shell with `path` selected.
bool OpenFolderAndSelect(const std::string& path, bool edit);

bool FileExists(const std::string& path);

// The last component of a path, with or without its extension; empty for a
// path that ends in a separator.
std::string FileTitle(const std::string& path, bool keepExtension);

// The text from the last "." of the last component, empty when none.
std::string FileExtension(const std::string& path);

// Separator tests that skip the trail bytes of double-byte characters, some
// of which are 0x5C, the byte of "\".
bool EndsWithSeparator(const std::string& path);
size_t LastSeparator(const std::string& path);

}  // namespace varnel
