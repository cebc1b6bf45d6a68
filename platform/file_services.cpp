#include "platform/file_services.h"

#include <windows.h>

#include <algorithm>

#include "platform/handles.h"

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
    std::string aside = path + ".varnel-new";
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

bool ReadFileStamp(const std::string& path, FileStamp& stamp) {
    WIN32_FILE_ATTRIBUTE_DATA found{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &found)) return false;
    stamp.size = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    stamp.written = found.ftLastWriteTime;
    return true;
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

std::string ProgramFolder() {
    char buffer[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof(buffer));
    std::string exe(buffer, n);
    // Double-byte names can carry 0x5C as a trail byte; only a lead position counts.
    size_t cut = std::string::npos;
    for (size_t i = 0; i < exe.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(exe[i])) && i + 1 < exe.size()) {
            ++i;
        } else if (exe[i] == '\\') {
            cut = i;
        }
    }
    return cut == std::string::npos ? std::string() : exe.substr(0, cut);
}

}  // namespace varnel
