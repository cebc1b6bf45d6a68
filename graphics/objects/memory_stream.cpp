#include "graphics/objects/memory_stream.h"

#include "graphics/objects/global_stream.h"

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
    size_t n = bytes.size();
    if (count && *count < n) n = *count;
    GlobalStream opened;
    if (!OpenGlobalStream(bytes.data(), n, copy, opened)) return nullptr;
    memory_ = opened.memory;
    stream_ = opened.stream;
    ownsMemory_ = opened.ownsMemory;
    if (copy) {
        // Fixed memory: the address stays valid without a lock.
        data_ = GlobalLock(memory_);
        GlobalUnlock(memory_);
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
