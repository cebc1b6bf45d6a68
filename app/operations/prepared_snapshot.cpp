#include "app/operations/prepared_snapshot.h"

#include <algorithm>

#include "platform/bmp_format.h"
#include "platform/remembered_decode.h"

namespace varnel {

namespace {

// Written by the user-interface thread before the worker starts, filled in
// by the worker, read back only once the worker has ended.
struct PreparedSnapshot {
    std::string path;
    int backingWidth = 0;
    int backingHeight = 0;
    COLORREF fill = 0;
    Bytes picture;
    int width = 0;
    int height = 0;
    Bytes pixels;
};

// Never destroyed: the worker may still be writing while the process ends.
PreparedSnapshot& Prepared() {
    static PreparedSnapshot& prepared = *new PreparedSnapshot;
    return prepared;
}

}  // namespace

void PrepareSnapshotAhead(const std::string& path, const DrawPanel& panel) {
    PreparedSnapshot& prepared = Prepared();
    WaitForDecodeAhead();
    prepared = PreparedSnapshot();
    RECT client{};
    GetClientRect(panel.Handle(), &client);
    prepared.path = path;
    prepared.backingWidth = std::max<int>(client.right, 1);
    prepared.backingHeight = std::max<int>(client.bottom, 1);
    prepared.fill = GetSysColor(COLOR_BTNFACE);
    DecodePictureAhead(path, [&prepared](Gdiplus::GpBitmap*, const Bytes& bmp) {
        BmpHeader header;
        if (!ReadBmpHeader(bmp, header)) return;
        prepared.pixels = DrawPanel::SnapshotOfPicture(bmp, prepared.backingWidth, prepared.backingHeight,
                                                       prepared.fill, header.width, header.height);
        prepared.picture = bmp;
        prepared.width = header.width;
        prepared.height = header.height;
    });
}

void OfferPreparedSnapshot(const std::string& path, DrawPanel& panel) {
    PreparedSnapshot& prepared = Prepared();
    if (prepared.path.empty() || prepared.path != path) return;
    WaitForDecodeAhead();
    panel.OfferSnapshot(prepared.picture, prepared.backingWidth, prepared.backingHeight, prepared.fill,
                        prepared.width, prepared.height, std::move(prepared.pixels));
    prepared = PreparedSnapshot();
}

}  // namespace varnel
