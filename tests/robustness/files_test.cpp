#include <doctest.h>

#include "app/operations/helpers.h"
#include "platform/components.h"
#include "tests/robustness/robustness_table.h"

using namespace varnel;
using namespace varnel::robust;
using namespace ui;

namespace {

constexpr const char* kHoldNone = "--varnel-hold-exclusive=";
constexpr const char* kHoldRead = "--varnel-hold-readable=";
constexpr const char* kReady = "varnel-robust-hold-ready";
constexpr const char* kRelease = "varnel-robust-hold-release";

// The test program started with a hold argument is the other process: it
// opens the file, says so, and keeps it open until told to let go. This runs
// before the tests' own start-up, so no window or test is involved.
struct HoldWhenAsked {
    HoldWhenAsked() {
        std::string line = GetCommandLineA();
        for (const char* flag : {kHoldNone, kHoldRead}) {
            size_t at = line.find(flag);
            if (at == std::string::npos) continue;
            std::string path = line.substr(at + strlen(flag));
            if (!path.empty() && path.front() == '"') path = path.substr(1, path.find('"', 1) - 1);
            DWORD share = flag == kHoldNone ? 0 : FILE_SHARE_READ;
            FileHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
            KernelHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, kReady));
            KernelHandle release(OpenEventA(SYNCHRONIZE, FALSE, kRelease));
            if (ready) SetEvent(ready.get());
            if (file && release) WaitForSingleObject(release.get(), INFINITE);
            ExitProcess(file ? 0 : 1);
        }
    }
} holdWhenAsked;

// Another process that holds a file open while it lives.
class Holder {
public:
    Holder(const std::string& path, bool readable)
        : ready_(CreateEventA(nullptr, TRUE, FALSE, kReady)), release_(CreateEventA(nullptr, TRUE, FALSE, kRelease)) {
        char exe[MAX_PATH * 2];
        DWORD n = GetModuleFileNameA(nullptr, exe, sizeof(exe));
        std::string line = "\"" + std::string(exe, n) + "\" " + (readable ? kHoldRead : kHoldNone) + "\"" + path + "\"";
        STARTUPINFOA start{};
        start.cb = sizeof(start);
        PROCESS_INFORMATION info{};
        if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &info)) {
            process_.reset(info.hProcess);
            KernelHandle thread(info.hThread);
            HANDLE both[2] = {ready_.get(), process_.get()};
            started_ = WaitForMultipleObjects(2, both, FALSE, INFINITE) == WAIT_OBJECT_0;
        }
    }
    ~Holder() {
        if (release_) SetEvent(release_.get());
        if (process_) WaitForSingleObject(process_.get(), INFINITE);
    }
    bool Holding() const {
        DWORD code = 0;
        return started_ && GetExitCodeProcess(process_.get(), &code) && code == STILL_ACTIVE;
    }

private:
    KernelHandle ready_, release_, process_;
    bool started_ = false;
};

// A snapshot that cannot be written says so in a box that names it.
bool SnapshotRefusalTold() { return MessageOf([] { SaveSnapshot(); }).rfind("没有保存", 0) == 0; }

}  // namespace

