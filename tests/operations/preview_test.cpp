#include <doctest.h>

#include "app/operations/watermark_rendering.h"
#include "app/operations/watermark_settings.h"
#include "app/shell/commands.h"
#include "platform/bmp_image.h"
#include "platform/file_services.h"
#include "platform/resource_data.h"
#include "resources/resource_ids.h"
#include "tests/shell/shell_fixture.h"

using namespace varnel;
using namespace ui;

namespace {
// A face the set-up scripts install.
const char kFace[] = "文泉驿微米黑";

struct Reddest {
    int x = -1, y = -1;
    unsigned rgb = 0xFFFFFF;
};

// The most strongly red pixel of the panel's snapshot, at panel size.
Reddest FindReddest(const Bytes& shot, int width, int height) {
    Reddest best;
    int bestScore = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned p = test::BmpPixel(shot, x, y);
            int score = static_cast<int>((p >> 16) & 0xFF) - static_cast<int>((p >> 8) & 0xFF);
            if (score > bestScore) {
                bestScore = score;
                best = Reddest{x, y, p};
            }
        }
    }
    return best;
}

// A white picture in the preview, with no file behind it.
void WhitePreview() {
    AppState& app = App();
    app.currentPicturePath.clear();
    app.watermarkMode = WatermarkMode::None;
    Ui<DrawPanel>(画板1).SetPicture(test::MakePicture(200, 100, 0xFFFFFF, "png"));
}

Bytes PanelShot() {
    Component& panel = Ui<Component>(画板1);
    return Ui<DrawPanel>(画板1).Snapshot(panel.Width(), panel.Height());
}

void PickFont() { REQUIRE(test::PickFont(kFace)); }
}  // namespace

TEST_CASE("the text watermark is drawn where the preview was clicked, in the chosen colour and opacity") {
    test::StartedMainWindow();
    WhitePreview();
    PickFont();
    Ui<ComboBox>(组合框_大小选择).SetSelectedIndex(9);  // 72
    App().watermarkText = "HHH";
    App().watermarkMode = WatermarkMode::Text;
    HWND panel = Ui<DrawPanel>(画板1).Handle();
    const int rendersBefore = App().renderer.RenderCount();
    SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 150));
    // A click takes one route, and a repaint shows what was rendered without rendering.
    CHECK(App().renderer.RenderCount() == rendersBefore + 1);
    RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    CHECK(App().renderer.RenderCount() == rendersBefore + 1);
    CHECK(App().watermarkPosition.x == 200);
    CHECK(App().watermarkPosition.y == 150);
    CHECK(Ui<EditBox>(编辑框1).Text() == "200");
    CHECK(Ui<EditBox>(编辑框2).Text() == "150");

    Bytes shot = PanelShot();
    Reddest red = FindReddest(shot, App().previewSize.width, App().previewSize.height);
    CHECK(red.x >= 200);
    CHECK(red.x < 200 + 200);
    CHECK(red.y >= 150);
    CHECK(red.y < 150 + 100);
    // Red at alpha 180 over white.
    CHECK((red.rgb >> 16) == 0xFF);
    CHECK(std::abs(static_cast<int>((red.rgb >> 8) & 0xFF) - 75) <= 3);
    CHECK(test::BmpPixel(shot, 100, 100) == 0xFFFFFF);
    // The enlarged picture keeps its colour up to the last column and row.
    CHECK(test::BmpPixel(shot, App().previewSize.width - 1, 300) == 0xFFFFFF);
    CHECK(test::BmpPixel(shot, 500, App().previewSize.height - 1) == 0xFFFFFF);

    SUBCASE("the slider sets the opacity") {
        Slider& slider = Ui<Slider>(滑块条);
        slider.SetPosition(255);
        SendMessageA(MainWindow().Handle(), WM_HSCROLL, TB_THUMBPOSITION, reinterpret_cast<LPARAM>(slider.Handle()));
        CHECK(Ui<EditBox>(编辑框3).Text() == "255");
        CHECK(FindReddest(PanelShot(), App().previewSize.width, App().previewSize.height).rgb == 0xFF0000);
        slider.SetPosition(180);
        SendMessageA(MainWindow().Handle(), WM_HSCROLL, TB_THUMBPOSITION, reinterpret_cast<LPARAM>(slider.Handle()));
    }
    SUBCASE("a screenshot of the text watermark on the sample picture") {
        App().currentPicturePath.clear();
        Ui<DrawPanel>(画板1).SetPicture(LoadResourceBytes(IDR_SAMPLE_PICTURE));
        App().watermarkText = "Varnel 水印";
        SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 260));
        test::Pump(300);
        CHECK(test::SaveWindowScreenshot(MainWindow().Handle(), test::ScreenshotFolder() + "\\text-watermark.png"));
    }
}

