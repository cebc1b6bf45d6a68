#include "graphics/objects/global_stream.h"

#include <cstring>

namespace varnel {

bool OpenGlobalStream(const unsigned char* bytes, size_t n, bool copy, GlobalStream& out) {
    out = GlobalStream();
    HGLOBAL block = GlobalAlloc(copy ? GMEM_FIXED | GMEM_ZEROINIT : GMEM_MOVEABLE, copy ? n : 0);
    if (!block) return false;
    if (copy && n) {
        if (void* p = GlobalLock(block)) {
            std::memcpy(p, bytes, n);
            GlobalUnlock(block);
        }
    }
    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(block, copy ? FALSE : TRUE, &stream) != S_OK || !stream) {
        GlobalFree(block);
        return false;
    }
    if (copy) {
        // The block may be larger than asked for; the stream is exactly the bytes.
        ULARGE_INTEGER size;
        size.QuadPart = n;
        stream->SetSize(size);
    }
    out.memory = block;
    out.stream = stream;
    out.ownsMemory = copy;
    return true;
}

}  // namespace varnel
