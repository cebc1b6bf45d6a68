#include <doctest.h>

#include <sstream>

#include "app/operations/helpers.h"
#include "platform/components.h"
#include "tests/robustness/robustness_table.h"
#include "tests/support/win_test.h"

using namespace varnel;
using namespace varnel::robust;
using namespace ui;

namespace {

Bytes Part(const Bytes& b, size_t from, size_t to) { return Bytes(b.begin() + from, b.begin() + to); }

Bytes Scrambled(Bytes b, size_t from) {
    for (size_t i = from; i < b.size(); ++i) b[i] = static_cast<unsigned char>(b[i] ^ (0x5A + i * 7));
    return b;
}

struct BadFile {
    std::string name;
    Bytes bytes;
    bool mustShowNothing;  // no decoder may make a picture of it
    std::string what;
};

void RunPictureBatch() {
    Ui<EditBox>(编辑框1).SetText("0");
    Ui<EditBox>(编辑框2).SetText("0");
    RunBatch(BatchOperation::Picture, true);
    App().watermarkMode = WatermarkMode::None;
}

}  // namespace

TEST_CASE("damaged, disguised and lying picture files: no picture, and a batch keeps their files") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-robust-bad");
    std::vector<BadFile> files;
    for (const char* format : {"jpeg", "png", "bmp", "gif"}) {
        std::string ext = std::string(".") + (std::string(format) == "jpeg" ? "jpg" : format);
        Bytes good = test::MakePicture(200, 100, 0x3366CC, format);
        REQUIRE(good.size() > 64);
        files.push_back({"zero-byte" + ext, {}, true, "zero-byte " + ext});
        files.push_back({"truncated" + ext, Part(good, 0, good.size() / 2), false, "truncated " + ext + " (first half)"});
        files.push_back({"nearly-whole" + ext, Part(good, 0, good.size() * 9 / 10), false,
                         "truncated " + ext + " (first 90%)"});
        files.push_back({"header-only" + ext, Part(good, 0, std::min<size_t>(good.size(), 30)), true,
                         "header-only " + ext + " (first 30 bytes)"});
        files.push_back({"corrupt" + ext, Scrambled(good, good.size() / 4), false,
                         "corrupt " + ext + " (last three quarters scrambled)"});
        files.push_back({"bad-signature" + ext, Scrambled(good, 0), true, "corrupt " + ext + " (every byte scrambled)"});
    }
    std::string text = "These are notes, not a picture.\r\n";
    files.push_back({"notes.jpg", Bytes(text.begin(), text.end()), true, "text file named .jpg"});
    Bytes bmp = test::MakePicture(64, 64, 0x20A040, "bmp");
    Bytes tall = bmp;
    Put32(tall, 22, 4000);
    files.push_back({"lying-height.bmp", tall, true, "BMP header claims 64 x 4000, file holds 64 x 64"});
    Bytes wide = bmp;
    Put32(wide, 18, 0x7FFFFFFF);
    files.push_back({"lying-width.bmp", wide, true, "BMP header claims a width of 2147483647"});
    Bytes bigSize = bmp;
    Put32(bigSize, 2, 0x7FFFFFFF);
    Put32(bigSize, 34, 0x7FFFFFF0);
    files.push_back({"lying-size.bmp", bigSize, false, "BMP file and image size fields claim 2 GB"});
    Bytes offset = bmp;
    Put32(offset, 10, 0x7FFFFF00);
    files.push_back({"lying-offset.bmp", offset, true, "BMP pixel offset points past the end"});
    Bytes negative = bmp;
    Put32(negative, 22, static_cast<uint32_t>(-64));
    files.push_back({"top-down.bmp", negative, false, "BMP with a negative (top-down) height"});
    for (const BadFile& f : files) REQUIRE(WriteWholeFile(folder.File(f.name), f.bytes));

    ListFolder(folder.Path());
    std::vector<std::string> shown;
    for (const BadFile& f : files) {
        CAPTURE(f.name);
        REQUIRE(LoadByName(f.name) >= 0);
        shown.push_back(PanelState());
        if (f.mustShowNothing) CHECK(shown.back() == "no picture");
    }
    RunPictureBatch();
    CHECK(IsWindow(MainWindow().Handle()));
    for (size_t i = 0; i < files.size(); ++i) {
        const BadFile& f = files[i];
        CAPTURE(f.name);
        std::string after = FileState(folder.File(f.name), f.bytes);
        bool ok;
        std::string expected;
        if (shown[i] == "no picture") {
            expected = "no picture; file unchanged";
            ok = after == "file unchanged";
        } else {
            // What decodes is a picture like any other: the batch writes it
            // back watermarked, as a whole new file of the same size.
            expected = "what decodes is shown; the batch writes it back whole";
            BmpHeader header;
            ok = after.rfind("file replaced by a whole", 0) == 0 &&
                 IsWholeBmp24(ReadWholeFile(folder.File(f.name)), &header) &&
                 shown[i] == "a " + std::to_string(header.width) + " x " + std::to_string(header.height) + " picture";
            if (f.mustShowNothing) ok = false;
        }
        CHECK(ok);
        Record("Damaged files", f.what, "shows " + shown[i] + "; picture batch: " + after, expected, ok);
    }
    CHECK_FALSE(FindFirstFileExists(folder.File("*.varnel-new")));
}

