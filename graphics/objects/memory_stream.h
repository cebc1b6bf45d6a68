#pragma once
// A platform stream over global memory: either a private copy of a caller's
// bytes (for decoding a picture held in memory) or an empty block an encoder
// grows (for encoding into memory).
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <optional>

#include "graphics/objects/global_stream.h"
#include "platform/bytes.h"
#include "platform/handles.h"

namespace varnel {

class MemoryStreamView;

class MemoryStream {
public:
    MemoryStream() = default;
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
    virtual ~MemoryStream() = default;

    // count, when given, is limited to the array's length.
    virtual IStream* Open(const Bytes& bytes, bool copy, std::optional<uint32_t> count = std::nullopt);
    virtual void Close();
    virtual uint32_t GetBlockSize() const;
    virtual IStream* GetStream() const;
    virtual HGLOBAL GetMemory() const;
    // On success the object takes over the caller's reference on stream; on
    // failure the caller keeps it.
    virtual bool Attach(IStream* stream);
    // The stream's contents: exactly what was written, not the whole block.
    virtual Bytes GetBytes() const;

private:
    GlobalStream stream_;
};

// A view of what a MemoryStream has open: it holds a reference of its own on
// the stream, so the block stays readable, and never closes the owner's.
class MemoryStreamView {
public:
    explicit MemoryStreamView(const MemoryStream& source);
    MemoryStreamView(const MemoryStreamView&) = delete;
    MemoryStreamView& operator=(const MemoryStreamView&) = delete;

    IStream* GetStream() const { return stream_.get(); }
    HGLOBAL GetMemory() const;

private:
    ComPtr<IStream> stream_;
};

}  // namespace varnel
