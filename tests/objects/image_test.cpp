#include <doctest.h>

#include "graphics/objects/image.h"
#include "tests/objects/objects_helpers.h"
#include "tests/support/win_test.h"

using namespace varnel;

namespace {
const std::string kJpegFormat = "{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}";
const std::string kPngFormat = "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}";
const std::string kGifFormat = "{B96B3CB0-0728-11D3-9D7B-0000F81EF32E}";
const std::string kBmpFormat = "{B96B3CAB-0728-11D3-9D7B-0000F81EF32E}";
const std::string kTimeDimension = "{6AEDBD6D-3FB5-418A-83A6-7F45229DC872}";
const std::string kQuality = "{1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}";

std::string FormatOf(const Bytes& bytes) { return GuidToText(test::Decode(bytes).format); }

const std::string kTiffFormat = "{B96B3CB1-0728-11D3-9D7B-0000F81EF32E}";
const std::string kSaveFlag = "{292266FC-AC40-47BF-8CFC-A85B89A655DE}";

// One parameter of one 32-bit value.
EncoderParameterList LongParameter(const std::string& guid, uint32_t value) {
    EncoderParameter parameter;
    parameter.guid = guid;
    parameter.numberOfValues = 1;
    parameter.type = Gdiplus::EncoderParameterValueTypeLong;
    parameter.value.resize(4);
    memcpy(parameter.value.data(), &value, 4);
    EncoderParameterList list;
    list.parameters.push_back(parameter);
    return list;
}
EncoderParameterList Quality(uint32_t quality) { return LongParameter(kQuality, quality); }

// A picture with detail, so that encoder settings show in the size.
Bytes NoisyPicture(int width, int height) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    Gdiplus::DllExports::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat24bppRGB, nullptr, &bitmap);
    unsigned seed = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            Gdiplus::DllExports::GdipBitmapSetPixel(bitmap, x, y, 0xFF000000u | (seed >> 8));
        }
    Image image;
    image.SetNativeHandle(bitmap);
    return image.SaveToBytes(kBmpFormat);
}
}  // namespace

TEST_CASE("an image round-trips through bytes in the format it was loaded in") {
    Image image;
    Bytes jpeg = test::MakePicture(12, 9, 0x4080C0, "jpeg");
    REQUIRE(image.LoadFromBytes(jpeg));
    CHECK(image.GetWidth() == 12);
    CHECK(image.GetHeight() == 9);
    CHECK(image.GetRawFormat() == kJpegFormat);
    CHECK(image.Stream().GetBytes() == jpeg);

    Bytes again = image.SaveToBytes();
    CHECK(FormatOf(again) == kJpegFormat);
    CHECK(test::Decode(again).width == 12);
    Bytes png = image.SaveToBytes(kPngFormat);
    CHECK(FormatOf(png) == kPngFormat);
    CHECK(test::Decode(png).height == 9);

    REQUIRE(image.LoadFromBytes(png));
    CHECK(image.GetRawFormat() == kPngFormat);
    // PNG is lossless: the colour survives exactly.
    CHECK(test::Decode(image.SaveToBytes()).pixel == test::Decode(png).pixel);
}

TEST_CASE("saved bytes are exactly the file the same encoder writes") {
    Image image;
    REQUIRE(image.LoadFromBytes(NoisyPicture(40, 30)));
    test::TempFolder folder;
    const std::string tiff = "{B96B3CB1-0728-11D3-9D7B-0000F81EF32E}";
    for (const std::string& format : {kPngFormat, kJpegFormat, kBmpFormat, tiff}) {
        std::string path = folder.File("same");
        REQUIRE(image.SaveToFile(path, format));
        Bytes file = test::ReadWholeFile(path);
        Bytes bytes = image.SaveToBytes(format);
        CHECK(bytes.size() == file.size());
        CHECK(bytes == file);
        test::Decoded decoded = test::Decode(bytes);
        CHECK(decoded.width == 40);
        CHECK(decoded.height == 30);
        CHECK(GuidToText(decoded.format) == format);
    }
}

TEST_CASE("an image loaded from a file saves in its own format") {
    test::TempFolder folder;
    std::string source = folder.File("source.jpg");
    REQUIRE(test::WriteWholeFile(source, test::MakePicture(10, 6, 0x808080, "jpeg")));
    Image image;
    REQUIRE(image.LoadFromFile(source));
    CHECK(image.GetRawFormat() == kJpegFormat);
    std::string copy = folder.File("copy.bin");
    REQUIRE(image.SaveToFile(copy));
    Bytes written = test::ReadWholeFile(copy);
    CHECK(FormatOf(written) == kJpegFormat);
    CHECK(test::Decode(written).width == 10);
    REQUIRE(image.LoadFromBytes(test::ReadWholeFile(source), true));
    CHECK(image.GetHeight() == 6);
}