TEST_CASE("bad bytes dropped on the window or put straight into the preview") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-robust-drop");
    Bytes notes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'};
    REQUIRE(WriteWholeFile(folder.File("dropped.png"), notes));
    Ui<DrawPanel>(画板1).SetPicture(test::MakePicture(20, 20, 0xFF0000, "png"));
    OnFileDropped(folder.File("dropped.png"));
    std::string dropped = PanelState();
    CHECK(dropped == "no picture");
    CHECK(ReadWholeFile(folder.File("dropped.png")) == notes);
    Record("Damaged files", "text file named .png dropped on the window", "shows " + dropped + "; file unchanged",
           "no picture; file unchanged", dropped == "no picture");

    OnFileDropped(folder.File("missing.jpg"));
    std::string missing = PanelState();
    CHECK(missing == "no picture");
    Record("Damaged files", "a dropped path whose file does not exist", "shows " + missing, "no picture",
           missing == "no picture");

    Ui<DrawPanel>(画板1).SetPicture(Bytes(100000, 0xFF));
    std::string ones = PanelState();
    CHECK(ones == "no picture");
    Record("Damaged files", "100000 bytes of 0xFF put into the preview", "shows " + ones, "no picture",
           ones == "no picture");
}

TEST_CASE("the text and split batches over files that are no picture") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-robust-text");
    Bytes good = test::MakePicture(200, 100, 0x3366CC, "jpeg");
    std::string text = "notes\r\n";
    const std::vector<std::pair<std::string, Bytes>> files{
        {"empty.jpg", {}},
        {"half.jpg", Part(good, 0, good.size() / 2)},
        {"notes.jpg", Bytes(text.begin(), text.end())},
    };
    for (const auto& f : files) REQUIRE(WriteWholeFile(folder.File(f.first), f.second));
    ListFolder(folder.Path());
    test::DialogAnswerer answer([](HWND box) {
        SetDlgItemTextA(box, 100, "WATERMARK");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    RunBatch(BatchOperation::Text, true);
    CHECK(answer.Answered());
    RunBatch(BatchOperation::Split, true);
    // Cutting a file that is no picture by the guide lines, where cells of
    // its name exist from an earlier cut.
    Bytes earlier{'c', 'e', 'l', 'l'};
    REQUIRE(CreateDirectoryA(folder.File("half").c_str(), nullptr));
    REQUIRE(WriteWholeFile(folder.File("half\\half-1.jpg"), earlier));
    REQUIRE(LoadByName("half.jpg") >= 0);
    App().verticalCutCount = 1;
    App().horizontalCutCount = 0;
    CutPictureByLines();
    App().verticalCutCount = 0;
    std::string cell = FileState(folder.File("half\\half-1.jpg"), earlier);
    bool noNewCell = !FindFirstFileExists(folder.File("half\\half-2.jpg"));
    CHECK(cell == "file unchanged");
    CHECK(noNewCell);
    Record("Damaged files", "half.jpg (no picture) cut by one vertical line over an earlier cell of its name",
           "earlier cell: " + cell + (noNewCell ? "; no other cell written" : "; an empty cell written"),
           "file unchanged; nothing written", cell == "file unchanged" && noNewCell);
    std::string photo = ProgramFolder() + "\\Photo\\";
    for (const auto& f : files) {
        CAPTURE(f.first);
        std::string after = FileState(folder.File(f.first), f.second);
        std::string title = FileTitle(f.first, false);
        bool pieces = FindFirstFileExists(photo + title + "_1.jpeg") || FindFirstFileExists(photo + title + "_2.jpeg");
        CHECK(after == "file unchanged");
        CHECK_FALSE(pieces);
        Record("Damaged files", f.first + " (" + std::to_string(f.second.size()) + " bytes) in a text batch and a split batch",
               after + (pieces ? "; pieces written" : "; no pieces written"), "file unchanged; nothing written",
               after == "file unchanged" && !pieces);
    }
}

namespace {

// The files of a folder matching a pattern; `remove` deletes them as well.
int CountFiles(const std::string& folder, const std::string& pattern, bool remove) {
    int count = 0;
    WIN32_FIND_DATAA entry;
    FindHandle search(FindFirstFileA((folder + pattern).c_str(), &entry));
    if (search) {
        do {
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            ++count;
            if (remove) DeleteFileA((folder + entry.cFileName).c_str());
        } while (FindNextFileA(search.get(), &entry));
    }
    return count;
}

// The corpus's list: each file's name and whether it must show a picture.
std::vector<std::pair<std::string, bool>> CorpusList(const std::string& folder) {
    std::vector<std::pair<std::string, bool>> files;
    const Bytes readme = ReadWholeFile(folder + "README.md");
    std::istringstream lines(std::string(readme.begin(), readme.end()));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("| `", 0) != 0) continue;
        files.push_back({line.substr(3, line.find('`', 3) - 3), line.find("| shown |") != std::string::npos});
    }
    return files;
}

