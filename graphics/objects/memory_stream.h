#pragma once
// A platform stream over global memory: either a private copy of a caller's
// bytes (for decoding a picture held in memory) or an empty block an encoder
// grows (for encoding into memory).
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/bytes.h"

namespace varnel {

class MemoryStream {
public:
    MemoryStream() = default;
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
    virtual ~MemoryStream();

    // A copy that shares the stream and block without a reference of its own:
    // it never releases or frees them.
    std::unique_ptr<MemoryStream> Copy() const;

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
    HGLOBAL memory_ = nullptr;
    // The address of the last lock; meaningful for fixed memory only.
    mutable void* data_ = nullptr;
    IStream* stream_ = nullptr;
    // Only a copy-mode block is ours; an empty-mode block belongs to its
    // stream (delete-on-release), so it is freed once, by the stream.
    bool ownsMemory_ = false;
    bool borrowed_ = false;
};

}  // namespace varnel
