// The preview and the batches reuse decodes, scaled backgrounds and
// snapshots; none of that may ever show a picture other than the one asked for.
#include <doctest.h>

#include "app/operations/decode_cache.h"
#include "app/shell/commands.h"
#include "platform/bmp_image.h"
#include "platform/file_services.h"
#include "platform/jpeg_encoder.h"
#include "tests/shell/shell_fixture.h"

using namespace varnel;
using namespace ui;

namespace {

void ListFolder(const std::string& path) {
    std::string folder = path;
    ListFolderFiles(folder);
    App().currentFolder = path;
}

Bytes PanelShot() {
    Component& panel = Ui<Component>(画板1);
    return Ui<DrawPanel>(画板1).Snapshot(panel.Width(), panel.Height());
}

// What the canvas holds at a point, as 0xRRGGBB.
unsigned CanvasPixel(int x, int y) {
    COLORREF c = GetPixel(App().renderer.GetCanvas().GetMemoryDc(), x, y);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// Selects the list entry with this name and loads it as a click would.
void Show(const std::string& name) {
    ListBox& list = Ui<ListBox>(列表框1);
    for (int i = 0; i < list.Count(); ++i) {
        if (list.ItemText(i) == name) list.SetSelectedIndex(i);
    }
    REQUIRE(list.ItemText(list.SelectedIndex()) == name);
    LoadListItem();
    test::Pump(50);
}

// Moves the file's time of writing back by `seconds`, or sets it to `at`.
FILETIME SetFileTimeBack(const std::string& path, int seconds, const FILETIME* at = nullptr) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    FILETIME written{};
    GetFileTime(file, nullptr, nullptr, &written);
    ULARGE_INTEGER t{};
    t.LowPart = written.dwLowDateTime;
    t.HighPart = written.dwHighDateTime;
    t.QuadPart -= static_cast<ULONGLONG>(seconds) * 10000000ULL;
    FILETIME moved{t.LowPart, t.HighPart};
    SetFileTime(file, nullptr, nullptr, at ? at : &moved);
    CloseHandle(file);
    return written;
}

}  // namespace

TEST_CASE("the preview shows a file as it is now, not as it was when last drawn") {
    test::StartedMainWindow();
    test::TempFolder pics("varnel-reuse");
    const std::string path = pics.File("pic.png");
    REQUIRE(WriteWholeFile(path, test::MakePicture(400, 300, 0xFF0000, "png")));
    ListFolder(pics.Path());
    App().watermarkMode = WatermarkMode::None;
    Show("pic.png");
    RenderPreview();
    CHECK(test::BmpPixel(PanelShot(), 400, 300) == 0xFF0000);

    SUBCASE("a new picture of another size under the same name") {
        REQUIRE(WriteWholeFile(path, test::MakePicture(300, 200, 0x0000FF, "png")));
    }
    SUBCASE("a new picture of the same size, written at another time") {
        Bytes blue = test::MakePicture(400, 300, 0x0000FF, "png");
        REQUIRE(blue.size() == ReadWholeFile(path).size());
        REQUIRE(WriteWholeFile(path, blue));
        SetFileTimeBack(path, 3600);
    }
    SUBCASE("a new picture of the same size, its time of writing kept (a copy tool, a FAT clock)") {
        const FILETIME before = SetFileTimeBack(path, 0);
        Bytes blue = test::MakePicture(400, 300, 0x0000FF, "png");
        REQUIRE(blue.size() == ReadWholeFile(path).size());
        REQUIRE(WriteWholeFile(path, blue));
        SetFileTimeBack(path, 0, &before);
    }
    // Rendered without loading the file again, as a repaint does.
    RenderPreview();
    CHECK(test::BmpPixel(PanelShot(), 400, 300) == 0x0000FF);
}

TEST_CASE("a background that could not be drawn is drawn again at the next rendering") {
    test::StartedMainWindow();
    test::TempFolder pics("varnel-reuse-locked");
    const std::string path = pics.File("locked.png");
    REQUIRE(WriteWholeFile(path, test::MakePicture(400, 300, 0xFF00FF, "png")));
    ListFolder(pics.Path());
    App().watermarkMode = WatermarkMode::None;
    // Held open without sharing, as a scanner or a sync client may hold a new file.
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(lock != INVALID_HANDLE_VALUE);
    Show("locked.png");
    RenderPreview();
    CHECK(CanvasPixel(200, 150) == 0x000000);
    CloseHandle(lock);
    RenderPreview();
    CHECK(CanvasPixel(200, 150) == 0xFF00FF);
}