TEST_CASE("loading again gives back the previous picture and its source") {
    test::TempFolder folder;
    std::string first = folder.File("first.png");
    std::string second = folder.File("second.png");
    REQUIRE(test::WriteWholeFile(first, test::MakePicture(3, 3, 0xFF0000, "png")));
    REQUIRE(test::WriteWholeFile(second, test::MakePicture(5, 5, 0x00FF00, "png")));
    Image image;
    REQUIRE(image.LoadFromFile(first));
    // The imaging service keeps a loaded file open.
    CHECK_FALSE(DeleteFileA(first.c_str()));
    REQUIRE(image.LoadFromFile(second));
    CHECK(DeleteFileA(first.c_str()));
    CHECK(image.Dispose());
    CHECK(DeleteFileA(second.c_str()));

    REQUIRE(image.LoadFromBytes(test::MakePicture(2, 2, 0, "bmp")));
    HGLOBAL firstBlock = image.Stream().GetMemory();
    CHECK(firstBlock != nullptr);
    REQUIRE(image.LoadFromBytes(test::MakePicture(4, 4, 0, "gif")));
    CHECK(image.Stream().GetBytes() == test::MakePicture(4, 4, 0, "gif"));
    CHECK(image.Dispose());
    CHECK(image.Stream().GetMemory() == nullptr);
}

TEST_CASE("an image that cannot load stays empty") {
    Image image;
    lastStatus = 99;
    CHECK_FALSE(image.Dispose());
    CHECK(lastStatus == 99);
    CHECK_FALSE(image.LoadFromFile("Z:\\no\\such\\picture.png"));
    CHECK(image.GetNativeHandle() == nullptr);
    Bytes cut = test::MakePicture(30, 30, 0x00FF00, "png");
    cut.resize(20);
    for (const Bytes& bad : {Bytes(), cut, Bytes(100, 0xFF)}) {
        CHECK_FALSE(image.LoadFromBytes(bad));
        CHECK(lastStatus != Gdiplus::Ok);
        CHECK(image.GetNativeHandle() == nullptr);
        CHECK(image.Stream().GetMemory() == nullptr);
    }
    CHECK(image.SaveToBytes(kPngFormat).empty());
}

TEST_CASE("saving in a format without an encoder fails and writes nothing") {
    Image image;
    REQUIRE(image.LoadFromBytes(test::MakePicture(2, 2, 0, "png")));
    test::TempFolder folder;
    std::string path = folder.File("nothing.bin");
    const std::string unknown = "{01234567-89AB-CDEF-0123-456789ABCDEF}";
    CHECK(EncoderClsidText(unknown).empty());
    CHECK_FALSE(image.SaveToFile(path, unknown));
    CHECK(lastStatus != Gdiplus::Ok);
    CHECK(GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES);
    CHECK(image.SaveToBytes(unknown).empty());
    // The in-memory form has no encoder either.
    REQUIRE(image.LoadFromBytes(test::MakePicture(2, 2, 0, "bmp")));
    Image copy;
    REQUIRE(image.CloneInto(copy));
    CHECK(copy.GetWidth() == 2);
}

TEST_CASE("encoder parameters reach the encoder") {
    Image image;
    REQUIRE(image.LoadFromBytes(NoisyPicture(64, 64)));
    // Wine's encoders ignore the quality, but every imaging service honours
    // a multi-frame save: it keeps the encoder open for pages added later,
    // which a save without the parameter does not.
    const EncoderParameterList multiFrame = LongParameter(kSaveFlag, Gdiplus::EncoderValueMultiFrame);
    const EncoderParameterList flush = LongParameter(kSaveFlag, Gdiplus::EncoderValueFlush);
    REQUIRE_FALSE(image.SaveToBytes(kTiffFormat).empty());
    CHECK_FALSE(image.SaveAdd(flush));
    REQUIRE_FALSE(image.SaveToBytes(kTiffFormat, &multiFrame).empty());
    CHECK(image.SaveAdd(flush));
    test::TempFolder folder;
    REQUIRE(image.SaveToFile(folder.File("pages.tif"), kTiffFormat, &multiFrame));
    CHECK(image.SaveAdd(flush));

    // A value shorter than its count and type say is refused before the
    // encoder could read past it.
    EncoderParameterList shortValue = Quality(50);
    shortValue.parameters[0].numberOfValues = 4;
    CHECK(image.SaveToBytes(kJpegFormat, &shortValue).empty());
    CHECK(lastStatus == kInvalidParameter);
    CHECK_FALSE(image.SaveToFile(folder.File("short.jpg"), kJpegFormat, &shortValue));
    EncoderParameterList unknownType = Quality(50);
    unknownType.parameters[0].type = 42;
    CHECK(image.SaveToBytes(kJpegFormat, &unknownType).empty());
}

