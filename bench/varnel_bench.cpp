// Times the program's own work in process, without the pauses the batch runs
// and the grid cut make on purpose. Prints "figure NAME VALUE" lines for
// bench/run to collect.
//
//   varnel_bench.exe WORKDIR REPS            every job
//   varnel_bench.exe WORKDIR 1 halves-memory only the halves cut, then peak memory
//   varnel_bench.exe WORKDIR 1 watermark-memory  the text run over WORKDIR\memory-run, then peak memory
//   varnel_bench.exe WORKDIR 1 file-steps    a watermark file's and a cut's steps, each timed
//   varnel_bench.exe WORKDIR 1 run-steps     both runs over WORKDIR\text-1 and picture-1, step by step
//   varnel_bench.exe WORKDIR 1 batch-steps   one batch file's primitives, each timed
//   varnel_bench.exe WORKDIR 1 startup-steps what start-up spends, piece by piece
//   varnel_bench.exe WORKDIR 1 scale-shots   the preview scaled both ways, to compare by eye
//   varnel_bench.exe WORKDIR 1 outputs       both watermark batches and preview snapshots
//                                            over WORKDIR\ident-*, for comparing builds
//   varnel_bench.exe WORKDIR 1 quality       both watermark batches over WORKDIR\quality-*
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/operations/file_watermark.h"
#include "app/operations/splitting.h"
#include "app/operations/watermark_blend.h"
#include "app/shell/app_state.h"
#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "app/shell/main_window.h"
#include "app/shell/startup.h"
#include "app/operations/watermark_rendering.h"
#include "graphics/objects/graphics_object.h"
#include "graphics/objects/image.h"
#include "graphics/objects/memory_image.h"
#include "platform/bmp_image.h"
#include "platform/components.h"
#include "platform/exif.h"
#include "platform/picture_codec.h"
#include "platform/file_services.h"
#include "platform/resource_data.h"
#include "platform/smooth_scale.h"
#include "platform/system_services.h"
#include "resources/resource_ids.h"

using namespace varnel;