// The text at (10, 10) in the test face, drawn on the preview and shown.
Gdiplus::RectF DrawHHH(int size, int opacity) {
    WatermarkSettings settings;
    settings.text = "HHH";
    settings.fontName = kFace;
    settings.size = size;
    settings.color = RGB(255, 0, 0);
    settings.opacity = opacity;
    settings.position = WatermarkPosition{10, 10};
    Gdiplus::RectF box = DrawTextWatermark(App().renderer.GetCanvas(), settings, TextStyle::Bold);
    PresentPreview();
    return box;
}

TEST_CASE("opacity and size fall back to their defaults") {
    test::StartedMainWindow();
    WhitePreview();
    PickFont();
    App().renderer.GetCanvas().Clear();
    App().renderer.DrawPictureBackground(Ui<DrawPanel>(画板1).Picture(), 0, 0, App().previewSize.width,
                                           App().previewSize.height);
    SUBCASE("opacity 0 and above 255 draw at 150") {
        int opacity = 0;
        SUBCASE("zero") { opacity = 0; }
        SUBCASE("too high") { opacity = 300; }
        DrawHHH(72, opacity);
        Reddest red = FindReddest(PanelShot(), 300, 150);
        CHECK(std::abs(static_cast<int>((red.rgb >> 8) & 0xFF) - 105) <= 3);
    }
    SUBCASE("size 0 draws at 16 pixels") {
        Gdiplus::RectF zero = DrawHHH(0, 200);
        Gdiplus::RectF sixteen = DrawHHH(16, 200);
        CHECK(zero.Height > 0);
        CHECK(zero.Height == sixteen.Height);
        CHECK(zero.Width == sixteen.Width);
        CHECK(zero.X == 10);
    }
    SUBCASE("no size selected draws nothing") {
        Gdiplus::RectF none = DrawHHH(-1, 200);
        CHECK(none.Width == 0);
        CHECK(FindReddest(PanelShot(), 300, 150).rgb == 0xFFFFFF);
    }
}

TEST_CASE("the style boxes set the font style the last checked box gives") {
    test::StartedMainWindow();
    auto click = [](int box) { SendMessageA(Ui<CheckBox>(box).Handle(), BM_CLICK, 0, 0); };
    for (int box : {选择框_加粗, 选择框_倾斜, 选择框_下划线}) Ui<CheckBox>(box).SetChecked(false);
    App().fontStyle = TextStyle::Bold;
    click(选择框_倾斜);
    CHECK(App().fontStyle == TextStyle::BoldItalic);
    click(选择框_加粗);
    CHECK(App().fontStyle == TextStyle::Bold);
    click(选择框_加粗);  // unchecked: no change
    CHECK(App().fontStyle == TextStyle::Bold);
    click(选择框_下划线);
    CHECK(App().fontStyle == TextStyle::Underline);
    click(选择框_下划线);
    CHECK(App().fontStyle == TextStyle::Underline);
}

TEST_CASE("a size change of the panel acts as a click at the corner") {
    test::StartedMainWindow();
    Component& panel = Ui<Component>(画板1);
    panel.SetWidth(panel.Width() - 1);
    CHECK(App().watermarkPosition.x == 0);
    CHECK(Ui<EditBox>(编辑框1).Text() == "0");
    CHECK(Ui<EditBox>(编辑框2).Text() == "0");
    panel.SetWidth(panel.Width() + 1);
}