TEST_CASE("a batch over a read-only file and files another process holds open") {
    test::StartedMainWindow();
    test::TempFolder folder("varnel-robust-held");
    Bytes picture = test::MakePicture(160, 100, 0xFFFFFF, "jpeg");
    for (const char* name : {"a.jpg", "held-exclusive.jpg", "held-readable.jpg", "read-only.jpg", "z.jpg"}) {
        REQUIRE(WriteWholeFile(folder.File(name), picture));
    }
    SetFileAttributesA(folder.File("read-only.jpg").c_str(), FILE_ATTRIBUTE_READONLY);
    std::string exclusiveState, readableState;
    {
        Holder exclusive(folder.File("held-exclusive.jpg"), false);
        Holder readable(folder.File("held-readable.jpg"), true);
        REQUIRE(exclusive.Holding());
        REQUIRE(readable.Holding());
        CHECK(ReadWholeFile(folder.File("held-exclusive.jpg")).empty());  // truly held
        ListFolder(folder.Path());
        Ui<EditBox>(编辑框1).SetText("0");
        Ui<EditBox>(编辑框2).SetText("0");
        RunBatch(BatchOperation::Picture, true);
        App().watermarkMode = WatermarkMode::None;
        CHECK(exclusive.Holding());
        CHECK(readable.Holding());
        readableState = FileState(folder.File("held-readable.jpg"), picture);
    }
    // Read once the other process has let go: while it holds the file, no
    // one can read it.
    exclusiveState = FileState(folder.File("held-exclusive.jpg"), picture);
    std::string readOnly = FileState(folder.File("read-only.jpg"), picture);
    std::string a = FileState(folder.File("a.jpg"), picture), z = FileState(folder.File("z.jpg"), picture);
    CHECK(exclusiveState == "file unchanged");
    CHECK(readableState == "file unchanged");
    CHECK(readOnly == "file unchanged");
    CHECK(a == "file replaced by a whole 160 x 100 JPEG");
    CHECK(z == "file replaced by a whole 160 x 100 JPEG");
    CHECK(ReadWholeFile(folder.File("held-exclusive.jpg")) == picture);
    CHECK_FALSE(FindFirstFileExists(folder.File("*.varnel-new")));
    Record("Locked files", "a file another process holds open with no sharing, in a picture batch",
           "no picture for it; " + exclusiveState + " once let go", "file unchanged",
           exclusiveState == "file unchanged");
    Record("Locked files", "a file another process holds open for reading only, in a picture batch",
           "read and watermarked, but it cannot be replaced: " + readableState + "; no swap file left",
           "file unchanged", readableState == "file unchanged");
    Record("Locked files", "a read-only file in a picture batch", readOnly, "file unchanged",
           readOnly == "file unchanged");
    Record("Locked files", "the free files around them in the same batch", a + ", " + z,
           "each replaced by a whole picture", a == z && a == "file replaced by a whole 160 x 100 JPEG");
    SetFileAttributesA(folder.File("read-only.jpg").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_CASE("a missing or a full Photo folder") {
    test::StartedMainWindow();
    const std::string photo = ProgramFolder() + "\\Photo";
    const std::string away = ProgramFolder() + "\\Photo-robustness-away";
    REQUIRE(FolderExists(photo));
    test::TempFolder folder("varnel-robust-photo");
    REQUIRE(WriteWholeFile(folder.File("p.png"), test::MakePicture(100, 60, 0x00FF00, "png")));
    ListFolder(folder.Path());

    REQUIRE(MoveFileA(photo.c_str(), away.c_str()));
    REQUIRE(LoadByName("p.png") >= 0);
    SplitPictureInHalves();
    CHECK(SnapshotRefusalTold());
    ListPhotoFolder();
    int listed = Ui<ListBox>(列表框1).Count();
    bool nothingMade = !FindFirstFileExists(photo);
    CHECK(nothingMade);
    CHECK(listed == 0);
    CHECK(IsWindow(MainWindow().Handle()));
    if (!nothingMade) {  // whatever was made goes, so the real folder can come back
        std::string from = photo + std::string(1, '\0');
        SHFILEOPSTRUCTA op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        SHFileOperationA(&op);
    }
    REQUIRE(MoveFileA(away.c_str(), photo.c_str()));
    Record("Photo folder", "Photo folder missing: halve, save a snapshot, list it",
           std::string(nothingMade ? "nothing written, no folder made" : "files written") + "; the list shows " +
               std::to_string(listed) + " entries",
           "nothing written; the program keeps running", nothingMade && listed == 0);

    // Full: every name a snapshot can take is taken.
    Bytes taken{'t', 'a', 'k', 'e', 'n'};
    auto name = [&](int n) {
        std::string number = "0000" + std::to_string(n);
        return photo + "\\" + number.substr(number.size() - 4) + ".jpg";
    };
    std::vector<std::string> made;
    for (int n = 1; n <= 1000; ++n) {
        if (FindFirstFileExists(name(n))) continue;
        REQUIRE(WriteWholeFile(name(n), taken));
        made.push_back(name(n));
    }
    ListFolder(folder.Path());
    REQUIRE(LoadByName("p.png") >= 0);
    CHECK(SnapshotRefusalTold());
    bool untouched = true;
    for (const std::string& path : made) untouched = untouched && ReadWholeFile(path) == taken;
    CHECK(untouched);
    CHECK(IsWindow(MainWindow().Handle()));
    for (const std::string& path : made) DeleteFileA(path.c_str());
    Record("Photo folder", "Photo folder full (all 1000 snapshot names taken): save a snapshot",
           untouched ? "nothing saved; no earlier snapshot overwritten" : "an earlier snapshot was overwritten",
           "no snapshot lost; the program keeps running", untouched);
}