namespace {

double Now() {
    static LARGE_INTEGER frequency{};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Figure(const char* name, double value) {
    std::printf("figure %s %.3f\n", name, value);
    std::fflush(stdout);
}

std::string workdir;
std::string At(const std::string& relative) { return workdir + "\\" + relative; }

// The text runs need a face that exists here; the default one may not.
void PickFont(const std::string& face) {
    ComboBox& fonts = Ui<ComboBox>(ui::组合框_字体选择);
    for (int i = 0; i < fonts.Count(); ++i) {
        if (fonts.ItemText(i) == face) fonts.SetSelectedIndex(i);
    }
    if (fonts.Text() != face) std::fprintf(stderr, "font %s not found\n", face.c_str());
}

void ListFolder(const std::string& folder) {
    App().currentFolder = folder;
    std::string listed = folder;
    ListFolderFiles(listed);
}

// The time for one full pass over a listed folder, per file.
double BatchPerFile(BatchOperation operation, const std::string& folder) {
    ListFolder(folder);
    const int count = Ui<ListBox>(ui::列表框1).Count();
    if (count == 0) return 0;
    const double start = Now();
    for (int i = 1; i <= count; ++i) RunBatchItem(operation, i, 0);
    return (Now() - start) / count;
}

void CutHalves(const std::string& source, const std::string& folder) {
    Bytes picture = ReadWholeFile(source);
    std::vector<Bytes> pieces;
    if (CutPicture(picture, pieces, 2, CutDirection::SideBySide, PictureFormat::Jpeg)) {
        (void)WriteWholeFile(folder + "\\photo-4000_1.jpeg", pieces[0]);
        (void)WriteWholeFile(folder + "\\photo-4000_2.jpeg", pieces[1]);
    }
}

// Where the time of one half goes: decode, draw, encode, write.
int CutSteps() {
    using namespace Gdiplus::DllExports;
    StartImagingService();
    StartImaging();
    double start = Now();
    Bytes picture = ReadWholeFile(At("in\\photo-4000.jpg"));
    MemoryImage source;
    (void)source.LoadFromBytes(picture);
    Figure("cut_step_decode_ms", Now() - start);
    const int w = source.GetWidth() / 2, h = source.GetHeight();
    MemoryImage piece;
    start = Now();
    piece.CreateBitmap(w, h);
    Gdiplus::GpGraphics* graphics = nullptr;
    GdipGetImageGraphicsContext(piece.GetImage(), &graphics);
    GdipDrawImageRectRect(graphics, source.GetImage(), 0, 0, static_cast<float>(w), static_cast<float>(h), 0, 0,
                          static_cast<float>(w), static_cast<float>(h), Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
    GdipDeleteGraphics(graphics);
    Figure("cut_step_draw_ms", Now() - start);
    start = Now();
    Bytes png = piece.EncodeToBytes(kFormatPng);
    Figure("cut_step_encode_ms", Now() - start);
    Figure("cut_step_png_mb", static_cast<double>(png.size()) / (1024.0 * 1024.0));
    {
        // The same encode into a stream that already has room for it.
        IStream* stream = nullptr;
        CreateStreamOnHGlobal(nullptr, TRUE, &stream);
        ULARGE_INTEGER room;
        room.QuadPart = static_cast<ULONGLONG>(w) * h * 4;
        stream->SetSize(room);
        CLSID encoder{};
        CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &encoder);
        start = Now();
        GdipSaveImageToStream(piece.GetImage(), stream, &encoder, nullptr);
        LARGE_INTEGER zero{};
        ULARGE_INTEGER at{};
        stream->Seek(zero, STREAM_SEEK_CUR, &at);
        Figure("cut_step_encode_roomy_ms", Now() - start);
        Figure("cut_step_encode_roomy_mb", static_cast<double>(at.QuadPart) / (1024.0 * 1024.0));
        stream->Release();
    }
    start = Now();
    (void)WriteWholeFile(At("out\\half-probe.png"), png);
    Figure("cut_step_write_ms", Now() - start);
    return 0;
}

// Where one text batch file's time goes, primitive by primitive.
int BatchSteps() {
    using namespace Gdiplus::DllExports;
    if (!StartUp(SW_SHOWNORMAL)) return 1;
    ProcessPendingEvents();
    MainWindow().SetQuitOnClose(false);
    AppState& app = App();
    const std::string path = At("preview\\photo.jpg");
    std::vector<double> read, decode, load, clone, draw, lay, present, shot, write;
    DrawPanel& panel = Ui<DrawPanel>(ui::画板1);
    for (int r = 0; r < 8; ++r) {
        double start = Now();
        Bytes bytes = ReadWholeFile(path);
        read.push_back(Now() - start);
        start = Now();
        Bytes bmp = DecodePictureToBmp24(bytes);
        decode.push_back(Now() - start);
        start = Now();
        Image fresh;
        (void)fresh.LoadFromFile(path);
        fresh.GetWidth();
        load.push_back(Now() - start);
        Image kept;
        start = Now();
        fresh.CloneInto(kept);
        clone.push_back(Now() - start);
        start = Now();
        app.renderer.GetCanvas().DrawImageRectRect(kept, 0, 0, static_cast<float>(app.previewSize.width),
                                            static_cast<float>(app.previewSize.height + 14), 0, 0,
                                            static_cast<float>(kept.GetWidth()), static_cast<float>(kept.GetHeight()),
                                            Gdiplus::UnitPixel, nullptr);
        draw.push_back(Now() - start);
        bmp[60] ^= static_cast<unsigned char>(r + 1);
        start = Now();
        panel.SetPicture(bmp);
        lay.push_back(Now() - start);
        start = Now();
        app.renderer.GetCanvas().PresentRect(0, 0, app.previewSize.width, app.previewSize.height);
        present.push_back(Now() - start);
        start = Now();
        Bytes snapshot = panel.Snapshot(1600, 1000);
        shot.push_back(Now() - start);
        start = Now();
        (void)WriteWholeFile(At("out\\probe.bmp"), snapshot);
        write.push_back(Now() - start);
    }
    Figure("probe_read_ms", Median(read));
    Figure("probe_decode_to_bmp_ms", Median(decode));
    Figure("probe_load_file_ms", Median(load));
    Figure("probe_clone_ms", Median(clone));
    Figure("probe_draw_scaled_ms", Median(draw));
    Figure("probe_panel_lay_ms", Median(lay));
    Figure("probe_present_ms", Median(present));
    Figure("probe_snapshot_ms", Median(shot));
    Figure("probe_write_ms", Median(write));
    std::fflush(stdout);
    ExitProcess(0);
}

// Runs both watermark batches twice over folders of assorted pictures and
// writes what the preview shows of each, so that two builds' outputs can be
// compared byte for byte.
// The window started for the runs: the bench's mark, a text, a face, (10, 10).
bool StartForRuns() {
    if (!StartUp(SW_SHOWNORMAL)) return false;
    ProcessPendingEvents();
    MainWindow().SetQuitOnClose(false);
    AppState& app = App();
    Ui<PictureBox>(ui::图片框3).SetPicture(ReadWholeFile(At("in\\mark.bmp")));
    app.watermarkText = "Varnel";
    app.watermarkPosition = WatermarkPosition{10, 10};
    PickFont("文泉驿微米黑");
    return true;
}

// Runs one watermark batch over every file of a folder of the work dir.
void RunOver(const std::string& folder, BatchOperation operation) {
    App().watermarkMode = operation == BatchOperation::Text ? WatermarkMode::Text : WatermarkMode::Picture;
    ListFolder(At(folder));
    for (int i = 1; i <= Ui<ListBox>(ui::列表框1).Count(); ++i) RunBatchItem(operation, i, 0);
}

int Outputs() {
    if (!StartForRuns()) return 1;
    AppState& app = App();
    ListBox& list = Ui<ListBox>(ui::列表框1);
    for (int pass = 1; pass <= 2; ++pass) {
        RunOver("ident-text", BatchOperation::Text);
        RunOver("ident-picture", BatchOperation::Picture);
        for (int mode = 1; mode <= 2; ++mode) {
            app.watermarkMode = static_cast<WatermarkMode>(mode);
            ListFolder(At("ident-preview"));
            for (int i = 0; i < list.Count(); ++i) {
                list.SetSelectedIndex(i);
                LoadListItem();
                ProcessPendingEvents();
                for (int again = 0; again < 2; ++again) {
                    app.watermarkPosition = WatermarkPosition{10 + 40 * again, 10};
                    RenderPreview();
                    Bytes shot = Ui<DrawPanel>(ui::画板1).Snapshot(app.previewSize.width, app.previewSize.height);
                    (void)WriteWholeFile(At("ident-shots\\p" + std::to_string(pass) + "-m" + std::to_string(mode) + "-" +
                                      std::to_string(i) + "-" + std::to_string(again) + ".bmp"),
                                   shot);
                }
                app.watermarkPosition = WatermarkPosition{10, 10};
            }
        }
    }
    std::fflush(stdout);
    ExitProcess(0);
}

// Both watermark runs over WORKDIR\quality-text and WORKDIR\quality-picture,
// for measuring what the written files keep of the originals.
int Quality() {
    if (!StartForRuns()) return 1;
    RunOver("quality-text", BatchOperation::Text);
    RunOver("quality-picture", BatchOperation::Picture);
    std::fflush(stdout);
    ExitProcess(0);
}

// What start-up spends before the main window shows, piece by piece, each
// timed the first time it runs in the process.
int StartupSteps() {
    double start = Now();
    InitAppState();
    Figure("startup_step_state_and_imaging_ms", Now() - start);
    start = Now();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    Figure("startup_step_common_controls_ms", Now() - start);
    start = Now();
    const size_t faces = CollectFontNames().size();
    Figure("startup_step_font_names_ms", Now() - start);
    Figure("startup_step_font_count", static_cast<double>(faces));
    start = Now();
    Bytes sample = DecodePictureToBmp24(LoadResourceBytes(IDR_SAMPLE_PICTURE));
    Figure("startup_step_sample_decode_ms", Now() - start);
    start = Now();
    if (!MainWindow().Load(MainWindowDefinition(), SW_SHOWNORMAL)) return 1;
    Figure("startup_step_window_load_ms", Now() - start);
    start = Now();
    ProcessPendingEvents();
    Figure("startup_step_pending_events_ms", Now() - start);
    std::fflush(stdout);
    ExitProcess(0);
}

// The preview of the 1600 x 1000 picture scaled by the imaging service and
// by the program's own filter, written side by side for the eye to compare.
int ScaleShots() {
    using namespace Gdiplus::DllExports;
    if (!StartUp(SW_SHOWNORMAL)) return 1;
    ProcessPendingEvents();
    AppState& app = App();
    Canvas& canvas = app.renderer.GetCanvas();
    const int width = app.previewSize.width, height = app.previewSize.height;
    BitmapOwner picture(DecodeBitmap(ReadWholeFile(At("in\\photo-1600.jpg"))));
    const Bytes bmp = BitmapToBmp24(picture.bitmap);
    Image shown;
    Gdiplus::GpImage* copy = nullptr;
    GdipCloneImage(picture.bitmap, &copy);
    shown.SetNativeHandle(copy);
    canvas.Clear();
    canvas.DrawImageRectRect(shown, 0, 0, static_cast<float>(width), static_cast<float>(height), 0, 0,
                             static_cast<float>(shown.GetWidth()), static_cast<float>(shown.GetHeight()),
                             Gdiplus::UnitPixel, nullptr);
    GdipFlush(canvas.GetGraphics(), Gdiplus::FlushIntentionSync);
    (void)WriteWholeFile(At("out\\scale-imaging.bmp"), SnapshotToBmp24(canvas.GetMemoryDc(), 0, 0, width, height,
                                                                     width, height));
    canvas.Clear();
    DrawBmpSmooth(canvas.GetMemoryDc(), bmp, width, height, canvas.GetWidth(), canvas.GetHeight());
    (void)WriteWholeFile(At("out\\scale-own.bmp"), SnapshotToBmp24(canvas.GetMemoryDc(), 0, 0, width, height,
                                                                 width, height));
    std::fflush(stdout);
    ExitProcess(0);
}

// Where a watermark file's time and a cut's time go, step by step, each
// step alone on an idle machine: the runs overlap some of them.
void FileSteps(const FileMarking& marking, int reps) {
    using namespace Gdiplus::DllExports;
    std::vector<double> read, decode, copy, clone, plain, text, picture, encode, exif, write;
    const std::string path = At("preview\\photo.jpg");
    for (int r = 0; r < std::max(9, reps * 3); ++r) {
        double start = Now();
        const Bytes bytes = ReadWholeFile(path);
        read.push_back(Now() - start);
        start = Now();
        BitmapOwner decoded(DecodeBitmap(bytes));
        decode.push_back(Now() - start);
        start = Now();
        Gdiplus::GpImage* cloned = nullptr;
        GdipCloneImage(decoded.bitmap, &cloned);
        clone.push_back(Now() - start);
        BitmapOwner cloneOwner(static_cast<Gdiplus::GpBitmap*>(cloned));
        start = Now();
        BitmapOwner work(WorkingCopy(decoded.bitmap, false));
        copy.push_back(Now() - start);
        // The drawing is what marking takes beyond a marking with nothing to draw.
        FileMarking none = marking, withText = marking, withMark = marking;
        none.mode = WatermarkMode::None;
        withText.mode = WatermarkMode::Text;
        withMark.mode = WatermarkMode::Picture;
        start = Now();
        (void)MarkFile(bytes, path, none, decoded.bitmap);
        plain.push_back(Now() - start);
        start = Now();
        (void)MarkFile(bytes, path, withText, decoded.bitmap);
        text.push_back(Now() - start);
        start = Now();
        (void)MarkFile(bytes, path, withMark, decoded.bitmap);
        picture.push_back(Now() - start);
        start = Now();
        Bytes encoded = EncodePicture(work.bitmap, PictureFormat::Jpeg);
        encode.push_back(Now() - start);
        start = Now();
        encoded = WithMetadataOf(encoded, bytes);
        exif.push_back(Now() - start);
        start = Now();
        (void)WriteWholeFile(At("out\\step.jpg"), encoded);
        write.push_back(Now() - start);
    }
    Figure("step_file_read_ms", Median(read));
    Figure("step_file_decode_ms", Median(decode));
    Figure("step_file_clone_decode_ms", Median(clone));
    Figure("step_file_working_copy_ms", Median(copy));
    Figure("step_file_mark_nothing_ms", Median(plain));
    // The drawing is small beside the encode: the fastest of each, which a
    // busy machine disturbs least, tell it best.
    auto fastest = [](const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); };
    Figure("step_file_draw_text_ms", fastest(text) - fastest(plain));
    Figure("step_file_multiply_mark_ms", fastest(picture) - fastest(plain));
    Figure("step_file_encode_ms", Median(encode));
    Figure("step_file_exif_ms", Median(exif));
    Figure("step_file_write_ms", Median(write));

    std::vector<double> cutRead, cutDecode, cutEncode, cutWrite;
    for (int r = 0; r < std::max(3, reps); ++r) {
        double start = Now();
        const Bytes bytes = ReadWholeFile(At("in\\photo-4000.jpg"));
        cutRead.push_back(Now() - start);
        start = Now();
        LockedPicture source(bytes);
        cutDecode.push_back(Now() - start);
        start = Now();
        const Bytes half = source.Encode(0, 0, source.Width() / 2, source.Height(), PictureFormat::Jpeg);
        cutEncode.push_back(Now() - start);
        start = Now();
        (void)WriteWholeFile(At("out\\step-half.jpg"), half);
        cutWrite.push_back(Now() - start);
    }
    Figure("step_cut_read_ms", Median(cutRead));
    Figure("step_cut_decode_ms", Median(cutDecode));
    Figure("step_cut_encode_half_ms", Median(cutEncode));
    Figure("step_cut_write_half_ms", Median(cutWrite));
}

// One pass of a watermark run over a folder, the steps of each file as the
// run takes them, timed one by one; printed per file.
void RunSteps(BatchOperation operation, const std::string& folder, const char* prefix) {
    AppState& app = App();
    app.watermarkMode = operation == BatchOperation::Text ? WatermarkMode::Text : WatermarkMode::Picture;
    ListFolder(At(folder));
    ListBox& list = Ui<ListBox>(ui::列表框1);
    const FileMarking marking = CurrentMarking(TextStyle::Bold, true);
    const int count = list.Count();
    double load = 0, takeUp = 0, ahead = 0, render = 0, events = 0, text = 0, take = 0, mark = 0, write = 0;
    const double begin = Now();
    for (int number = 1; number <= count; ++number) {
        double start = Now();
        list.SetSelectedIndex(number - 1);
        LetGoOfLargePicture();
        const Bytes original = LoadSelectedFile();
        load += Now() - start;
        const std::string path = app.currentPicturePath;
        start = Now();
        app.renderer.TakeUpPrepared(path, original, app.watermarkMode, app.previewSize);
        takeUp += Now() - start;
        start = Now();
        if (number < count) {
            const PictureSurface::Backing backing = Ui<DrawPanel>(ui::画板1).FreshBacking();
            app.renderer.PrepareAhead(app.currentFolder + "\\" + list.ItemText(number), app.watermarkMode,
                                      app.previewSize, LaidBacking{backing.width, backing.height});
        }
        ahead += Now() - start;
        start = Now();
        RenderPreview(operation != BatchOperation::Text);
        render += Now() - start;
        start = Now();
        ProcessPendingEvents();
        events += Now() - start;
        if (operation == BatchOperation::Text) {
            start = Now();
            (void)DrawTextWatermark(app.renderer.GetCanvas(), ReadWatermarkSettings(), TextStyle::Bold);
            PresentPreview();
            text += Now() - start;
        }
        start = Now();
        DecodeCache::Decoded shown;
        app.renderer.TakeRemembered(original, shown);
        take += Now() - start;
        start = Now();
        MarkedFile marked = MarkFile(original, path, marking, shown.picture.bitmap, true);
        mark += Now() - start;
        start = Now();
        (void)WriteWholeFile(path, marked.bytes);
        write += Now() - start;
    }
    const double total = Now() - begin;
    const std::string p = prefix;
    Figure((p + "_load_and_show_ms").c_str(), load / count);
    Figure((p + "_take_up_prepared_ms").c_str(), takeUp / count);
    Figure((p + "_prepare_ahead_ms").c_str(), ahead / count);
    Figure((p + "_render_preview_ms").c_str(), render / count);
    Figure((p + "_pending_events_ms").c_str(), events / count);
    Figure((p + "_draw_run_text_ms").c_str(), text / count);
    Figure((p + "_take_decode_ms").c_str(), take / count);
    Figure((p + "_mark_and_encode_ms").c_str(), mark / count);
    Figure((p + "_write_ms").c_str(), write / count);
    Figure((p + "_per_file_ms").c_str(), total / count);
}

// The text run over the large pictures of WORKDIR\\memory-run, as the
// window runs it, then the process's peak memory.
int WatermarkMemory() {
    if (!StartForRuns()) return 1;
    RunOver("memory-run", BatchOperation::Text);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    Figure("watermark_4000_peak_working_set_mb",
           static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0));
    std::fflush(stdout);
    ExitProcess(0);
}

