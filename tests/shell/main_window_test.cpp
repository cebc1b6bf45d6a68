#include <doctest.h>

#include <cstring>

#include "app/shell/commands.h"
#include "platform/bmp_image.h"
#include "platform/file_services.h"
#include "platform/handles.h"
#include "tests/shell/shell_fixture.h"

using namespace varnel;
using namespace ui;

namespace {
HWND ParentWindowOf(const ComponentDef& row) {
    Form& window = MainWindow();
    return row.parent == kWindowSource ? window.Handle() : window.At(row.parent).ContainerHandle();
}
}  // namespace

TEST_CASE("the main window is loaded from its definition") {
    Form& window = test::StartedMainWindow();
    REQUIRE(window.Handle());
    CHECK(window.Caption() == "Varnel1.0");
    CHECK(window.Left() == 50);
    CHECK(window.Top() == 50);
    CHECK(window.Width() == 1385);
    CHECK(window.Height() == 861);
    CHECK(SendMessageA(window.Handle(), WM_GETICON, ICON_BIG, 0) != 0);

    const FormDef& def = MainWindowDefinition();
    CHECK(def.componentCount == static_cast<size_t>(kComponentCount));
    for (size_t i = 0; i < def.componentCount; ++i) {
        const ComponentDef& row = def.components[i];
        CAPTURE(row.name);
        Component& c = window.At(row.id);
        CHECK(std::strcmp(c.Name(), row.name) == 0);
        CHECK(c.Kind() == row.kind);
        bool nonVisual = row.kind == ComponentKind::FileDialog || row.kind == ComponentKind::DropTarget;
        if (nonVisual) {
            CHECK(c.Handle() == nullptr);
            continue;
        }
        REQUIRE(c.Handle());
        CHECK(GetParent(c.Handle()) == ParentWindowOf(row));
        const test::Place& place = test::Snapshot().places[static_cast<size_t>(row.id)];
        CHECK(place.visible == !(row.flags & kHidden));
        if (row.kind == ComponentKind::StatusBar) continue;  // docked at the bottom
        // The working area is laid out by the resize rules (checked with the created event).
        if (row.id == 高级选择夹1 || row.id == 列表框1 || row.id == 画板1 || row.id == 分组框1 || row.id == 分组框2 ||
            row.id == 标签2) {
            continue;
        }
        CHECK(place.left == row.left);
        CHECK(place.top == row.top);
        if (row.kind == ComponentKind::Toolbar) continue;  // as tall as its buttons
        CHECK(place.width == row.width);
        if (row.kind != ComponentKind::ComboBox) CHECK(place.height == row.height);
    }
}

TEST_CASE("components start with their initial content") {
    test::StartedMainWindow();
    CHECK(Ui<Label>(标签_字体).Text() == "字体：");
    CHECK(Ui<Label>(标签5).Text() == "透明度：");
    CHECK(Ui<Label>(标签1).Text() == "文件列表：");
    CHECK(Ui<Label>(标签2).Text().empty());
    CHECK(Ui<CheckBox>(选择框_下划线).Text() == "下划线");
    CHECK_FALSE(Ui<CheckBox>(选择框_加粗).Checked());
    CHECK(test::Snapshot().watermarkX == "300");
    CHECK(test::Snapshot().watermarkY == "300");
    CHECK(Ui<EditBox>(编辑框3).Text() == "180");
    CHECK(Ui<GroupBox>(分组框1).Text() == "预览：");
    CHECK(Ui<GroupBox>(分组框2).Text() == "水印图：");

    ComboBox& sizes = Ui<ComboBox>(组合框_大小选择);
    const char* expected[] = {"12", "14", "16", "18", "24", "32", "36", "42", "48", "72"};
    REQUIRE(sizes.Count() == 10);
    for (int i = 0; i < 10; ++i) {
        CHECK(sizes.ItemText(i) == expected[i]);
        CHECK(sizes.ItemData(i) == atoi(expected[i]));
    }
    CHECK(sizes.SelectedIndex() == 2);
    CHECK(sizes.ItemData(sizes.SelectedIndex()) == 16);
    CHECK(sizes.ItemData(-1) == -1);

    CHECK(Ui<ColorPicker>(颜色选择器_颜色选择).Color() == RGB(255, 0, 0));
    Slider& slider = Ui<Slider>(滑块条);
    CHECK(slider.Minimum() == 50);
    CHECK(slider.Maximum() == 255);
    CHECK(slider.Position() == 180);
    CHECK(slider.LineStep() == 1);
    CHECK(slider.PageStep() == 5);

    TabControl& tab = Ui<TabControl>(高级选择夹1);
    CHECK(tab.TabCount() == 1);
    CHECK(tab.TabText(0) == "浏览");
    CHECK(Ui<ListBox>(列表框1).Count() == 0);

    StatusBar& status = Ui<StatusBar>(状态条);
    CHECK(status.PartCount() == 4);
    CHECK(status.PartText(0) == " 路径:");
    CHECK(status.PartText(1).empty());
    CHECK(status.PartText(2) == "文件名：");
    CHECK(status.PartText(3).empty());

    test::BmpPixel(Ui<PictureBox>(图片框3).Picture(), 0, 0);
    BmpHeader mark;
    REQUIRE(IsWholeBmp24(Ui<PictureBox>(图片框3).Picture(), &mark));
    CHECK(mark.width == 120);
    CHECK(mark.height == 29);
    BmpHeader sample;
    REQUIRE(IsWholeBmp24(Ui<DrawPanel>(画板1).Picture(), &sample));
    CHECK(sample.width == 1600);
    CHECK(sample.height == 1000);
}

