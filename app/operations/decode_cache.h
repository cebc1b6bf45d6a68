#pragma once
// Decoding picture files once: the last decode is remembered with the bytes
// it came from, and the next file of a run can be decoded ahead on a worker
// thread while the current one is still being worked on.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "platform/bmp_image.h"
#include "platform/bytes.h"
#include "platform/cores.h"
#include "platform/handles.h"

namespace varnel {

// A picture decoded ahead is held beside the one being worked on: a larger
// one waits for its turn, so that a run holds one such picture at a time.
constexpr long long kDecodeAheadPixels = 8LL * 1000 * 1000;

// Work to do on the worker with the picture it decoded, which it owns, the
// file's bytes it decoded it from, and that picture as a 24-bit BMP file image.
using AfterDecodeAhead = std::function<void(Gdiplus::GpBitmap* picture, const Bytes& input, const Bytes& bmp)>;

class DecodeCache {
public:
    DecodeCache() = default;
    DecodeCache(const DecodeCache&) = delete;
    DecodeCache& operator=(const DecodeCache&) = delete;
    // Waits for a worker still running: it writes into this object.
    ~DecodeCache();

    // A decode and what it was made from. The picture may be made over the
    // output's pixels: it is declared after it, so that it goes first.
    struct Decoded {
        Bytes input;
        Bytes output;
        BitmapOwner picture;
        void Take(Decoded& other);
        void Clear();
    };

    // DecodePictureToBmp24, remembering the last bytes decoded this way with
    // their picture: showing a file decodes it once, however often its bytes
    // come back.
    // The result stays valid until the next call.
    const Bytes& DecodeToBmp24(const Bytes& fileBytes);

    // A copy of the picture decoded from exactly these bytes when they are
    // the ones last decoded here, for the caller to own; null otherwise.
    Gdiplus::GpImage* CloneRemembered(const Bytes& fileBytes) const;

    // Hands the picture decoded from exactly these bytes, with its BMP form,
    // over to `into` for the caller to draw on, and forgets it; false, and
    // `into` empty, when these bytes are not the ones last decoded here.
    bool TakeRemembered(const Bytes& fileBytes, Decoded& into);

    // Starts reading and decoding the file at `path` on a worker thread,
    // then runs `then` there when the file was a picture. The decode is
    // taken up only by a DecodeToBmp24 of exactly the bytes the worker read.
    // One file at a time: a new start first waits for the one before and
    // drops its result.
    void DecodeAhead(const std::string& path, AfterDecodeAhead then = nullptr);
    // The same for a picture's bytes already at hand.
    void DecodeAhead(Bytes content);

    // Returns once no worker runs; what `then` left may then be read.
    void WaitForWorker();

    // The cores the worker's work may take: one while this thread works
    // beside it, both once this thread waits for it.
    CoreShare WorkerCores() const { return CoreShare(awaited_); }

private:
    static DWORD WINAPI Work(void* self);
    void StartAhead(const std::string& path, Bytes content, AfterDecodeAhead then);
    void DropAhead();

    Decoded remembered_;
    const Bytes none_;
    // The worker reads `aheadPath_` (none: the bytes are in `ahead_`
    // already) and `then_` and writes `ahead_`; this thread writes them, and
    // reads `ahead_`, only while no worker runs.
    bool aheadStarted_ = false;
    std::string aheadPath_;
    AfterDecodeAhead then_;
    Decoded ahead_;
    KernelHandle worker_;
    // Set by this thread as it starts waiting for the worker, cleared before
    // a worker starts; the worker reads it as its work goes on.
    std::atomic<bool> awaited_{false};
};

}  // namespace varnel
