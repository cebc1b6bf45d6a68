#include <doctest.h>

#include "platform/growing_stream.h"
#include "graphics/objects/memory_image.h"
#include "platform/handles.h"
#include "tests/objects/objects_helpers.h"
#include "tests/support/win_test.h"

using namespace varnel;

namespace {
const Bytes kPngSignature{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool StartsWith(const Bytes& bytes, const Bytes& prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}
}  // namespace

TEST_CASE("a picture decodes from bytes with its size") {
    MemoryImage image;
    CHECK(image.IsEmpty());
    REQUIRE(image.LoadFromBytes(test::MakePicture(7, 5, 0x336699, "jpeg")));
    CHECK_FALSE(image.IsEmpty());
    CHECK(image.GetImage() != nullptr);
    CHECK(image.GetWidth() == 7);
    CHECK(image.GetHeight() == 5);
    CHECK(image.GetStream() != nullptr);
    CHECK(image.GetBlockBytes() == test::MakePicture(7, 5, 0x336699, "jpeg"));

    // The second picture replaces the first with its own stream and block.
    REQUIRE(image.LoadFromBytes(test::MakePicture(3, 4, 0xFF0000, "png")));
    CHECK(image.GetWidth() == 3);
    CHECK(image.GetHeight() == 4);
    CHECK(StartsWith(image.GetBlockBytes(), kPngSignature));
}

TEST_CASE("bytes that are no picture leave the in-memory image empty") {
    MemoryImage image;
    REQUIRE(image.LoadFromBytes(test::MakePicture(2, 2, 0, "bmp")));
    CHECK_FALSE(image.LoadFromBytes(Bytes()));
    CHECK(image.IsEmpty());
    CHECK(image.GetWidth() == 0);
    CHECK(image.GetHeight() == 0);
    CHECK(image.GetStream() == nullptr);
    CHECK(image.GetBlockSize() == 0);
    CHECK_FALSE(image.LoadFromBytes(Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'}));
    CHECK(image.IsEmpty());
    Bytes png = test::MakePicture(40, 40, 0x00FF00, "png");
    png.resize(png.size() / 3);
    bool loaded = image.LoadFromBytes(png);
    // A truncated file may or may not decode; either way nothing breaks.
    CHECK(loaded == !image.IsEmpty());
    CHECK(image.EncodeToBytes(kFormatPng).empty() == image.IsEmpty());
}

TEST_CASE("blank bitmaps encode to each format") {
    MemoryImage image;
    CHECK_FALSE(image.CreateBitmap(0, 0));
    CHECK(image.IsEmpty());
    CHECK_FALSE(image.CreateBitmap(-3, 5));
    CHECK(image.EncodeToBytes(kFormatPng).empty());  // empty: no platform call

    REQUIRE(image.CreateBitmap(2, 2));
    CHECK(image.GetWidth() == 2);
    CHECK(image.GetStream() == nullptr);
    Bytes png = image.EncodeToBytes(kFormatPng);
    CHECK(StartsWith(png, kPngSignature));
    Bytes jpeg = image.EncodeToBytes(kFormatJpeg);
    CHECK(StartsWith(jpeg, Bytes{0xFF, 0xD8}));
    CHECK(StartsWith(image.EncodeToBytes(kFormatBmp), Bytes{'B', 'M'}));
    CHECK(StartsWith(image.EncodeToBytes(kFormatGif), Bytes{'G', 'I', 'F'}));
    Bytes tiff = image.EncodeToBytes(kFormatTiff);
    CHECK((StartsWith(tiff, Bytes{'I', 'I', 42, 0}) || StartsWith(tiff, Bytes{'M', 'M', 0, 42})));
    CHECK(image.EncodeToBytes(0).empty());
    CHECK(image.EncodeToBytes(6).empty());

    // The bytes are the whole file and nothing after it.
    CHECK(png.size() >= 12);
    CHECK(Bytes(png.end() - 8, png.end()) == Bytes{'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82});
    CHECK(Bytes(jpeg.end() - 2, jpeg.end()) == Bytes{0xFF, 0xD9});
    test::Decoded decoded = test::Decode(png);
    CHECK(decoded.width == 2);
    CHECK(decoded.height == 2);
}

TEST_CASE("encoded bytes are the file the same encoder writes") {
    MemoryImage image;
    REQUIRE(image.LoadFromBytes(test::MakePicture(33, 21, 0x123456, "bmp")));
    Bytes png = image.EncodeToBytes(kFormatPng);
    test::TempFolder folder;
    std::string path = folder.File("same.png");
    CLSID encoder;
    CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &encoder);
    std::wstring widePath(path.begin(), path.end());
    REQUIRE(Gdiplus::DllExports::GdipSaveImageToFile(image.GetImage(), widePath.c_str(), &encoder, nullptr) ==
            Gdiplus::Ok);
    CHECK(png == test::ReadWholeFile(path));
    test::Decoded decoded = test::Decode(png);
    CHECK(decoded.width == 33);
    CHECK(decoded.height == 21);
    CHECK((decoded.pixel & 0xFFFFFF) == 0x123456);
}

TEST_CASE("drawing an in-memory image, with or without a background") {
    MemoryImage image;
    REQUIRE(image.LoadFromBytes(test::MakePicture(4, 4, 0x0000FF, "bmp")));
    WindowDc screen(nullptr);
    MemoryDc dc(CreateCompatibleDC(screen.get()));
    Bitmap bitmap(CreateCompatibleBitmap(screen.get(), 20, 20));
    SelectScope select(dc.get(), bitmap.get());
    RECT all{0, 0, 20, 20};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    image.DrawTo(dc.get(), 2, 2, 8, 8);
    CHECK(GetPixel(dc.get(), 5, 5) == RGB(0, 0, 255));
    CHECK(GetPixel(dc.get(), 15, 15) == RGB(255, 255, 255));
    image.Clear();
    image.DrawTo(dc.get(), 0, 0, 4, 4, RGB(0, 255, 0));
    CHECK(GetPixel(dc.get(), 1, 1) == RGB(0, 255, 0));
    image.DrawTo(dc.get(), 10, 0, 4, 4, CLR_INVALID);
    CHECK(GetPixel(dc.get(), 11, 1) == RGB(255, 255, 255));
}

TEST_CASE("the in-memory image's helpers") {
    MemoryImage image;
    CHECK(image.ToWideBytes("abc").size() == 8);
    int value = 0;
    void* slot = &value;
    CHECK(image.ReadPointer(&slot) == &value);
    CHECK(image.ReadPointer(nullptr) == nullptr);

    // The empty mode: a growable stream owning its block.
    IStream* stream = image.OpenStream(Bytes(), false);
    REQUIRE(stream != nullptr);
    ULONG written = 0;
    stream->Write("xyz", 3, &written);
    CHECK(image.GetBlockSize() >= 3);
    stream->AddRef();
    image.Clear();
    CHECK(image.GetStream() == nullptr);
    CHECK(stream->Release() == 0);  // the image gave its reference back

    // The encoders' stream is a counted object that its last release deletes.
    ComPtr<GrowingStream> output;
    REQUIRE(GrowingStream::Create(output));
    IStream* counted = output.get();
    counted->AddRef();
    output.reset();
    CHECK(counted->Release() == 0);
    CHECK(HeapValidate(GetProcessHeap(), 0, nullptr));
}

TEST_CASE("a view of an in-memory image frees nothing of its source") {
    MemoryImage image;
    REQUIRE(image.LoadFromBytes(test::MakePicture(6, 6, 0xABCDEF, "png")));
    {
        auto view = image.View();
        CHECK(view->GetImage() == image.GetImage());
        CHECK(view->GetWidth() == 6);
        CHECK(view->GetStream() == image.GetStream());
    }
    CHECK(test::Decode(image.EncodeToBytes(kFormatPng)).width == 6);
}