TEST_CASE("the background is drawn again when the preview changes size") {
    test::StartedMainWindow();
    test::TempFolder pics("varnel-reuse-size");
    REQUIRE(WriteWholeFile(pics.File("pic.png"), test::MakePicture(400, 300, 0x00FF00, "png")));
    ListFolder(pics.Path());
    App().watermarkMode = WatermarkMode::None;
    Show("pic.png");
    const PreviewSize full = App().previewSize;
    RenderPreview();
    CHECK(CanvasPixel(600, 400) == 0x00FF00);
    App().previewSize = PreviewSize{400, 300};
    RenderPreview();
    // Only the smaller area holds the picture; past it the canvas is cleared.
    CHECK(CanvasPixel(200, 150) == 0x00FF00);
    CHECK(CanvasPixel(600, 400) == 0x000000);
    App().previewSize = full;
    RenderPreview();
    CHECK(CanvasPixel(600, 400) == 0x00FF00);
}

TEST_CASE("a picture decoded ahead is used only for the very bytes it was decoded from") {
    test::StartedMainWindow();
    test::TempFolder pics("varnel-ahead");
    const std::string path = pics.File("next.png");
    REQUIRE(WriteWholeFile(path, test::MakePicture(64, 48, 0xFF0000, "png")));
    DecodeCache decodes;
    decodes.DecodeAhead(path);
    SUBCASE("the file unchanged") {
        CHECK(test::BmpPixel(decodes.DecodeToBmp24(ReadWholeFile(path)), 10, 10) == 0xFF0000);
    }
    SUBCASE("the file replaced after the decode started") {
        REQUIRE(WriteWholeFile(path, test::MakePicture(64, 48, 0x0000FF, "png")));
        CHECK(test::BmpPixel(decodes.DecodeToBmp24(ReadWholeFile(path)), 10, 10) == 0x0000FF);
    }
    SUBCASE("another picture shown first") {
        CHECK(test::BmpPixel(decodes.DecodeToBmp24(test::MakePicture(32, 32, 0x00FF00, "png")), 10, 10) ==
              0x00FF00);
        CHECK(test::BmpPixel(decodes.DecodeToBmp24(ReadWholeFile(path)), 10, 10) == 0xFF0000);
    }
    SUBCASE("a file that is gone") {
        DeleteFileA(path.c_str());
        CHECK(decodes.DecodeToBmp24(ReadWholeFile(path)).empty());
    }
}

TEST_CASE("a background drawn ahead is shown only for the file, size and canvas it was drawn for") {
    test::StartedMainWindow();
    test::TempFolder pics("varnel-prepared");
    const std::string path = pics.File("next.png");
    REQUIRE(WriteWholeFile(path, test::MakePicture(400, 300, 0xFF0000, "png")));
    REQUIRE(WriteWholeFile(pics.File("other.png"), test::MakePicture(400, 300, 0x00FF00, "png")));
    ListFolder(pics.Path());
    App().watermarkMode = WatermarkMode::None;
    const PreviewSize full = App().previewSize;
    Show("other.png");
    RenderPreview();
    App().renderer.PrepareAhead(path, WatermarkMode::None, App().previewSize, LaidBacking());
    unsigned expected = 0xFF0000;
    SUBCASE("the file unchanged") {}
    SUBCASE("the file replaced after the drawing started") {
        REQUIRE(WriteWholeFile(path, test::MakePicture(300, 200, 0x0000FF, "png")));
        expected = 0x0000FF;
    }
    SUBCASE("the preview resized in between") { App().previewSize = PreviewSize{400, 300}; }
    Show("next.png");
    RenderPreview();
    CHECK(CanvasPixel(200, 150) == expected);
    CHECK(CanvasPixel(600, 400) == (App().previewSize.width == 400 ? 0x000000 : expected));
    App().previewSize = full;
}

TEST_CASE("a JPEG is previewed upright, drawn ahead as it is drawn at once") {
    test::StartedMainWindow();
    test::TempFolder pics("varnel-prepared-jpeg");
    // Red above, blue below.
    const int width = 320, height = 200;
    std::vector<unsigned char> rows(width * height * 3, 0);
    for (int i = 0; i < width * height; ++i) rows[i * 3 + (i < width * height / 2 ? 2 : 0)] = 255;
    const Bytes jpeg = EncodeJpeg(rows.data(), width, height, width * 3, 92);
    REQUIRE(WriteWholeFile(pics.File("a.jpg"), jpeg));
    REQUIRE(WriteWholeFile(pics.File("b.jpg"), jpeg));
    ListFolder(pics.Path());
    App().watermarkMode = WatermarkMode::None;
    const PreviewSize size = App().previewSize;
    auto shot = [&] {
        return SnapshotToBmp24(App().renderer.GetCanvas().GetMemoryDc(), 0, 0, size.width, size.height, size.width,
                               size.height);
    };
    Show("a.jpg");  // and b.jpg is drawn ahead
    const Bytes drawn = shot();
    CHECK(test::BmpPixel(drawn, 100, 20) / 0x10000 > 0xF0);
    CHECK(test::BmpPixel(drawn, 100, size.height - 20) % 0x100 > 0xF0);
    Show("b.jpg");
    CHECK(shot() == drawn);
}

