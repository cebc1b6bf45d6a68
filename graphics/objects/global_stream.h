#pragma once
// A stream over global memory in the two ways the in-memory classes use it.
#include <windows.h>
#include <objidl.h>

#include <cstddef>

namespace varnel {

struct GlobalStream {
    HGLOBAL memory = nullptr;
    IStream* stream = nullptr;
    bool ownsMemory = false;  // false: the block belongs to its stream
};

// Copy mode: a fixed block of the caller's holding a copy of the n bytes, and
// a stream over it sized to exactly those bytes. Empty mode: a growable block
// that the stream frees when it is released. False when either could not be
// made; nothing is then left to free.
bool OpenGlobalStream(const unsigned char* bytes, size_t n, bool copy, GlobalStream& out);

}  // namespace varnel