TEST_CASE("the picture watermark multiplies the watermark picture into the selected file") {
    test::StartedMainWindow();
    test::TempFolder pics("varnel-mark");
    const PreviewSize size = App().previewSize;
    REQUIRE(WriteWholeFile(pics.File("white.png"), test::MakePicture(size.width, size.height, 0xFFFFFF, "png")));
    std::string folder = pics.Path();
    ListFolderFiles(folder);
    App().currentFolder = folder;
    Ui<ListBox>(列表框1).SetSelectedIndex(0);
    App().watermarkPosition = WatermarkPosition{10, 10};
    App().watermarkMode = WatermarkMode::Picture;
    ApplyPictureWatermark();
    CHECK(App().currentTitle == "white");
    BmpHeader composed;
    REQUIRE(IsWholeBmp24(App().composedBitmap, &composed));
    CHECK(composed.width == size.width);
    const Bytes& mark = Ui<PictureBox>(图片框3).Picture();
    // Outside the mark's 120 x 29 pixels the picture is unchanged.
    CHECK(test::BmpPixel(App().composedBitmap, 9, 9) == 0xFFFFFF);
    CHECK(test::BmpPixel(App().composedBitmap, 130, 39) == 0xFFFFFF);
    // Inside, white on white stays white and the mark's dark pixels remain.
    bool dark = false;
    for (int y = 0; y < 29; ++y) {
        for (int x = 0; x < 120; ++x) {
            unsigned m = test::BmpPixel(mark, x, y);
            if (m == 0xFFFFFF) continue;
            dark |= test::BmpPixel(App().composedBitmap, 10 + x, 10 + y) == m;
        }
    }
    CHECK(dark);

    SUBCASE("every rendering starts again from the file") {
        RenderPreview();
        Bytes once = App().composedBitmap;
        RenderPreview();
        CHECK(App().composedBitmap == once);
        Bytes shot = PanelShot();
        CHECK(test::BmpPixel(shot, 5, 5) == 0xFFFFFF);
    }
    SUBCASE("a screenshot of the picture watermark") {
        REQUIRE(WriteWholeFile(pics.File("white.png"), LoadResourceBytes(IDR_SAMPLE_PICTURE)));
        App().watermarkPosition = WatermarkPosition{600, 400};
        RenderPreview();
        test::Pump(300);
        CHECK(test::SaveWindowScreenshot(MainWindow().Handle(), test::ScreenshotFolder() + "\\picture-watermark.png"));
    }
    App().watermarkMode = WatermarkMode::None;
}

TEST_CASE("characters the chosen face has no glyphs for are drawn in a face that has them") {
    test::StartedMainWindow();
    WhitePreview();
    auto ink = [](const char* face) {
        App().renderer.GetCanvas().Clear();
        App().renderer.DrawPictureBackground(Ui<DrawPanel>(画板1).Picture(), 0, 0, 928, 584);
        WatermarkSettings settings;
        settings.text = "水";
        settings.fontName = face;
        settings.size = 72;
        settings.opacity = 255;
        settings.color = RGB(255, 0, 0);
        settings.position = WatermarkPosition{10, 10};
        DrawTextWatermark(App().renderer.GetCanvas(), settings, TextStyle::Bold);
        PresentPreview();
        const Bytes shot = PanelShot();
        int count = 0;
        for (int y = 0; y < 150; ++y) {
            for (int x = 0; x < 150; ++x) count += (test::BmpPixel(shot, x, y) & 0xFF) < 128;
        }
        return count;
    };
    const int own = ink(kFace);
    // A Latin face has no such glyph: without help it draws an empty box.
    const int helped = ink("DejaVu Sans");
    CHECK(own > 300);
    CHECK(std::abs(helped - own) < own / 10);
    CHECK(test::SaveWindowScreenshot(MainWindow().Handle(), test::ScreenshotFolder() + "\\latin-face-chinese.png"));
}
