#include <doctest.h>

#include "app/operations/splitting.h"
#include "app/shell/commands.h"
#include "platform/bmp_image.h"
#include "platform/file_services.h"
#include "platform/picture_codec.h"
#include "platform/gdiplus_flat.h"
#include "platform/resource_data.h"
#include "resources/resource_ids.h"
#include "tests/shell/shell_fixture.h"

using namespace varnel;
using namespace ui;

namespace {
const unsigned kCellColours[8] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000};

// A PNG whose cells each have their own colour, numbered row by row.
Bytes GridPicture(int cols, int rows, int cellWidth, int cellHeight) {
    using namespace Gdiplus::DllExports;
    Gdiplus::GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromScan0(cols * cellWidth, rows * cellHeight, 0, PixelFormat24bppRGB, nullptr, &bitmap);
    Gdiplus::GpGraphics* graphics = nullptr;
    GdipGetImageGraphicsContext(bitmap, &graphics);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            Gdiplus::GpSolidFill* brush = nullptr;
            GdipCreateSolidFill(0xFF000000u | kCellColours[(r * cols + c) % 8], &brush);
            GdipFillRectangleI(graphics, brush, c * cellWidth, r * cellHeight, cellWidth, cellHeight);
            GdipDeleteBrush(brush);
        }
    }
    GdipDeleteGraphics(graphics);
    CLSID png;
    CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &png);
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    GdipSaveImageToStream(bitmap, stream, &png, nullptr);
    GdipDisposeImage(bitmap);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    HGLOBAL block = nullptr;
    GetHGlobalFromStream(stream, &block);
    auto* p = static_cast<unsigned char*>(GlobalLock(block));
    Bytes bytes(p, p + stat.cbSize.QuadPart);
    GlobalUnlock(block);
    stream->Release();
    return bytes;
}

bool IsPng(const Bytes& b) { return FormatOfBytes(b) == PictureFormat::Png; }
bool IsJpeg(const Bytes& b) { return FormatOfBytes(b) == PictureFormat::Jpeg; }

// JPEG keeps a solid colour to within a few steps.
bool Near(unsigned a, unsigned b) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 6) return false;
    }
    return true;
}

BmpHeader SizeOf(const Bytes& picture, Bytes* bmp = nullptr) {
    Bytes decoded = DecodePictureToBmp24(picture);
    BmpHeader header;
    ReadBmpHeader(decoded, header);
    if (bmp) *bmp = decoded;
    return header;
}
}  // namespace

TEST_CASE("a picture is cut in halves across its longer side") {
    std::vector<Bytes> pieces;
    SUBCASE("wider than high: left and right") {
        REQUIRE(CutPicture(test::MakePicture(1000, 600, 0x336699, "png"), pieces, 2, CutDirection::SideBySide, PictureFormat::Png));
        CHECK(SizeOf(pieces[0]).width == 500);
        CHECK(SizeOf(pieces[1]).height == 600);
    }
    SUBCASE("an odd width loses its last column") {
        REQUIRE(CutPicture(test::MakePicture(1001, 600, 0x336699, "png"), pieces, 2, CutDirection::SideBySide, PictureFormat::Png));
        CHECK(SizeOf(pieces[0]).width == 500);
        CHECK(SizeOf(pieces[1]).width == 500);
    }
    SUBCASE("stacked strips keep their pixels") {
        REQUIRE(CutPicture(GridPicture(1, 2, 60, 40), pieces, 2, CutDirection::Stacked, PictureFormat::Png));
        Bytes top, bottom;
        CHECK(SizeOf(pieces[0], &top).height == 40);
        CHECK(SizeOf(pieces[1], &bottom).width == 60);
        CHECK(test::BmpPixel(top, 0, 0) == kCellColours[0]);
        CHECK(test::BmpPixel(top, 59, 39) == kCellColours[0]);
        CHECK(test::BmpPixel(bottom, 0, 0) == kCellColours[1]);
        CHECK(test::BmpPixel(bottom, 59, 39) == kCellColours[1]);
    }
    CHECK(pieces.size() == 2);
    for (const Bytes& piece : pieces) CHECK(IsPng(piece));
}

TEST_CASE("nothing is cut from a bad request") {
    std::vector<Bytes> pieces{Bytes{1}};
    CHECK_FALSE(CutPicture(test::MakePicture(10, 10, 0, "png"), pieces, 1, CutDirection::SideBySide, PictureFormat::Png));
    CHECK_FALSE(CutPicture(Bytes{'x'}, pieces, 2, CutDirection::SideBySide, PictureFormat::Png));
    CHECK_FALSE(CutPicture(test::MakePicture(10, 10, 0, "png"), pieces, 2, static_cast<CutDirection>(3), PictureFormat::Png));
    CHECK(pieces.empty());
}

