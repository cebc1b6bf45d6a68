#pragma once
// The one owner of a stream over global memory, for the in-memory picture and
// the memory stream. The block always belongs to its stream (delete-on-
// release): it goes exactly once, with the last reference on the stream, even
// when a decoded picture still holds one of its own.
#include <windows.h>
#include <objidl.h>

#include <cstddef>

#include "platform/bytes.h"

namespace varnel {

class GlobalStream {
public:
    GlobalStream() = default;
    GlobalStream(const GlobalStream&) = delete;
    GlobalStream& operator=(const GlobalStream&) = delete;
    ~GlobalStream() { Close(); }

    // A stream over a private copy of the n bytes, sized to exactly them.
    // Each open closes what was open first; false leaves nothing open.
    bool OpenCopy(const unsigned char* bytes, size_t n);
    // An empty stream whose block grows with every write.
    bool OpenEmpty();
    // Takes over the caller's reference on a stream over global memory; any
    // other stream is refused and the caller keeps its reference.
    bool Attach(IStream* stream);
    // Lets go of the reference: the block goes with the stream's last one.
    void Close();

    IStream* stream() const { return stream_; }
    // The block as it is now (a write may move it); null when nothing is open.
    HGLOBAL memory() const;
    size_t BlockSize() const;
    // The whole block, which may be longer than what was written.
    Bytes BlockBytes() const;
    // Exactly what the stream holds.
    Bytes Contents() const;

private:
    // Hands the block to a new stream; frees it when none can be made.
    bool Adopt(HGLOBAL block);

    IStream* stream_ = nullptr;
};

}  // namespace varnel
