#pragma once
// Helpers for tests that drive real windows under Wine.
#include <windows.h>

#include <functional>
#include <string>

#include "platform/bytes.h"

namespace varnel::test {

// Dispatches window messages for about the given time.
void Pump(int milliseconds);

// A fresh folder under the system's temporary folder, removed with its files.
class TempFolder {
public:
    // `base` empty: the system's temporary folder.
    explicit TempFolder(const std::string& name = "varnel-test", const std::string& base = "");
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Answers the next modal dialog of this thread (#32770 class) when it shows:
// `answer` gets its window. Runs from a timer inside the dialog's own loop.
class DialogAnswerer {
public:
    explicit DialogAnswerer(std::function<void(HWND)> answer);
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;
    ~DialogAnswerer();
    bool Answered() const { return answered_; }
    HWND Dialog() const { return dialog_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);
    std::function<void(HWND)> answer_;
    UINT_PTR timer_ = 0;
    bool answered_ = false;
    HWND dialog_ = nullptr;
};

// Picks a folder in the shell's folder browser the way a person does: by
// opening the tree's nodes down to it. Wine's browser has no path field, and
// its tree holds the Unix file system under "/" (without the Wine prefix, so
// pick folders outside it, under kBrowsableBase).
constexpr const char* kBrowsableBase = "Z:\\tmp\\";
bool SelectFolderInBrowser(HWND browser, const std::string& folder);

// Saves what the screen shows of the window as a PNG file.
bool SaveWindowScreenshot(HWND window, const std::string& path);

// The source tree, as the test program sees it under Wine.
std::string SourceFolder();

// Folder for screenshots the tests leave: build/screenshots.
std::string ScreenshotFolder();

// Pixel of a 24-bit BMP file image (x, y from the top-left) as 0x00RRGGBB.
unsigned BmpPixel(const Bytes& bmp, int x, int y);

// Encodes a solid-colour picture in the given format ("png", "jpeg", "bmp", "gif").
Bytes MakePicture(int width, int height, unsigned rgb, const char* format);

}  // namespace varnel::test
