#include "graphics/objects/global_stream.h"

#include <algorithm>
#include <cstring>

namespace varnel {

namespace {
// The bytes of a block, at most limit of them.
Bytes ReadBlock(HGLOBAL block, size_t limit) {
    Bytes bytes;
    if (!block) return bytes;
    if (const auto* p = static_cast<const unsigned char*>(GlobalLock(block))) {
        bytes.assign(p, p + std::min<size_t>(limit, GlobalSize(block)));
        GlobalUnlock(block);
    }
    return bytes;
}
}  // namespace

bool GlobalStream::OpenCopy(const unsigned char* bytes, size_t n) {
    Close();
    HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, n);
    if (!block) return false;
    if (n) std::memcpy(block, bytes, n);  // fixed memory: the handle is the address
    if (!Adopt(block)) return false;
    // The block may be larger than asked for; the stream is exactly the bytes.
    ULARGE_INTEGER exact;
    exact.QuadPart = n;
    stream_->SetSize(exact);
    return true;
}

bool GlobalStream::OpenEmpty() {
    Close();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 0);
    return block && Adopt(block);
}

bool GlobalStream::Adopt(HGLOBAL block) {
    if (CreateStreamOnHGlobal(block, TRUE, &stream_) != S_OK || !stream_) {
        stream_ = nullptr;
        GlobalFree(block);  // no stream took it
        return false;
    }
    return true;
}

bool GlobalStream::Attach(IStream* stream) {
    Close();
    HGLOBAL block = nullptr;
    if (!stream || GetHGlobalFromStream(stream, &block) != S_OK || !block) return false;
    stream_ = stream;
    return true;
}

void GlobalStream::Close() {
    if (stream_) stream_->Release();
    stream_ = nullptr;
}

HGLOBAL GlobalStream::memory() const {
    HGLOBAL block = nullptr;
    if (!stream_ || GetHGlobalFromStream(stream_, &block) != S_OK) return nullptr;
    return block;
}

size_t GlobalStream::BlockSize() const {
    HGLOBAL block = memory();
    return block ? GlobalSize(block) : 0;
}

Bytes GlobalStream::BlockBytes() const { return ReadBlock(memory(), static_cast<size_t>(-1)); }

Bytes GlobalStream::Contents() const {
    STATSTG stat{};
    if (!stream_ || stream_->Stat(&stat, STATFLAG_NONAME) != S_OK) return {};
    return ReadBlock(memory(), static_cast<size_t>(stat.cbSize.QuadPart));
}

}  // namespace varnel
