// The program's own JPEG decoder gives the imaging service's pixels, byte
// for byte, for every JPEG it takes, and declines the kinds it does not read.
#include <doctest.h>

#include <shlwapi.h>

#include <string>

#include "platform/bmp_image.h"
#include "platform/file_services.h"
#include "platform/handles.h"
#include "platform/jpeg_decoder.h"

using namespace varnel;

namespace {

// The imaging service's own decode, as the program used it before it had a decoder.
Gdiplus::GpBitmap* ServiceDecode(const Bytes& jpeg) {
    ComPtr<IStream> stream;
    *stream.put() = SHCreateMemStream(jpeg.data(), static_cast<UINT>(jpeg.size()));
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (!stream || Gdiplus::DllExports::GdipCreateBitmapFromStream(stream.get(), &bitmap) != Gdiplus::Ok) return {};
    return bitmap;
}

float Resolution(Gdiplus::GpBitmap* picture) {
    float dpi = 0;
    Gdiplus::DllExports::GdipGetImageHorizontalResolution(picture, &dpi);
    return dpi;
}

std::string Samples() {
    std::string path = "Z:";
    for (char c : std::string(VARNEL_SOURCE_DIR)) path += c == '/' ? '\\' : c;
    return path + "\\tests\\platform\\jpeg-samples\\";
}

}  // namespace

TEST_CASE("the own JPEG decoder gives the imaging service's pixels and declines what it does not read") {
    // Full, half-across and half-both-ways colour, grey, restart markers,
    // sizes that end inside a block, a block of extreme contrast, resolutions
    // per inch and per centimetre.
    const char* taken[] = {"s420.jpg", "s422.jpg", "s444.jpg", "s440.jpg", "g.jpg", "rst2.jpg", "rst3.jpg", "odd.jpg",
                           "odd420.jpg", "small420.jpg", "small422.jpg", "tiny.jpg", "checker.jpg", "opt.jpg", "dpi300.jpg", "dpcm.jpg"};
    for (const char* name : taken) {
        const std::string file = name;
        CAPTURE(file);
        const Bytes jpeg = ReadWholeFile(Samples() + name);
        int width = 0, height = 0;
        REQUIRE(ReadDecodableJpeg(jpeg, width, height));
        BitmapOwner own(DecodeBitmap(jpeg)), service(ServiceDecode(jpeg));
        REQUIRE(own.bitmap);
        CHECK(Resolution(own.bitmap) == Resolution(service.bitmap));
        const Bytes ownPixels = BitmapToBmp24(own.bitmap), servicePixels = BitmapToBmp24(service.bitmap);
        REQUIRE(ownPixels.size() == servicePixels.size());
        size_t differing = 0;
        for (size_t i = 0; i < ownPixels.size(); ++i) differing += ownPixels[i] != servicePixels[i];
        CHECK(differing == 0);
    }
    const std::string corpus = Samples() + "..\\..\\robustness\\corpus\\";
    for (const char* name : {"jpeg-progressive.jpg", "jpeg-arithmetic.jpg", "jpeg-cmyk.jpg", "jpeg-12bit.jpg"}) {
        int width = 0, height = 0;
        CHECK_FALSE(ReadDecodableJpeg(ReadWholeFile(corpus + name), width, height));
    }
    // Damage past the headers is found while decoding.
    for (const char* name : {"jpeg-truncated-half.jpg", "jpeg-bad-huffman.jpg"}) {
        Bytes rows(48 * 32 * 3);
        CHECK_FALSE(DecodeJpeg(ReadWholeFile(corpus + name), rows.data(), 48 * 3));
    }
}