TEST_CASE("the halves command shows both halves and writes them to Photo") {
    test::StartedMainWindow();
    AppState& app = App();
    app.currentTitle = "halves-test";
    std::string photo = ProgramFolder() + "\\Photo\\";
    for (auto [w, h, vertical] : {std::tuple{1000, 600, false}, std::tuple{600, 1000, true}, std::tuple{500, 500, true}}) {
        CAPTURE(w);
        Ui<DrawPanel>(画板1).SetPicture(test::MakePicture(w, h, 0x2060A0, "jpeg"));
        SplitPictureInHalves();
        Bytes first = ReadWholeFile(photo + "halves-test_1.jpeg");
        Bytes second = ReadWholeFile(photo + "halves-test_2.jpeg");
        CHECK(IsJpeg(first));
        CHECK(IsJpeg(second));
        CHECK(SizeOf(first).width == (vertical ? w : w / 2));
        CHECK(SizeOf(second).height == (vertical ? h / 2 : h));
        CHECK_FALSE(Ui<PictureBox>(图片框1).Picture().empty());
        CHECK_FALSE(Ui<PictureBox>(图片框2).Picture().empty());
    }
    Ui<DrawPanel>(画板1).SetPicture(LoadResourceBytes(IDR_SAMPLE_PICTURE));
    app.currentTitle = "sample";
    SplitPictureInHalves();
    test::Pump(300);
    CHECK(test::SaveWindowScreenshot(MainWindow().Handle(), test::ScreenshotFolder() + "\\halves.png"));
    for (const char* name : {"halves-test_1.jpeg", "halves-test_2.jpeg", "sample_1.jpeg", "sample_2.jpeg"}) {
        DeleteFileA((photo + name).c_str());
    }
}

TEST_CASE("guide lines cut the picture into a grid, row by row") {
    test::StartedMainWindow();
    AppState& app = App();
    app.verticalCutCount = 0;
    app.horizontalCutCount = 0;
    for (ui::Id bar : kVerticalGuides) Ui<Component>(bar).SetVisible(false);
    for (ui::Id bar : kHorizontalGuides) Ui<Component>(bar).SetVisible(false);
    Toolbar& toolbar = Ui<Toolbar>(工具条1);
    for (int i = 0; i < 3; ++i) toolbar.ClickButton(8);
    toolbar.ClickButton(9);
    CHECK(app.verticalCutCount == 3);
    CHECK(app.horizontalCutCount == 1);
    test::Pump(100);
    CHECK(test::SaveWindowScreenshot(MainWindow().Handle(), test::ScreenshotFolder() + "\\grid-guides.png"));

    test::TempFolder folder("varnel-grid");
    app.currentFolder = folder.Path();
    app.currentTitle = "cat";
    Ui<DrawPanel>(画板1).SetPicture(GridPicture(4, 2, 50, 30));
    app.currentPicturePath.clear();
    RenderPreview();
    // Each cell says what the cut gives of it, in the preview only.
    Component& shown = Ui<Component>(画板1);
    const Bytes preview = Ui<DrawPanel>(画板1).Snapshot(shown.Width(), shown.Height());
    CHECK(test::BmpPixel(preview, 6, 6) == 0x282828);
    CHECK(test::BmpPixel(preview, shown.Width() / 4 + 6, shown.Height() / 2 + 6) == 0x282828);
    test::Pump(100);
    CHECK(test::SaveWindowScreenshot(MainWindow().Handle(), test::ScreenshotFolder() + "\\grid-labels.png"));
    // A double-click on the preview starts the cut.
    SendMessageA(Ui<DrawPanel>(画板1).Handle(), WM_LBUTTONDBLCLK, 0, 0);
    for (int i = 1; i <= 8; ++i) {
        CAPTURE(i);
        Bytes piece = ReadWholeFile(folder.Path() + "\\cat\\cat-" + std::to_string(i) + ".jpg");
        REQUIRE(IsJpeg(piece));
        Bytes bmp;
        BmpHeader size = SizeOf(piece, &bmp);
        CHECK(size.width == 50);
        CHECK(size.height == 30);
        CHECK(Near(test::BmpPixel(bmp, 25, 15), kCellColours[i - 1]));
        CHECK(Near(test::BmpPixel(bmp, 0, 0), kCellColours[i - 1]));
        CHECK(Near(test::BmpPixel(bmp, 49, 29), kCellColours[i - 1]));
    }
    CHECK_FALSE(FindFirstFileExists(folder.Path() + "\\cat\\cat-9.jpg"));
    app.verticalCutCount = 0;
    app.horizontalCutCount = 0;
    for (ui::Id bar : kVerticalGuides) Ui<Component>(bar).SetVisible(false);
    for (ui::Id bar : kHorizontalGuides) Ui<Component>(bar).SetVisible(false);
}

TEST_CASE("folder paths are made level by level") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-levels");
    std::string existing = folder.Path();
    CHECK(CreateFolderPath(existing) == 0);
    CHECK(existing == folder.Path() + "\\");
    std::string deep = folder.Path() + "\\a\\b\\c";
    CHECK(CreateFolderPath(deep) == 1);
    CHECK(deep == folder.Path() + "\\a\\b\\c\\");
    CHECK(FolderExists(folder.Path() + "\\a\\b\\c"));
    REQUIRE(WriteWholeFile(folder.File("file"), Bytes{'x'}));
    std::string blocked = folder.Path() + "\\file\\sub";
    CHECK(CreateFolderPath(blocked) == -1);
}
