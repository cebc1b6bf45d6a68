#include "platform/path_text.h"

namespace varnel {

bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

size_t LastSeparator(const std::string& path, LeadBytePredicate isLead) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        if (isLead(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            ++i;
        } else if (path[i] == '\\') {
            last = i;
        }
    }
    return last;
}

bool EndsWithSeparator(const std::string& path, LeadBytePredicate isLead) {
    return !path.empty() && LastSeparator(path, isLead) == path.size() - 1;
}

std::string LastComponent(const std::string& path, LeadBytePredicate isLead) {
    size_t separator = LastSeparator(path, isLead);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string LastExtension(const std::string& path, LeadBytePredicate isLead) {
    std::string name = LastComponent(path, isLead);
    size_t dot = std::string::npos;
    for (size_t i = 0; i < name.size(); ++i) {
        if (isLead(static_cast<unsigned char>(name[i])) && i + 1 < name.size()) {
            ++i;
        } else if (name[i] == '.') {
            dot = i;
        }
    }
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::wstring LongPathForm(const std::wstring& full) {
    if (full.size() <= kClassicPathLimit) return full;
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
    const bool unc = full.size() >= 3 && full[0] == L'\\' && full[1] == L'\\';
    // "\\?\", "\\.\" and the like are device forms already.
    if (unc && full[2] != L'?' && full[2] != L'.') return L"\\\\?\\UNC" + full.substr(1);
    return full;
}

}  // namespace varnel
