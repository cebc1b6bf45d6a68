#include "graphics/objects/memory_stream.h"

namespace varnel {

IStream* MemoryStream::Open(const Bytes& bytes, bool copy, std::optional<uint32_t> count) {
    size_t n = bytes.size();
    if (count && *count < n) n = *count;
    const bool opened = copy ? stream_.OpenCopy(bytes.data(), n) : stream_.OpenEmpty();
    return opened ? stream_.stream() : nullptr;
}

void MemoryStream::Close() { stream_.Close(); }

uint32_t MemoryStream::GetBlockSize() const { return static_cast<uint32_t>(stream_.BlockSize()); }

IStream* MemoryStream::GetStream() const { return stream_.stream(); }

HGLOBAL MemoryStream::GetMemory() const { return stream_.memory(); }

bool MemoryStream::Attach(IStream* stream) { return stream_.Attach(stream); }

Bytes MemoryStream::GetBytes() const { return stream_.Contents(); }

MemoryStreamView::MemoryStreamView(const MemoryStream& source) {
    if ((*stream_.put() = source.GetStream())) stream_->AddRef();
}

HGLOBAL MemoryStreamView::GetMemory() const {
    HGLOBAL block = nullptr;
    if (!stream_ || GetHGlobalFromStream(stream_.get(), &block) != S_OK) return nullptr;
    return block;
}

}  // namespace varnel
