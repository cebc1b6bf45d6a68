#include "app/operations/decode_cache.h"
#include "app/operations/grid_labels.h"
#include "app/operations/watermark_blend.h"
#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/bmp_format.h"
#include "platform/components.h"
#include "platform/file_services.h"

namespace varnel {

using namespace ui;

namespace {

// Picture mode: the selected file, multiplied with the watermark picture at
// the watermark position, becomes the panel's picture.
void ComposePictureWatermark() {
    AppState& app = App();
    DrawPanel& panel = Ui<DrawPanel>(画板1);
    ListBox& list = Ui<ListBox>(列表框1);
    app.currentPicturePath = app.currentFolder + "\\" + list.ItemText(list.SelectedIndex());
    const Bytes content = ReadWholeFile(app.currentPicturePath);
    // Each of these is the whole picture: none is copied into fresh memory
    // that the one before could take.
    const Bytes& picture = app.renderer.PanelPicture(content);
    const PictureSurface::Backing backing = panel.FreshBacking();
    app.renderer.SnapshotOfLaidPicture(picture, LaidBacking{backing.width, backing.height},
                                       app.baseBitmap);
    app.watermarkBitmap = Ui<PictureBox>(图片框3).Picture();
    BlendPictureWatermarkInto(app.baseBitmap, app.watermarkBitmap, app.watermarkPosition.x, app.watermarkPosition.y,
                              app.composedBitmap);
    panel.SetPicture(app.composedBitmap);
}

}  // namespace

void ShowOnPanel(const Bytes& fileBytes) { Ui<DrawPanel>(画板1).SetPicture(App().renderer.PanelPicture(fileBytes)); }

void LetGoOfLargePicture() {
    DrawPanel& panel = Ui<DrawPanel>(画板1);
    BmpHeader shown;
    if (!ReadBmpHeader(panel.Picture(), shown) ||
        static_cast<long long>(shown.width) * shown.height > kDecodeAheadPixels) {
        panel.SetPicture(Bytes());
    }
}

void RenderPreview(bool withWatermark) {
    if (!HasAppState()) return;
    AppState& app = App();
    PreviewScene scene;
    scene.settings = ReadWatermarkSettings();
    if (!withWatermark && scene.settings.mode == WatermarkMode::Text) scene.settings.mode = WatermarkMode::None;
    scene.size = app.previewSize;
    if (scene.settings.mode == WatermarkMode::Picture) {
        ComposePictureWatermark();
        scene.composed = &app.composedBitmap;
    } else {
        scene.picturePath = app.currentPicturePath;
        scene.shownPicture = &Ui<DrawPanel>(画板1).Picture();
    }
    app.renderer.Render(scene);
    PresentPreview();
}

void PresentPreview() {
    AppState& app = App();
    Canvas& canvas = app.renderer.GetCanvas();
    const PreviewSize size = app.previewSize;
    // While guide lines are shown, the preview says what the cut will give;
    // the files never come from the preview, so none of this is written.
    if (app.verticalCutCount > 0 || app.horizontalCutCount > 0) {
        BmpHeader picture;
        if (ReadBmpHeader(Ui<DrawPanel>(画板1).Picture(), picture)) {
            DrawGridLabels(canvas, size.width, size.height, app.verticalCutCount + 1, app.horizontalCutCount + 1,
                           picture.width, picture.height);
        }
    }
    // The panel keeps its own copy of what it shows: its snapshots never
    // pick up other windows' pixels, and a repaint shows it again.
    if (canvas.PresentRect(0, 0, size.width, size.height)) {
        Ui<DrawPanel>(画板1).ShowFrame(canvas.GetMemoryDc(), 0, 0, size.width, size.height, 0, 0);
    }
    RepaintGuideLines();
}

}  // namespace varnel
