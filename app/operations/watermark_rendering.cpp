#include "app/operations/watermark_rendering.h"

#include "app/operations/background_layer.h"
#include "app/operations/prepared_snapshot.h"
#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "graphics/canvas/imaging_objects.h"
#include "graphics/objects/fonts.h"
#include "graphics/objects/solid_brush.h"
#include "graphics/objects/string_format.h"
#include "platform/bmp_image.h"
#include "platform/components.h"
#include "platform/file_services.h"
#include "platform/remembered_decode.h"

namespace varnel {

using namespace ui;

namespace {

// Sampling past the picture's edges mirrors the picture instead of blending
// in transparent black, which would darken the last column and row of an
// enlarged picture in the preview and in every snapshot written back from it.
constexpr Gdiplus::WrapMode kPictureEdges = Gdiplus::WrapModeTileFlipXY;

// Draws the whole picture scaled into the rectangle; false when there was
// no picture or it could not be drawn.
bool DrawWholePicture(Image& picture, float x, float y, float width, float height) {
    static ImageAttributes mirrorEdges;
    if (!mirrorEdges.GetNativeHandle() && mirrorEdges.Create()) mirrorEdges.SetWrapMode(kPictureEdges);
    const bool drawn = App().previewCanvas.DrawImageRectRect(picture, x, y, width, height, 0, 0,
                                                             static_cast<float>(picture.GetWidth()),
                                                             static_cast<float>(picture.GetHeight()),
                                                             Gdiplus::UnitPixel, &mirrorEdges);
    return drawn && picture.GetNativeHandle() != nullptr;
}

// A picture given by file is drawn 14 pixels taller than asked.
constexpr int kFileOverhang = 14;

bool DrawLoadedPicture(float x, float y, float width, float height) {
    AppState& app = App();
    const bool drawn = DrawWholePicture(app.previewImage, x, y, width, height);
    app.previewImage.Dispose();
    return drawn;
}

// The picture-mode steps: the selected file, multiplied with the watermark
// picture at the watermark position, becomes the panel's picture.
void ComposePictureWatermark() {
    AppState& app = App();
    DrawPanel& panel = Ui<DrawPanel>(画板1);
    ListBox& list = Ui<ListBox>(列表框1);
    panel.SetPicture(Bytes());
    app.currentPicturePath = app.currentFolder + "\\" + list.ItemText(list.SelectedIndex());
    panel.SetPicture(ReadWholeFile(app.currentPicturePath));
    BmpHeader picture;
    ReadBmpHeader(panel.Picture(), picture);
    OfferPreparedSnapshot(app.currentPicturePath, panel);
    app.baseBitmap = panel.Snapshot(picture.width, picture.height);
    app.watermarkBitmap = Ui<PictureBox>(图片框3).Picture();
    app.composedBitmap =
        BlendPictureWatermark(app.baseBitmap, app.watermarkBitmap, app.watermarkPosition.x, app.watermarkPosition.y);
    panel.SetPicture(app.composedBitmap);
}

}  // namespace

bool DrawPictureBackground(const Bytes& picture, int x, int y, int width, int height) {
    App().previewImage.LoadFromBytes(picture);
    return DrawLoadedPicture(static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
                             static_cast<float>(height));
}

namespace {

// The last picture decoded from a file, kept while the file keeps its size
// and time of writing: every repaint of the preview would otherwise decode
// the same file again. A clone holds the same pixels in the same format, so
// drawing it gives what drawing a fresh decode gives.
struct DecodedFile {
    std::string path;
    FileStamp stamp;
    Image image;
    bool valid = false;
};

// The picture of the file at `path`: the kept decode when the file is
// unchanged, or else `fresh`, loaded from the file now.
Image& PictureOfFile(const std::string& path, Image& fresh) {
    static DecodedFile cached;
    FileStamp stamp;
    if (!ReadFileStamp(path, stamp)) {
        cached.valid = false;
        fresh.LoadFromFile(path);
        return fresh;
    }
    if (cached.valid && cached.path == path && cached.stamp == stamp) return cached.image;
    cached.valid = false;
    auto keep = [&] {
        cached.path = path;
        cached.stamp = stamp;
        cached.valid = true;
    };
    // Showing a file in the panel has just decoded these very bytes.
    if (Gdiplus::GpImage* shown = CloneRememberedPicture(ReadWholeFile(path))) {
        cached.image.Dispose();
        cached.image.SetNativeHandle(shown);
        keep();
        return cached.image;
    }
    if (!fresh.LoadFromFile(path)) return fresh;
    // A clone, not the loaded picture itself: that one may keep the file open.
    if (fresh.CloneInto(cached.image)) keep();
    return fresh;
}

}  // namespace

bool DrawPictureBackground(const std::string& path, int x, int y, int width, int height) {
    AppState& app = App();
    Image& picture = PictureOfFile(path, app.previewImage);
    const bool drawn = DrawWholePicture(picture, static_cast<float>(x), static_cast<float>(y),
                                        static_cast<float>(width), static_cast<float>(height + kFileOverhang));
    app.previewImage.Dispose();
    return drawn;
}

void TakeUpPreparedFile(const std::string& path) {
    AppState& app = App();
    if (app.watermarkMode == 2) {
        OfferPreparedSnapshot(path, Ui<DrawPanel>(画板1));
        return;
    }
    BackgroundSource file;
    if (!ReadFileStamp(path, file.stamp)) return;
    file.path = path;
    AdoptPreparedBackground(app.previewCanvas, file, RECT{0, 0, app.previewSize.width, app.previewSize.height});
}

void PrepareFileAhead(const std::string& path) {
    AppState& app = App();
    // Picture mode draws the composed picture, not the file; what it needs
    // of the file is the panel's snapshot of it.
    if (app.watermarkMode == 2) {
        PrepareSnapshotAhead(path, Ui<DrawPanel>(画板1));
        return;
    }
    const PreviewSize size = app.previewSize;
    const RECT area{0, 0, size.width, size.height};
    // The same drawing as the rendering's, with the worker's own objects and
    // the flat calls alone: the wrappers record their status where the
    // user-interface thread reads it.
    PrepareBackgroundAhead(path, app.previewCanvas, area, [size](Gdiplus::GpGraphics* graphics,
                                                                 Gdiplus::GpBitmap* picture) {
        using namespace Gdiplus::DllExports;
        Gdiplus::GpImageAttributes* mirrorEdges = nullptr;
        if (GdipCreateImageAttributes(&mirrorEdges) != Gdiplus::Ok || !mirrorEdges) return false;
        const bool drawn = [&] {
            UINT width = 0, height = 0;
            return GdipSetImageAttributesWrapMode(mirrorEdges, kPictureEdges, 0, FALSE) == Gdiplus::Ok &&
                   GdipGetImageWidth(picture, &width) == Gdiplus::Ok &&
                   GdipGetImageHeight(picture, &height) == Gdiplus::Ok &&
                   GdipDrawImageRectRect(graphics, picture, 0, 0, static_cast<float>(size.width),
                                         static_cast<float>(size.height + kFileOverhang), 0, 0,
                                         static_cast<float>(width), static_cast<float>(height), Gdiplus::UnitPixel,
                                         mirrorEdges, nullptr, nullptr) == Gdiplus::Ok;
        }();
        GdipDisposeImageAttributes(mirrorEdges);
        return drawn;
    });
}

namespace {
int renders = 0;
}

int RenderCount() { return renders; }

void RenderPreview() {
    if (!HasAppState()) return;
    ++renders;
    AppState& app = App();
    Canvas& canvas = app.previewCanvas;
    const PreviewSize size = app.previewSize;
    const RECT area{0, 0, size.width, size.height};
    // Picture mode clears the canvas again before any of it is shown, so a
    // background drawn first would never be seen.
    if (app.watermarkMode == 2) {
        canvas.Clear();
    } else if (!app.currentPicturePath.empty() && FindFirstFileExists(app.currentPicturePath)) {
        BackgroundSource file;
        if (ReadFileStamp(app.currentPicturePath, file.stamp)) file.path = app.currentPicturePath;
        ClearAndDrawBackground(canvas, file, area, [&] {
            return DrawPictureBackground(app.currentPicturePath, 0, 0, size.width, size.height);
        });
    } else {
        const Bytes& shown = Ui<DrawPanel>(画板1).Picture();
        ClearAndDrawBackground(canvas, BackgroundSource{std::string(), FileStamp(), &shown}, area,
                               [&] { return DrawPictureBackground(shown, 0, 0, size.width, size.height); });
    }
    if (app.watermarkMode == 1) {
        std::string text = app.watermarkText;
        ComboBox& sizes = Ui<ComboBox>(组合框_大小选择);
        DrawTextWatermark(app.watermarkPosition.x, app.watermarkPosition.y, text,
                          Ui<ComboBox>(组合框_字体选择).Text(), sizes.ItemData(sizes.SelectedIndex()),
                          Ui<ColorPicker>(颜色选择器_颜色选择).Color(), Ui<Slider>(滑块条).Position(),
                          app.fontStyle);
    } else if (app.watermarkMode == 2) {
        ComposePictureWatermark();
        // The canvas is what reaches the panel last: it must show the
        // watermarked picture, or the preview and every snapshot of it would
        // lose the watermark again.
        ClearAndDrawBackground(canvas, BackgroundSource{std::string(), FileStamp(), &app.composedBitmap}, area,
                               [&] {
                                   return DrawPictureBackground(app.composedBitmap, 0, 0, size.width, size.height);
                               });
    }
    canvas.PresentRect(0, 0, size.width, size.height);
    RepaintGuideLines();
    // The panel now shows the whole preview; pictures set on the way asked
    // for a repaint that would only render it again.
    ValidateRect(Ui<DrawPanel>(画板1).Handle(), nullptr);
}

int32_t MakeArgb(COLORREF color, int alpha, bool useAlpha) {
    uint32_t red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
    uint32_t a = useAlpha ? static_cast<uint32_t>(alpha) & 0xFF : 0xFF;
    return static_cast<int32_t>((a << 24) | (red << 16) | (green << 8) | blue);
}

Gdiplus::RectF DrawTextWatermark(int x, int y, std::string& text, std::optional<std::string> fontName,
                                 std::optional<int> size, std::optional<COLORREF> color,
                                 std::optional<int> opacity, std::optional<int> style) {
    AppState& app = App();
    Canvas& canvas = app.previewCanvas;

    FontFamily family;
    {
        FontCollection installed;
        family.CreateFromName(fontName ? *fontName : std::string("微软雅黑"), installed);
    }
    int emSize = size.value_or(0) == 0 ? 16 : *size;
    Font font;
    font.Create(family, static_cast<float>(emSize), style.value_or(0), Gdiplus::UnitPixel);

    // The picker's colour is read again here; the colour passed in only
    // says whether one was given.
    COLORREF textColor = color ? Ui<ColorPicker>(颜色选择器_颜色选择).Color() : 0x0000FF;
    int alpha = (!opacity || *opacity == 0 || *opacity > 255) ? 150 : *opacity;
    SolidBrush brush;
    brush.Create(static_cast<uint32_t>(MakeArgb(textColor, alpha, true)));

    if (text.empty()) text = app.watermarkText;

    Gdiplus::RectF box(0, 0, 0, 0);
    {
        StringFormat measuring;
        canvas.MeasureString(text, font, Gdiplus::RectF(0, 0, 0, 0), measuring, box);
    }
    box.X = static_cast<float>(x);
    box.Y = static_cast<float>(y);
    {
        StringFormat drawing;
        canvas.DrawString(text, font, brush, box, drawing);
    }
    canvas.PresentRect(0, 0, canvas.GetWindowWidth(), canvas.GetWindowHeight());
    RepaintGuideLines();
    return box;
}

}  // namespace varnel