TEST_CASE("encoder parameter lists read each value at the size its type gives") {
    Image image;
    REQUIRE(image.LoadFromBytes(test::MakePicture(8, 8, 0x102030, "jpeg")));
    EncoderParameterList list;
    if (image.GetEncoderParameterList(kJpegFormat, list)) {
        CHECK_FALSE(list.parameters.empty());
        for (const EncoderParameter& p : list.parameters)
            CHECK(p.value.size() == p.numberOfValues * EncoderValueSize(p.type));
    } else {
        // Wine's imaging service has no parameter lists.
        CHECK(lastStatus == Gdiplus::NotImplemented);
        CHECK(list.parameters.empty());
    }

    // The same reading on a block laid out as the platform lays it out.
    std::vector<Bytes> values;
    EncoderParameterList all;
    for (uint32_t type = 1; type <= 8; ++type) {
        EncoderParameter p;
        p.guid = kQuality;
        p.numberOfValues = 3;
        p.type = type;
        p.value.assign(3 * EncoderValueSize(type), static_cast<unsigned char>(type));
        all.parameters.push_back(p);
    }
    EncoderParameterBlock block(all);
    REQUIRE(block.Valid());
    size_t size = offsetof(Gdiplus::EncoderParameters, Parameter) + 8 * sizeof(Gdiplus::EncoderParameter);
    EncoderParameterList read;
    REQUIRE(ReadEncoderParameterBlock(block.Get(), size, read));
    REQUIRE(read.parameters.size() == 8);
    const uint32_t expected[] = {1, 1, 2, 4, 8, 8, 1, 16};
    for (uint32_t i = 0; i < 8; ++i) {
        CHECK(read.parameters[i].type == i + 1);
        CHECK(read.parameters[i].guid == kQuality);
        CHECK(read.parameters[i].value.size() == 3 * expected[i]);
        CHECK(read.parameters[i].value == all.parameters[i].value);
    }
    // A count larger than the block is refused.
    CHECK_FALSE(ReadEncoderParameterBlock(block.Get(), size - 1, read));
}

TEST_CASE("the frames of an animated picture and their delays") {
    Image image;
    REQUIRE(image.LoadFromBytes(test::MakeAnimatedGif({0xFF0000, 0x00FF00, 0x0000FF}, {10, 20, 30})));
    CHECK(image.GetRawFormat() == kGifFormat);
    std::vector<std::string> dimensions;
    REQUIRE(image.GetFrameDimensions(dimensions) == 1);
    CHECK(dimensions[0] == kTimeDimension);
    CHECK(image.GetFrameCount(kTimeDimension) == 3);
    std::vector<int32_t> delays;
    REQUIRE(image.GetFrameDelays(delays));
    CHECK(delays == std::vector<int32_t>{10, 20, 30});
    unsigned seen[3] = {};
    for (uint32_t frame = 0; frame < 3; ++frame) {
        REQUIRE(image.SelectActiveFrame(kTimeDimension, frame));
        seen[frame] = test::Decode(image.SaveToBytes(kPngFormat)).pixel & 0xFFFFFF;
    }
    CHECK(seen[0] == 0xFF0000);
    CHECK(seen[1] == 0x00FF00);
    CHECK(seen[2] == 0x0000FF);

    Image still;
    REQUIRE(still.LoadFromBytes(test::MakePicture(2, 2, 0, "png")));
    CHECK_FALSE(still.GetFrameDelays(delays));
}

TEST_CASE("frames added to a multi-page file") {
    const std::string& tiff = kTiffFormat;
    const std::string page = "{7462DC86-6180-4C7E-8E3F-EE7333A7A483}";
    auto saveFlag = [](uint32_t value) { return LongParameter(kSaveFlag, value); };
    test::TempFolder folder;
    std::string path = folder.File("pages.tif");
    Image first, second, third;
    REQUIRE(first.LoadFromBytes(test::MakePicture(4, 4, 0xFF0000, "bmp")));
    REQUIRE(second.LoadFromBytes(test::MakePicture(4, 4, 0x00FF00, "bmp")));
    REQUIRE(third.LoadFromBytes(test::MakePicture(4, 4, 0x0000FF, "bmp")));
    EncoderParameterList multiFrame = saveFlag(Gdiplus::EncoderValueMultiFrame);
    REQUIRE(first.SaveToFile(path, tiff, &multiFrame));
    REQUIRE(first.SaveAddImage(second, saveFlag(Gdiplus::EncoderValueFrameDimensionPage)));
    REQUIRE(first.SaveAddImage(third, saveFlag(Gdiplus::EncoderValueFrameDimensionPage)));
    REQUIRE(first.SaveAdd(saveFlag(Gdiplus::EncoderValueFlush)));
    Image pages;
    REQUIRE(pages.LoadFromFile(path));
    CHECK(pages.GetFrameCount(page) == 3);
}

