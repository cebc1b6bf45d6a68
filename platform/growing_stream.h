#pragma once
// An output stream over a byte array that grows by doubling. The platform's
// memory-block stream grows to the exact size at every write, which copies
// the whole output again and again while an encoder writes a large file.
// A counted object on the heap: the last Release deletes it, so an encoder
// that keeps a reference past its call never finds it gone.
#include <windows.h>
#include <objidl.h>

#include "platform/bytes.h"
#include "platform/handles.h"

namespace varnel {

class GrowingStream final : public IStream {
public:
    // Puts a new stream into the owner, which holds its only reference;
    // false when out of memory.
    static bool Create(ComPtr<GrowingStream>& owner);
    GrowingStream(const GrowingStream&) = delete;
    GrowingStream& operator=(const GrowingStream&) = delete;

    // Exactly what was written: the array behind it may be larger.
    Bytes Take();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Read(void* target, ULONG count, ULONG* done) override;
    HRESULT STDMETHODCALLTYPE Write(const void* source, ULONG count, ULONG* done) override;
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* now) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** out) override;

private:
    GrowingStream() = default;
    ~GrowingStream() = default;

    Bytes bytes_;
    ULONGLONG size_ = 0;
    ULONGLONG position_ = 0;
    LONG references_ = 1;
};

}  // namespace varnel
