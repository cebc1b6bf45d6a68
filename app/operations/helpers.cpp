#include "app/operations/helpers.h"

#include <windows.h>
#include <shlwapi.h>

#include "platform/path_text.h"

namespace varnel {

bool FileExists(const std::string& path) { return PathFileExistsA(path.c_str()) != FALSE; }

namespace {
bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }
}  // namespace

size_t LastSeparator(const std::string& path) { return LastSeparator(path, &IsLeadByte); }

bool EndsWithSeparator(const std::string& path) { return EndsWithSeparator(path, &IsLeadByte); }

std::string FileTitle(const std::string& path, bool keepExtension) {
    std::string name = PathFindFileNameA(path.c_str());
    if (EndsWithSeparator(name)) return std::string();
    if (keepExtension) return name;
    return name.substr(0, name.size() - FileExtension(name).size());
}

std::string FileExtension(const std::string& path) { return PathFindExtensionA(path.c_str()); }

}  // namespace varnel