TEST_CASE("each file of a watermark batch gets its own picture back") {
    test::StartedMainWindow();
    test::TempFolder pics("varnel-reuse-batch");
    const unsigned colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    const char* names[] = {"1.png", "2.jpg", "3.png", "4.jpg"};
    for (int i = 0; i < 4; ++i) {
        const char* format = i % 2 ? "jpeg" : "png";
        REQUIRE(WriteWholeFile(pics.File(names[i]), test::MakePicture(320, 200, colours[i], format)));
    }
    ListFolder(pics.Path());
    REQUIRE(Ui<ListBox>(列表框1).Count() == 4);
    REQUIRE(test::PickFont("文泉驿微米黑"));
    App().watermarkText = "x";
    App().watermarkPosition = WatermarkPosition{0, 0};
    // JPEG is near, not exact.
    auto alike = [](unsigned a, unsigned b) {
        for (int shift : {0, 8, 16}) {
            if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 8) {
                return false;
            }
        }
        return true;
    };
    SUBCASE("text") {
        App().watermarkMode = WatermarkMode::Text;
        for (int i = 1; i <= 4; ++i) RunBatchItem(BatchOperation::Text, i, 0);
    }
    SUBCASE("picture") {
        App().watermarkMode = WatermarkMode::Picture;
        // Its preview as well, drawn from what the worker prepared.
        for (int i = 1; i <= 4; ++i) {
            RunBatchItem(BatchOperation::Picture, i, 0);
            CHECK(alike(CanvasPixel(200, 150), colours[i - 1]));
        }
    }
    for (int i = 0; i < 4; ++i) {
        Bytes written = DecodePictureToBmp24(ReadWholeFile(pics.File(names[i])));
        BmpHeader header;
        REQUIRE(IsWholeBmp24(written, &header));
        CHECK(header.width == 320);
        CHECK(alike(test::BmpPixel(written, 200, 120), colours[i]));
    }
}

TEST_CASE("the picture watermark follows a new position and a new watermark picture") {
    test::StartedMainWindow();
    test::TempFolder pics("varnel-reuse-mark");
    const PreviewSize size = App().previewSize;
    REQUIRE(WriteWholeFile(pics.File("white.png"), test::MakePicture(size.width, size.height, 0xFFFFFF, "png")));
    ListFolder(pics.Path());
    Show("white.png");
    PictureBox& markBox = Ui<PictureBox>(图片框3);
    const Bytes startMark = markBox.Picture();
    App().watermarkMode = WatermarkMode::Picture;
    App().watermarkPosition = WatermarkPosition{10, 10};
    RenderPreview();
    Bytes first = App().composedBitmap;
    App().watermarkPosition = WatermarkPosition{300, 200};
    RenderPreview();
    CHECK(App().composedBitmap != first);
    CHECK(test::BmpPixel(App().composedBitmap, 12, 12) == 0xFFFFFF);

    markBox.SetPicture(DecodePictureToBmp24(test::MakePicture(40, 40, 0x000000, "png")));
    RenderPreview();
    CHECK(test::BmpPixel(App().composedBitmap, 320, 220) == 0x000000);
    CHECK(test::BmpPixel(PanelShot(), 320, 220) == 0x000000);
    markBox.SetPicture(startMark);
    App().watermarkMode = WatermarkMode::None;
}

TEST_CASE("a picture too large to keep a copy of is shown but not kept") {
    test::StartedMainWindow();
    DrawPanel& panel = Ui<DrawPanel>(画板1);
    const Bytes small = test::MakePicture(400, 300, 0x00FF00, "png");
    ShowOnPanel(small);
    Gdiplus::GpImage* copy = App().renderer.CloneRemembered(small);
    CHECK(copy != nullptr);
    if (copy) Gdiplus::DllExports::GdipDisposeImage(copy);

    const Bytes large = test::MakePicture(4100, 4000, 0x0000FF, "png");
    ShowOnPanel(large);
    BmpHeader header;
    REQUIRE(IsWholeBmp24(panel.Picture(), &header));
    CHECK(header.width == 4100);
    CHECK(test::BmpPixel(panel.Snapshot(410, 400), 200, 200) == 0x0000FF);
    CHECK(App().renderer.CloneRemembered(large) == nullptr);
    // Shown again after another picture, it is decoded and shown whole again.
    ShowOnPanel(small);
    ShowOnPanel(large);
    CHECK(test::BmpPixel(panel.Picture(), 2000, 2000) == 0x0000FF);
    ShowOnPanel(small);
    copy = App().renderer.CloneRemembered(small);
    CHECK(copy != nullptr);
    if (copy) Gdiplus::DllExports::GdipDisposeImage(copy);
}
