#pragma once
// Drives a running copy of Varnel.exe from outside, through what the screen,
// the mouse and the keyboard offer a person, so the program under test is the
// unchanged release build.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Folder under Z:\tmp (the folder dialog's tree shows /tmp but not the Wine
// prefix), removed with its files at the end.
class Folder {
public:
    explicit Folder(const std::string& name);
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder();
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Writes `count` small solid pictures (png, jpeg and bmp in turn) named
// pic001.png ... into the folder; returns their names.
std::vector<std::string> WritePictures(const std::string& folder, int count, int width, int height, unsigned rgb);
bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);

// A decoded picture file, read whatever its extension says.
struct Picture {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<unsigned> pixels;  // 0x00RRGGBB, rows from the top
    unsigned At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Pixels differing from `rgb` by more than `tolerance` in some channel.
    int CountUnlike(unsigned rgb, int tolerance) const;
};
Picture ReadPicture(const std::string& path);

std::vector<std::string> FilesIn(const std::string& folder);

struct Figures {
    DWORD gdiObjects = 0, userObjects = 0, handles = 0;
    SIZE_T privateBytes = 0;
    // From the host kernel: the process's private (anonymous) and resident memory.
    long unixAnonymousKiB = 0, unixResidentKiB = 0;
    // Live entries of the process's own GDI object table.
    long gdiTable = 0;
};

class Program {
public:
    // Copies the exe into a fresh folder, so the Photo folder it writes
    // beside itself is this run's own, and starts it.
    Program();
    ~Program();
    bool Started() const { return main_ != nullptr; }
    const std::string& Folder() const { return folder_; }
    std::string PhotoFolder() const { return folder_ + "\\Photo"; }
    HWND Main() const { return main_; }
    DWORD Id() const { return info_.dwProcessId; }

    // Components found by class, in creation order; the preview panel is the
    // big picture surface, the watermark picture box the lowest small one.
    HWND Child(const char* className, int nth = 0) const;
    HWND ChildWithText(const char* className, const char* text) const;
    HWND PreviewPanel() const;
    HWND WatermarkBox() const;

    // Clicks, keys and typed characters at a component; a shortcut through
    // the keyboard of the foreground window.
    void Click(HWND window, int x, int y, bool twice = false);
    void ClickCentre(HWND window);
    void Key(HWND window, WORD vk);
    void Shortcut(WORD vk);
    void Type(HWND window, const std::string& ascii);
    void ClickToolbarButton(int index);
    void ChooseMenu(int command);

    // Modal windows of the program: a #32770 with this caption (any caption
    // when empty), waited for up to `seconds`.
    HWND WaitForDialog(const char* caption, double seconds = 20) const;
    bool WaitUntilGone(HWND window, double seconds = 30) const;
    // Waits for the program to be idle again after a self-closing box with
    // this text has shown; true when it showed.
    bool WaitForTimedBox(const char* caption, double seconds);

    bool AnswerFolderDialog(const std::string& folder);
    bool AnswerInputDialog(const std::string& text);
    bool AnswerFileDialog(const std::string& path);
    bool AnswerColorDialog(int red, int green, int blue);

    bool OpenFolder(const std::string& folder);  // toolbar 打开图片 and its dialog
    int ListCount() const;
    std::string ListText(int index) const;
    void SelectListEntry(int index);
    std::string Text(HWND window) const;

    // Closes shell windows the program opened for folders it wrote to.
    void CloseShellWindows() const;
    void Screenshot(const std::string& step);
    Figures Measure() const;
    std::string UnixStatus() const;
    long GdiTableCount() const;
    bool Responsive() const;
    bool Close();

private:
    std::string folder_;
    PROCESS_INFORMATION info_{};
    HWND main_ = nullptr;
};

// Waits, handling nothing, until `done` or the time is up.
template <class F>
bool WaitFor(F done, double seconds) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < seconds * 1000; Sleep(50)) {
        if (done()) return true;
    }
    return done();
}

}  // namespace e2e
