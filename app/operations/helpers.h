#pragma once
// The path helpers the commands share, over the shell's path functions.
#include <cstddef>
#include <string>

namespace varnel {

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