TEST_CASE("toolbar and menu carry the ten commands") {
    test::StartedMainWindow();
    Toolbar& toolbar = Ui<Toolbar>(工具条1);
    const char* captions[] = {"打开图片", "保存", "添加文字", "图片水印", "分割图片",
                              "批量分割", "批量文字水印", "批量图片水印", "多线横割", "多线纵割"};
    REQUIRE(toolbar.ButtonCount() == 10);
    for (int i = 0; i < 10; ++i) CHECK(toolbar.ButtonCaption(i) == captions[i]);
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar.Handle(), TB_GETIMAGELIST, 0, 0));
    REQUIRE(images);
    CHECK(ImageList_GetImageCount(images) == 10);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    CHECK(cx == 48);
    CHECK(cy == 48);

    HMENU bar = GetMenu(MainWindow().Handle());
    REQUIRE(bar);
    CHECK(GetMenuItemCount(bar) == 4);
    char text[64] = {};
    GetMenuStringA(bar, 0, text, sizeof(text), MF_BYPOSITION);
    CHECK(std::string(text) == "&F菜单");
    GetMenuStringA(GetSubMenu(bar, 0), kMenuOpen, text, sizeof(text), MF_BYCOMMAND);
    CHECK(std::string(text) == "打开\tCtrl+F");
    GetMenuStringA(GetSubMenu(bar, 2), kMenuBatchPicture, text, sizeof(text), MF_BYCOMMAND);
    CHECK(std::string(text) == "批量图片水印");
    GetMenuStringA(GetSubMenu(bar, 3), 0, text, sizeof(text), MF_BYPOSITION);
    CHECK(std::string(text) == "关于软件");
}

TEST_CASE("the created event sets up the preview and the defaults") {
    test::StartedMainWindow();
    const test::StartSnapshot& app = test::Snapshot();
    // The start places are the resize rules' own: laying the start size out
    // again moves nothing.
    MainWindow().Resize(1385, 861);
    test::Pump(100);
    OnMainWindowSizeChanged(EventArgs());
    for (int id : {高级选择夹1, 列表框1, 画板1, 分组框1, 分组框2, 标签2}) {
        CAPTURE(std::string(MainWindow().At(id).Name()));
        const test::Place& place = app.places[static_cast<size_t>(id)];
        Component& c = MainWindow().At(id);
        CHECK(c.Left() == place.left);
        CHECK(c.Top() == place.top);
        CHECK(c.Width() == place.width);
        CHECK(c.Height() == place.height);
    }
    const int width = Ui<Component>(画板1).Width(), height = Ui<Component>(画板1).Height();
    CHECK(app.previewSize.width == width);
    CHECK(app.previewSize.height == height);
    CHECK(app.watermarkPosition.x == width / 3);
    CHECK(app.watermarkPosition.y == height / 2);
    CHECK(app.watermarkMode == WatermarkMode::None);
    CHECK(app.watermarkTextEmpty);
    CHECK(app.fontStyle == TextStyle::Bold);
    CHECK(app.verticalCutCount == 0);
    CHECK(app.horizontalCutCount == 0);
    CHECK(app.fontNamesEmpty);

    ComboBox& fonts = Ui<ComboBox>(组合框_字体选择);
    CHECK(fonts.Count() > 0);
    bool hasYaHei = false;
    for (int i = 0; i < fonts.Count(); ++i) {
        std::string name = fonts.ItemText(i);
        CHECK(name.substr(0, 1) != "@");
        if (name == "微软雅黑") hasYaHei = true;
    }
    if (hasYaHei) {
        CHECK(fonts.ItemText(fonts.SelectedIndex()) == "微软雅黑");
    } else {
        // Without it, a face that has the watermark's Chinese words.
        REQUIRE(fonts.SelectedIndex() >= 0);
        const std::string face = fonts.ItemText(fonts.SelectedIndex());
        WindowDc dc(nullptr);
        FontHandle font(CreateFontA(-16, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face.c_str()));
        SelectScope select(dc.get(), font.get());
        WORD glyphs[4] = {};
        CHECK(GetGlyphIndicesW(dc.get(), L"添加文字", 4, glyphs, GGI_MARK_NONEXISTING_GLYPHS) == 4);
        for (WORD glyph : glyphs) CHECK(glyph != 0xFFFF);
    }
    // A pick from the list is reported while the box still shows the face before.
    const int start = fonts.SelectedIndex(), picked = fonts.Count() - 1;
    fonts.SetSelectedIndex(picked);
    fonts.SetText("Courier");
    CHECK(ReadWatermarkSettings().fontName == fonts.ItemText(picked));
    fonts.SetSelectedIndex(-1);
    fonts.SetText("Courier");
    CHECK(ReadWatermarkSettings().fontName == "Courier");
    fonts.SetSelectedIndex(start);
    // Every enumerated face but the vertical ones is offered.
    size_t horizontalFaces = 0;
    for (const std::string& name : CollectFontNames()) horizontalFaces += name.substr(0, 1) != "@";
    CHECK(static_cast<size_t>(fonts.Count()) == horizontalFaces);
}

TEST_CASE("the photo folder is made once and then left alone") {
    test::StartedMainWindow();
    std::string photo = ProgramFolder() + "\\photo";
    CHECK(FolderExists(photo));
    std::string marker = photo + "\\keep.txt";
    REQUIRE(WriteWholeFile(marker, Bytes{'k'}));
    EnsurePhotoFolder();
    CHECK(ReadWholeFile(marker) == Bytes{'k'});
    DeleteFileA(marker.c_str());
}