TEST_CASE("rotating and thumbnails") {
    Image image;
    REQUIRE(image.LoadFromBytes(test::MakePicture(16, 8, 0, "png")));
    int32_t unit = -1;
    CHECK(image.GetBounds(unit).Width == 16.0f);
    CHECK(unit == Gdiplus::UnitPixel);
    REQUIRE(image.RotateFlip(Gdiplus::Rotate90FlipNone));
    CHECK(image.GetWidth() == 8);
    CHECK(image.GetHeight() == 16);

    Image thumbnail;
    REQUIRE(thumbnail.LoadFromBytes(test::MakePicture(2, 2, 0, "bmp")));
    REQUIRE(image.GetThumbnailInto(4, 6, thumbnail));
    CHECK(thumbnail.GetWidth() == 4);
    CHECK(thumbnail.GetHeight() == 6);
    // The thumbnail is its own picture: it outlives its source.
    image.Dispose();
    CHECK(test::Decode(thumbnail.SaveToBytes(kPngFormat)).width == 4);

    Image empty;
    CHECK(empty.GetWidth() == 0);
    CHECK(lastStatus != Gdiplus::Ok);
}

// Wine keeps no item it is given and removes none, so only reading and the
// refusal of a bad item are pinned down.
TEST_CASE("property items are read, and an item longer than its value is refused") {
    Image image;
    REQUIRE(image.LoadFromBytes(test::MakeAnimatedGif({0xFF0000, 0x00FF00}, {7, 9})));
    std::vector<uint32_t> ids;
    REQUIRE(image.GetPropertyIdList(ids) >= 2);
    CHECK(std::find(ids.begin(), ids.end(), kFrameDelayProperty) != ids.end());
    PropertyItemRecord delays;
    REQUIRE(image.GetPropertyItem(kFrameDelayProperty, delays));
    CHECK(delays.id == kFrameDelayProperty);
    CHECK(delays.type == 4u);  // long
    CHECK(delays.length == 8u);
    CHECK(delays.value == Bytes{7, 0, 0, 0, 9, 0, 0, 0});
    PropertyItemRecord loops;
    REQUIRE(image.GetPropertyItem(0x5101, loops));  // loop count
    CHECK(loops.type == 3u);                          // short
    CHECK(loops.value.size() == 2);
    PropertyItemRecord missing;
    CHECK_FALSE(image.GetPropertyItem(0x9999, missing));
    CHECK(lastStatus != Gdiplus::Ok);

    const char text[] = "Varnel";
    PropertyItemRecord item;
    item.id = 0x010E;  // image description
    item.type = 2;     // ASCII
    item.length = sizeof(text);
    item.value.assign(text, text + sizeof(text));
    CHECK(image.SetPropertyItem(item));
    // A length beyond the value would make the platform read past it.
    item.length = 1000;
    CHECK_FALSE(image.SetPropertyItem(item));
    CHECK(lastStatus == kInvalidParameter);
}

TEST_CASE("palettes of indexed pictures") {
    Gdiplus::GpBitmap* bitmap = nullptr;
    REQUIRE(Gdiplus::DllExports::GdipCreateBitmapFromScan0(4, 4, 0, PixelFormat8bppIndexed, nullptr, &bitmap) ==
            Gdiplus::Ok);
    Image image;
    image.SetNativeHandle(bitmap);  // the image owns it now
    PaletteRecord palette;
    palette.flags = 0;
    palette.count = 3;
    palette.entries = {0xFF112233u, 0xFF445566u, 0x80778899u};
    REQUIRE(image.SetPalette(palette));
    PaletteRecord read;
    REQUIRE(image.GetPalette(read));
    CHECK(read.count == 3);
    CHECK(read.entries == palette.entries);
    palette.count = 10;  // more than it holds
    CHECK_FALSE(image.SetPalette(palette));
    CHECK(lastStatus == kInvalidParameter);
}