const char* NamedFormat(const std::string& name) {
    const std::string ext = name.substr(name.rfind('.') + 1);
    return ext == "jpg" ? "JPEG" : ext == "png" ? "PNG" : ext == "bmp" ? "BMP" : ext == "gif" ? "GIF" : "TIFF";
}

}  // namespace

TEST_CASE("every file of the bad-input corpus through the preview, the cuts, the snapshot and the three runs") {
    test::StartedMainWindow();
    const std::string corpus = test::SourceFolder() + "\\tests\\robustness\\corpus\\";
    const auto list = CorpusList(corpus);
    REQUIRE(list.size() >= 40);
    const std::string photo = ProgramFolder() + "\\Photo\\";
    // A run's report names at most a dozen failures: the corpus goes through
    // in folders of a dozen, so each report must name every file it skipped.
    for (size_t first = 0; first < list.size(); first += 12) {
        const size_t end = std::min(list.size(), first + 12);
        test::TempFolder folder("varnel-robust-corpus");
        std::vector<Bytes> originals;
        for (size_t i = first; i < end; ++i) {
            originals.push_back(ReadWholeFile(corpus + list[i].first));
            REQUIRE(WriteWholeFile(folder.File(list[i].first), originals.back()));
        }
        ListFolder(folder.Path());
        std::vector<std::string> outcomes;
        std::vector<bool> fine;
        for (size_t i = first; i < end; ++i) {
            const std::string& name = list[i].first;
            const std::string title = FileTitle(name, false);
            CAPTURE(name);
            REQUIRE(LoadByName(name) >= 0);
            const std::string shown = PanelState();
            const bool picture = shown != "no picture";
            const int halves = SplitPictureInHalves();
            CountFiles(photo, title + "_?.jpeg", true);
            // One guide line: the cut rests a second before each piece.
            App().verticalCutCount = 1;
            CutPictureByLines();
            App().verticalCutCount = 0;
            const int cells = CountFiles(folder.File(title) + "\\", title + "-*.jpg", true);
            const int snapshotsBefore = CountFiles(photo, "????.jpg", false);
            const std::string told = MessageOf([] { SaveSnapshot(); });
            const int saved = CountFiles(photo, "????.jpg", false) - snapshotsBefore;
            if (saved > 0) DeleteFileA((photo + App().currentTitle + ".jpg").c_str());
            const bool ok = picture == list[i].second && (picture ? halves == 2 && cells == 2 && saved == 1
                                                                  : halves == 0 && cells == 0 && saved == 0 &&
                                                                        told.rfind("没有保存", 0) == 0);
            CHECK(ok);
            outcomes.push_back("shows " + shown + "; halves " + std::to_string(halves) + ", grid cells " +
                               std::to_string(cells) + ", snapshot " + (saved ? "saved" : told.empty() ? "not saved, not told" : "refused, told"));
            fine.push_back(ok);
        }
        for (BatchOperation run : {BatchOperation::Split, BatchOperation::Text, BatchOperation::Picture}) {
            std::vector<Bytes> before;
            for (size_t i = first; i < end; ++i) before.push_back(ReadWholeFile(folder.File(list[i].first)));
            Ui<EditBox>(编辑框1).SetText("0");
            Ui<EditBox>(编辑框2).SetText("0");
            const std::string report = MessageOf([run] { RunBatch(run, true); }, "CORPUS");
            App().watermarkMode = WatermarkMode::None;
            CHECK(IsWindow(MainWindow().Handle()));
            for (size_t i = first; i < end; ++i) {
                const std::string& name = list[i].first;
                const bool wrote = run == BatchOperation::Split
                                       ? CountFiles(photo, FileTitle(name, false) + "_?.jpeg", true) == 2
                                       : ReadWholeFile(folder.File(name)) != before[i - first];
                const bool told = report.find(name + "（") != std::string::npos;
                CAPTURE(name);
                CAPTURE(report);
                CHECK(wrote != told);
                fine[i - first] = fine[i - first] && wrote != told;
                outcomes[i - first] += std::string(run == BatchOperation::Split ? "; halves run " : run == BatchOperation::Text ? ", text run " : ", picture run ") +
                                       (wrote ? "wrote" : told ? "skipped, named" : "skipped, NOT named");
            }
        }
        for (size_t i = first; i < end; ++i) {
            const std::string& name = list[i].first;
            const std::string state = FileState(folder.File(name), originals[i - first]);
            const bool kept = state == "file unchanged" ||
                              (state.rfind("file replaced by a whole", 0) == 0 && state.find(NamedFormat(name)) != std::string::npos);
            CAPTURE(name);
            CHECK(kept);
            Record("Corpus", "`" + name + "` (" + (list[i].second ? "shown" : "no picture") + ")",
                   outcomes[i - first] + "; in the end " + state, "no crash or hang; skips named; file kept or whole",
                   fine[i - first] && kept);
        }
        CHECK_FALSE(FindFirstFileExists(folder.File("*.varnel-new")));
    }
}
