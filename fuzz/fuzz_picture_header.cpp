// Untrusted bytes as a picture file's headers: the reader of the claimed size
// must never read outside the buffer, and what it claims stays in range.
#include <cstdint>
#include <cstdlib>

#include "platform/picture_header.h"

using namespace varnel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ClaimedSize claim = ReadClaimedSize(data, size);
    if (claim.width < 0 || claim.height < 0 || claim.width > (1LL << 31) || claim.height > (1LL << 31)) abort();
    if (!claim.known && (claim.width || claim.height)) abort();
    (void)ClaimFitsLimit(data, size);
    return 0;
}
