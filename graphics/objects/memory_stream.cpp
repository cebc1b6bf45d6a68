#include "graphics/objects/memory_stream.h"

#include <algorithm>
#include <cstring>

namespace varnel {

MemoryStream::~MemoryStream() { Close(); }

std::unique_ptr<MemoryStream> MemoryStream::Copy() const {
    auto copy = std::make_unique<MemoryStream>();
    copy->memory_ = memory_;
    copy->data_ = data_;
    copy->stream_ = stream_;
    copy->borrowed_ = true;
    return copy;
}

IStream* MemoryStream::Open(const Bytes& bytes, bool copy, std::optional<uint32_t> count) {
    Close();
    if (copy) {
        size_t n = bytes.size();
        if (count && *count < n) n = *count;
        memory_ = GlobalAlloc(GMEM_ZEROINIT, n);
        if (!memory_) return nullptr;
        ownsMemory_ = true;
        data_ = GlobalLock(memory_);
        if (data_ && n) std::memcpy(data_, bytes.data(), n);
        // Fixed memory: the address is the handle. The block stays ours.
        if (CreateStreamOnHGlobal(memory_, FALSE, &stream_) != S_OK) stream_ = nullptr;
        GlobalUnlock(memory_);
        if (stream_) {
            // The block may be larger than asked for; the stream is exactly
            // the bytes.
            ULARGE_INTEGER size;
            size.QuadPart = n;
            stream_->SetSize(size);
        }
    } else {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 0);
        if (!block) return nullptr;
        if (CreateStreamOnHGlobal(block, TRUE, &stream_) != S_OK) {
            stream_ = nullptr;
            GlobalFree(block);
            return nullptr;
        }
        memory_ = block;
        ownsMemory_ = false;
    }
    return stream_;
}

void MemoryStream::Close() {
    if (!borrowed_) {
        if (stream_) stream_->Release();
        if (memory_ && ownsMemory_) GlobalFree(memory_);
    }
    stream_ = nullptr;
    memory_ = nullptr;
    data_ = nullptr;
    ownsMemory_ = false;
    borrowed_ = false;
}

uint32_t MemoryStream::GetBlockSize() const {
    if (!memory_) return 0;
    data_ = GlobalLock(memory_);
    // GlobalSize takes the handle: for moveable memory the address is not one.
    SIZE_T size = GlobalSize(memory_);
    GlobalUnlock(memory_);
    return static_cast<uint32_t>(size);
}

IStream* MemoryStream::GetStream() const { return stream_; }

HGLOBAL MemoryStream::GetMemory() const { return memory_; }

bool MemoryStream::Attach(IStream* stream) {
    Close();
    if (!stream) return false;
    HGLOBAL block = nullptr;
    if (GetHGlobalFromStream(stream, &block) != S_OK || !block) return false;
    stream_ = stream;
    memory_ = block;
    ownsMemory_ = false;
    return true;
}

Bytes MemoryStream::GetBytes() const {
    if (!stream_ || !memory_) return {};
    STATSTG stat{};
    if (stream_->Stat(&stat, STATFLAG_NONAME) != S_OK) return {};
    Bytes bytes;
    data_ = GlobalLock(memory_);
    if (data_) {
        size_t n = static_cast<size_t>(std::min<ULONGLONG>(stat.cbSize.QuadPart, GlobalSize(memory_)));
        const auto* p = static_cast<const unsigned char*>(data_);
        bytes.assign(p, p + n);
        GlobalUnlock(memory_);
    }
    return bytes;
}

}  // namespace varnel
