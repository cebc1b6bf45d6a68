#pragma once
// Path texts in a double-byte code page: a "\" is a separator only where it is
// not the trail byte of a double-byte character (GBK has such characters).
#include <cstddef>
#include <string>

namespace varnel {

// Whether a byte starts a double-byte character in the program's code page.
using LeadBytePredicate = bool (*)(unsigned char byte);

// GBK's lead bytes, for code that runs without the platform's tables.
bool IsGbkLeadByte(unsigned char byte);

// The index of the last separator, or npos.
size_t LastSeparator(const std::string& path, LeadBytePredicate isLead);
bool EndsWithSeparator(const std::string& path, LeadBytePredicate isLead);

// The last component of a path (what follows the last separator).
std::string LastComponent(const std::string& path, LeadBytePredicate isLead);

// The text from the last "." of the last component; empty when there is none.
std::string LastExtension(const std::string& path, LeadBytePredicate isLead);

// The longest full path the classic file functions take (CreateDirectory
// takes 12 characters fewer than the others, to leave room for a file name).
constexpr size_t kClassicPathLimit = 247;

// A full, normalised wide path in the form the wide file functions take at
// any length: past the classic limit "C:\..." becomes "\\?\C:\..." and
// "\\server\share\..." becomes "\\?\UNC\server\share\...". That form is taken
// as it stands, so the path must already be absolute and free of "/", "."
// and "..". Shorter paths, and paths in a device form, come back unchanged.
std::wstring LongPathForm(const std::wstring& full);

}  // namespace varnel
