// Untrusted path texts in a double-byte code page: a trail byte 0x5C is never
// a separator, and the pieces are always parts of the text they came from.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/path_text.h"

using namespace varnel;

namespace {
bool NoLeadBytes(unsigned char) { return false; }

void Check(const std::string& path, LeadBytePredicate isLead) {
    size_t last = LastSeparator(path, isLead);
    if (last != std::string::npos) {
        if (last >= path.size() || path[last] != '\\') abort();
        // The byte before must not start a character that swallows this one.
        size_t i = 0;
        while (i < last) i += isLead(static_cast<unsigned char>(path[i])) && i + 1 < path.size() ? 2 : 1;
        if (i != last) abort();
    }
    std::string component = LastComponent(path, isLead);
    if (component.size() > path.size() || path.compare(path.size() - component.size(), std::string::npos, component) != 0) abort();
    std::string extension = LastExtension(path, isLead);
    if (!extension.empty()) {
        if (extension[0] != '.' || extension.size() > component.size()) abort();
        if (component.compare(component.size() - extension.size(), std::string::npos, extension) != 0) abort();
    }
    if (EndsWithSeparator(path, isLead) != (!path.empty() && last == path.size() - 1)) abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path(reinterpret_cast<const char*>(data), size);
    Check(path, &IsGbkLeadByte);
    Check(path, &NoLeadBytes);
    return 0;
}
