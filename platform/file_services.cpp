#include "platform/file_services.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>

#include "platform/handles.h"
#include "platform/path_text.h"

namespace varnel {

Bytes ReadWholeFile(const std::string& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) return {};
    // A counted buffer cannot hold more than this on the 32-bit target anyway.
    if (size.QuadPart > 0x40000000LL) return {};
    Bytes bytes(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 24));
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr) || got == 0) return {};
        done += got;
    }
    return bytes;
}

namespace {

bool WriteAll(HANDLE file, const Bytes& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 24));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

}  // namespace

bool WriteWholeFile(const std::string& path, const Bytes& bytes) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        return false;
    }
    std::string aside = path + kWriteAsideSuffix;
    {
        FileHandle file(CreateFileA(aside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
            file.reset();
            DeleteFileA(aside.c_str());
            return false;
        }
    }
    if (!MoveFileExA(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(aside.c_str());
        return false;
    }
    return true;
}

bool IsWriteAsideName(const std::string& name) {
    const size_t length = sizeof(kWriteAsideSuffix) - 1;
    return name.size() >= length && lstrcmpiA(name.c_str() + name.size() - length, kWriteAsideSuffix) == 0;
}

bool FindFirstFileExists(const std::string& path) {
    WIN32_FIND_DATAA data;
    FindHandle search(FindFirstFileA(path.c_str(), &data));
    return static_cast<bool>(search);
}

bool FolderExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateOneFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

namespace {
bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }
}  // namespace

std::string ProgramFolder() {
    char buffer[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof(buffer));
    std::string exe(buffer, n);
    size_t cut = LastSeparator(exe, &IsLeadByte);
    return cut == std::string::npos ? std::string() : exe.substr(0, cut);
}

int CreateFolderPath(std::string& path) {
    if (LastSeparator(path, &IsLeadByte) == std::string::npos) path = ProgramFolder() + "\\" + path;
    std::string bare = path;
    if (EndsWithSeparator(bare, &IsLeadByte)) bare.pop_back();
    if (FolderExists(bare)) {
        path = bare + "\\";
        return 0;
    }
    // Every level from the first: "C:" and its folders, one after another.
    size_t at = 0;
    for (;;) {
        size_t separator = std::string::npos;
        for (size_t i = at; i < bare.size(); ++i) {
            if (IsLeadByte(static_cast<unsigned char>(bare[i])) && i + 1 < bare.size()) {
                ++i;
            } else if (bare[i] == '\\') {
                separator = i;
                break;
            }
        }
        std::string prefix = separator == std::string::npos ? bare : bare.substr(0, separator);
        if (!prefix.empty() && prefix.back() != ':' && !FolderExists(prefix) && !CreateOneFolder(prefix)) return -1;
        if (separator == std::string::npos) break;
        at = separator + 1;
    }
    path = bare + "\\";
    return 1;
}

bool OpenFolderAndSelect(const std::string& path, bool edit) {
    if (PathFileExistsA(path.c_str()) == FALSE) return false;
    PIDLIST_ABSOLUTE item = ILCreateFromPathA(path.c_str());
    if (!item) return false;
    HRESULT result = SHOpenFolderAndSelectItems(item, 0, nullptr, edit ? OFASI_EDIT : 0);
    ILFree(item);
    return SUCCEEDED(result);
}

}  // namespace varnel
