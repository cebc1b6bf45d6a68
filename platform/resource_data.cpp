#include "platform/resource_data.h"

#include <windows.h>

namespace varnel {

Bytes LoadResourceBytes(int id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const auto* data = static_cast<const unsigned char*>(LockResource(loaded));
    DWORD size = SizeofResource(module, found);
    return data ? Bytes(data, data + size) : Bytes();
}

}  // namespace varnel
