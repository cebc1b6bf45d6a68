#include "platform/file_services.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <utility>

#include "platform/handles.h"
#include "platform/path_text.h"

namespace varnel {

namespace {

std::wstring Widened(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

bool HasWildcards(const std::string& path) { return path.find_first_of("?*") != std::string::npos; }

}  // namespace

std::wstring WideFilePath(const std::string& path) {
    std::wstring wide = Widened(path);
    // Already in the form taken as it stands.
    if (wide.compare(0, 4, L"\\\\?\\") == 0 || wide.empty()) return wide;
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return wide;
    std::wstring full(needed, L'\0');
    const DWORD got = GetFullPathNameW(wide.c_str(), needed, &full[0], nullptr);
    if (got == 0 || got >= needed) return wide;
    full.resize(got);
    return LongPathForm(full);
}

FileHandle OpenFileHandle(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
    if (path.empty() || HasWildcards(path)) return FileHandle();
    return FileHandle(CreateFileW(WideFilePath(path).c_str(), access, share, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool HasUnmappedCharacters(const std::string& pathOrName) {
    // "?" is no GBK trail byte either, so a byte of it is always the character.
    return pathOrName.find('?') != std::string::npos;
}

std::vector<FolderEntry> FolderEntries(const std::string& folder) {
    std::vector<FolderEntry> entries;
    if (folder.empty() || HasWildcards(folder)) return entries;
    std::wstring pattern = WideFilePath(folder);
    if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileW(pattern.c_str(), &found));
    if (!search) return entries;
    do {
        const std::wstring wide = found.cFileName;
        if (wide == L"." || wide == L"..") continue;
        FolderEntry entry;
        entry.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        BOOL defaulted = FALSE;
        const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(wide.size()),
                                          nullptr, 0, nullptr, nullptr);
        if (n > 0) {
            entry.name.assign(static_cast<size_t>(n), '\0');
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(wide.size()),
                                &entry.name[0], n, nullptr, &defaulted);
        }
        // A name that reads back otherwise would open some other file, or none.
        entry.nameKept = n > 0 && !defaulted && Widened(entry.name) == wide;
        entries.push_back(std::move(entry));
    } while (FindNextFileW(search.get(), &found));
    return entries;
}

Bytes ReadWholeFile(const std::string& path) {
    FileHandle file = OpenFileHandle(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
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
    DWORD attributes = FileAttributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        return false;
    }
    std::string aside = path + kWriteAsideSuffix;
    {
        FileHandle file = OpenFileHandle(aside, GENERIC_WRITE, 0, CREATE_ALWAYS);
        if (!file) return false;
        if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
            file.reset();
            DeleteFileW(WideFilePath(aside).c_str());
            return false;
        }
    }
    if (!MoveReplacing(aside, path)) {
        DeleteFileW(WideFilePath(aside).c_str());
        return false;
    }
    return true;
}

bool IsWriteAsideName(const std::string& name) {
    const size_t length = sizeof(kWriteAsideSuffix) - 1;
    return name.size() >= length && lstrcmpiA(name.c_str() + name.size() - length, kWriteAsideSuffix) == 0;
}

bool FindFirstFileExists(const std::string& path) {
    if (path.empty() || HasWildcards(path)) return false;
    WIN32_FIND_DATAW data;
    FindHandle search(FindFirstFileW(WideFilePath(path).c_str(), &data));
    return static_cast<bool>(search);
}

DWORD FileAttributes(const std::string& path) {
    if (path.empty() || HasWildcards(path)) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(WideFilePath(path).c_str());
}

bool CopyNewFile(const std::string& from, const std::string& to) {
    if (HasWildcards(from) || HasWildcards(to)) return false;
    return CopyFileW(WideFilePath(from).c_str(), WideFilePath(to).c_str(), TRUE) != FALSE;
}

bool MoveReplacing(const std::string& from, const std::string& to) {
    if (HasWildcards(from) || HasWildcards(to)) return false;
    return MoveFileExW(WideFilePath(from).c_str(), WideFilePath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool RemoveFile(const std::string& path) {
    return !path.empty() && !HasWildcards(path) && DeleteFileW(WideFilePath(path).c_str()) != FALSE;
}

bool RemoveEmptyFolder(const std::string& path) {
    return !path.empty() && !HasWildcards(path) && RemoveDirectoryW(WideFilePath(path).c_str()) != FALSE;
}

bool FolderExists(const std::string& path) {
    DWORD attributes = FileAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateOneFolder(const std::string& path) {
    return !path.empty() && !HasWildcards(path) && CreateDirectoryW(WideFilePath(path).c_str(), nullptr) != FALSE;
}

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
    if (FileAttributes(path) == INVALID_FILE_ATTRIBUTES) return false;
    // The shell takes no "\\?\" form: a path too long for it is not shown.
    PIDLIST_ABSOLUTE item = ILCreateFromPathW(Widened(path).c_str());
    if (!item) return false;
    HRESULT result = SHOpenFolderAndSelectItems(item, 0, nullptr, edit ? OFASI_EDIT : 0);
    ILFree(item);
    return SUCCEEDED(result);
}

}  // namespace varnel
