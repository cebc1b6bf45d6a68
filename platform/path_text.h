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

}  // namespace varnel
