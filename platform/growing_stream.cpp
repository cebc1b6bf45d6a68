#include "platform/growing_stream.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace varnel {

bool GrowingStream::Create(ComPtr<GrowingStream>& owner) {
    *owner.put() = new (std::nothrow) GrowingStream();
    return static_cast<bool>(owner);
}

Bytes GrowingStream::Take() {
    bytes_.resize(static_cast<size_t>(size_));
    return std::move(bytes_);
}

HRESULT GrowingStream::QueryInterface(REFIID id, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IStream) || IsEqualIID(id, IID_ISequentialStream)) {
        *out = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG GrowingStream::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG GrowingStream::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT GrowingStream::Read(void* target, ULONG count, ULONG* done) {
    ULONGLONG available = position_ < size_ ? size_ - position_ : 0;
    ULONG n = static_cast<ULONG>(std::min<ULONGLONG>(count, available));
    if (n) std::memcpy(target, bytes_.data() + position_, n);
    position_ += n;
    if (done) *done = n;
    return n == count ? S_OK : S_FALSE;
}

HRESULT GrowingStream::Write(const void* source, ULONG count, ULONG* done) {
    if (!source && count) return STG_E_INVALIDPOINTER;
    const ULONGLONG end = position_ + count;
    if (end > 0x7FFFFFFFull) return STG_E_MEDIUMFULL;
    if (end > bytes_.size()) bytes_.resize(std::max<size_t>(static_cast<size_t>(end), bytes_.size() * 2));
    if (count) std::memcpy(bytes_.data() + position_, source, count);
    position_ = end;
    size_ = std::max(size_, end);
    if (done) *done = count;
    return S_OK;
}

HRESULT GrowingStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* now) {
    LONGLONG base = origin == STREAM_SEEK_SET   ? 0
                    : origin == STREAM_SEEK_CUR ? static_cast<LONGLONG>(position_)
                    : origin == STREAM_SEEK_END ? static_cast<LONGLONG>(size_)
                                                : -1;
    if (base < 0) return STG_E_INVALIDFUNCTION;
    LONGLONG target = base + move.QuadPart;
    if (target < 0) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<ULONGLONG>(target);
    if (now) now->QuadPart = position_;
    return S_OK;
}

HRESULT GrowingStream::SetSize(ULARGE_INTEGER size) {
    if (size.QuadPart > 0x7FFFFFFFull) return STG_E_MEDIUMFULL;
    if (size.QuadPart > bytes_.size()) bytes_.resize(static_cast<size_t>(size.QuadPart));
    if (size.QuadPart > size_) {
        std::memset(bytes_.data() + size_, 0, static_cast<size_t>(size.QuadPart - size_));
    }
    size_ = size.QuadPart;
    return S_OK;
}

HRESULT GrowingStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) { return E_NOTIMPL; }
HRESULT GrowingStream::Commit(DWORD) { return S_OK; }
HRESULT GrowingStream::Revert() { return E_NOTIMPL; }
HRESULT GrowingStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }
HRESULT GrowingStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }

HRESULT GrowingStream::Stat(STATSTG* stat, DWORD) {
    if (!stat) return STG_E_INVALIDPOINTER;
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = size_;
    return S_OK;
}

HRESULT GrowingStream::Clone(IStream** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

}  // namespace varnel