int HalvesMemory() {
    StartImagingService();
    StartImaging();
    CutHalves(At("in\\photo-4000.jpg"), At("out\\halves-memory"));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    Figure("halves_peak_working_set_mb", static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: varnel_bench WORKDIR REPS [halves-memory]\n");
        return 2;
    }
    workdir = argv[1];
    const int reps = std::max(1, std::atoi(argv[2]));
    if (argc > 3 && std::string(argv[3]) == "halves-memory") return HalvesMemory();
    if (argc > 3 && std::string(argv[3]) == "cut-steps") return CutSteps();
    if (argc > 3 && std::string(argv[3]) == "startup-steps") return StartupSteps();
    if (argc > 3 && std::string(argv[3]) == "scale-shots") return ScaleShots();
    if (argc > 3 && std::string(argv[3]) == "batch-steps") return BatchSteps();
    if (argc > 3 && std::string(argv[3]) == "outputs") return Outputs();
    if (argc > 3 && std::string(argv[3]) == "quality") return Quality();
    if (argc > 3 && std::string(argv[3]) == "watermark-memory") return WatermarkMemory();
    if (argc > 3 && std::string(argv[3]) == "run-steps") {
        if (!StartForRuns()) return 1;
        RunSteps(BatchOperation::Text, "steps-text", "step_text_run");
        RunSteps(BatchOperation::Picture, "steps-picture", "step_picture_run");
        ExitProcess(0);
    }
    if (argc > 3 && std::string(argv[3]) == "file-steps") {
        if (!StartForRuns()) return 1;
        App().watermarkMode = WatermarkMode::Text;
        FileSteps(CurrentMarking(TextStyle::Bold, true), reps);
        ExitProcess(0);
    }

    double start = Now();
    if (!StartUp(SW_SHOWNORMAL)) return 1;
    ProcessPendingEvents();
    Figure("startup_ms", Now() - start);
    MainWindow().SetQuitOnClose(false);

    AppState& app = App();
    const WatermarkMode startMode = app.watermarkMode;
    Bytes mark = ReadWholeFile(At("in\\mark.bmp"));
    Ui<PictureBox>(ui::图片框3).SetPicture(mark);
    PickFont("文泉驿微米黑");
    app.watermarkText = "Varnel";
    app.watermarkPosition = WatermarkPosition{10, 10};
    Figure("panel_width", app.previewSize.width);
    Figure("panel_height", app.previewSize.height);

    // The preview of one 1600 x 1000 picture, as selecting it in the list shows it.
    const int previewReps = std::max(3, reps * 4);
    ListFolder(At("preview"));
    Ui<ListBox>(ui::列表框1).SetSelectedIndex(0);
    app.currentPicturePath = At("preview\\photo.jpg");
    for (int mode = 1; mode <= 2; ++mode) {
        app.watermarkMode = static_cast<WatermarkMode>(mode);
        RenderPreview();  // the first call warms fonts and caches alike for both
        std::vector<double> times;
        for (int r = 0; r < previewReps; ++r) {
            start = Now();
            RenderPreview();
            times.push_back(Now() - start);
        }
        Figure(mode == 1 ? "render_preview_text_ms" : "render_preview_picture_ms", Median(times));
    }
    // Selecting another picture: loading it decodes it, the first rendering
    // of it scales it onto the canvas.
    {
        app.watermarkMode = WatermarkMode::Text;
        ListBox& list = Ui<ListBox>(ui::列表框1);
        std::vector<double> shown, rendered;
        for (int r = 0; r < previewReps; ++r) {
            list.SetSelectedIndex(r % 2);
            start = Now();
            // What selecting in the list runs, with the rendering apart.
            LoadSelectedFile();
            const double loaded = Now();
            RenderPreview();
            rendered.push_back(Now() - loaded);
            shown.push_back(Now() - start);
        }
        Figure("render_preview_text_new_picture_ms", Median(rendered));
        Figure("select_and_show_new_picture_ms", Median(shown));
        // The list's own handler, stepping between neighbours at once: what
        // it prepares ahead for the neighbour has had no time to finish.
        std::vector<double> stepped;
        for (int r = 0; r < previewReps; ++r) {
            list.SetSelectedIndex(r % 2);
            start = Now();
            LoadListItem();
            stepped.push_back(Now() - start);
        }
        Figure("select_neighbour_at_once_ms", Median(stepped));
        // The same with a person's pause between the steps.
        stepped.clear();
        for (int r = 0; r < previewReps; ++r) {
            list.SetSelectedIndex(r % 2);
            Sleep(300);
            start = Now();
            LoadListItem();
            stepped.push_back(Now() - start);
        }
        Figure("select_neighbour_after_pause_ms", Median(stepped));
    }
    // Where that time goes, primitive by primitive.
    {
        using namespace Gdiplus::DllExports;
        std::vector<double> read, decode, lay, scale, smooth, present;
        DrawPanel& panel = Ui<DrawPanel>(ui::画板1);
        Canvas& canvas = app.renderer.GetCanvas();
        for (int r = 0; r < previewReps; ++r) {
            start = Now();
            Bytes bytes = ReadWholeFile(At(r % 2 ? "preview\\photo-2.jpg" : "preview\\photo.jpg"));
            read.push_back(Now() - start);
            start = Now();
            Bytes bmp;
            BitmapOwner picture;
            (void)DecodeBmp24AndBitmap(bytes, bmp, picture);
            decode.push_back(Now() - start);
            start = Now();
            panel.SetPicture(bmp);
            lay.push_back(Now() - start);
            Image shown;
            Gdiplus::GpImage* copy = nullptr;
            GdipCloneImage(picture.bitmap, &copy);
            shown.SetNativeHandle(copy);
            start = Now();
            canvas.Clear();
            canvas.DrawImageRectRect(shown, 0, 0, static_cast<float>(app.previewSize.width),
                                     static_cast<float>(app.previewSize.height), 0, 0,
                                     static_cast<float>(shown.GetWidth()), static_cast<float>(shown.GetHeight()),
                                     Gdiplus::UnitPixel, nullptr);
            GdipFlush(canvas.GetGraphics(), Gdiplus::FlushIntentionSync);
            scale.push_back(Now() - start);
            start = Now();
            DrawBmpSmooth(canvas.GetMemoryDc(), bmp, app.previewSize.width, app.previewSize.height, canvas.GetWidth(),
                          canvas.GetHeight());
            smooth.push_back(Now() - start);
            start = Now();
            PresentPreview();
            present.push_back(Now() - start);
        }
        {
            // The same decode straight from the imaging component beneath the imaging service.
            std::vector<double> wic;
            IWICImagingFactory* factory = nullptr;
            CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
            for (int r = 0; factory && r < previewReps; ++r) {
                Bytes bytes = ReadWholeFile(At(r % 2 ? "preview\\photo-2.jpg" : "preview\\photo.jpg"));
                start = Now();
                IStream* stream = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
                IWICBitmapDecoder* decoder = nullptr;
                IWICBitmapFrameDecode* frame = nullptr;
                UINT w = 0, h = 0;
                if (SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand,
                                                               &decoder)) &&
                    SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&w, &h))) {
                    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 3);
                    frame->CopyPixels(nullptr, w * 3, static_cast<UINT>(pixels.size()), pixels.data());
                }
                if (frame) frame->Release();
                if (decoder) decoder->Release();
                stream->Release();
                wic.push_back(Now() - start);
            }
            if (factory) factory->Release();
            Figure("step_select_decode_wic_ms", Median(wic));
        }
        Figure("step_select_read_ms", Median(read));
        Figure("step_select_decode_ms", Median(decode));
        Figure("step_select_panel_picture_ms", Median(lay));
        Figure("step_select_imaging_scale_ms", Median(scale));
        Figure("step_select_own_scale_ms", Median(smooth));
        Figure("step_select_present_ms", Median(present));
    }

    {
        Bytes base = DecodePictureToBmp24(ReadWholeFile(At("in\\photo-1600.jpg")));
        std::vector<double> times;
        for (int r = 0; r < previewReps; ++r) {
            start = Now();
            Bytes blended = BlendPictureWatermark(base, mark, 10, 10);
            times.push_back(Now() - start);
            if (blended.empty()) std::fprintf(stderr, "blend gave nothing\n");
        }
        Figure("blend_ms", Median(times));
    }

    // Where the time of one text batch step goes, step by step.
    {
        app.watermarkMode = startMode;
        ListFolder(At("preview"));
        ListBox& list = Ui<ListBox>(ui::列表框1);
        std::vector<double> load, events, render, stamp, snapshot, write;
        for (int r = 0; r < previewReps; ++r) {
            list.SetSelectedIndex(0);
            start = Now();
            LoadListItem();
            load.push_back(Now() - start);
            start = Now();
            ProcessPendingEvents();
            events.push_back(Now() - start);
            start = Now();
            RenderPreview();
            render.push_back(Now() - start);
            WatermarkSettings settings;
            settings.text = app.watermarkText;
            settings.fontName = "Arial";
            settings.size = 16;
            settings.color = RGB(255, 0, 0);
            settings.opacity = 150;
            settings.position = WatermarkPosition{10, 10};
            start = Now();
            DrawTextWatermark(app.renderer.GetCanvas(), settings, TextStyle::Bold);
            PresentPreview();
            stamp.push_back(Now() - start);
            BmpHeader header;
            ReadBmpHeader(Ui<DrawPanel>(ui::画板1).Picture(), header);
            start = Now();
            Bytes shot = Ui<DrawPanel>(ui::画板1).Snapshot(header.width, header.height);
            snapshot.push_back(Now() - start);
            start = Now();
            (void)WriteWholeFile(At("out\\snapshot.bmp"), shot);
            write.push_back(Now() - start);
        }
        Figure("step_load_list_item_ms", Median(load));
        Figure("step_pending_events_ms", Median(events));
        Figure("step_render_preview_ms", Median(render));
        Figure("step_draw_text_ms", Median(stamp));
        Figure("step_snapshot_ms", Median(snapshot));
        Figure("step_write_file_ms", Median(write));
    }

    std::vector<double> text, picture, halves, grid, listing;
    for (int r = 1; r <= reps; ++r) {
        const std::string n = std::to_string(r);
        app.watermarkMode = startMode;
        text.push_back(BatchPerFile(BatchOperation::Text, At("text-" + n)));
        app.watermarkMode = WatermarkMode::Picture;
        picture.push_back(BatchPerFile(BatchOperation::Picture, At("picture-" + n)));

        start = Now();
        CutHalves(At("in\\photo-4000.jpg"), At("out\\halves-" + n));
        halves.push_back(Now() - start);

        start = Now();
        (void)CutGridPieces(ReadWholeFile(At("in\\photo-4000.jpg")), 4, 2, At("out\\grid-" + n) + "\\", "photo-4000");
        grid.push_back(Now() - start);

        start = Now();
        ListFolder(At("many"));
        // Painting the list is part of showing it.
        UpdateWindow(Ui<ListBox>(ui::列表框1).Handle());
        ProcessPendingEvents();
        listing.push_back(Now() - start);
    }
    Figure("listed_files", Ui<ListBox>(ui::列表框1).Count());
    Figure("text_batch_per_file_ms", Median(text));
    Figure("picture_batch_per_file_ms", Median(picture));
    Figure("halves_ms", Median(halves));
    Figure("grid_ms", Median(grid));
    Figure("list_folder_ms", Median(listing));
    FileSteps(CurrentMarking(TextStyle::Bold, true), reps);
    std::fflush(stdout);
    // The shell state's exit routine belongs to a normal end; skip window teardown costs.
    ExitProcess(0);
}
