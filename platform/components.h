#pragma once
// The component kinds of the control library; each kind lives in its own file.
#include <memory>
#include <string>
#include <vector>

#include "platform/bytes.h"
#include "platform/component.h"
#include "platform/handles.h"

namespace varnel {

std::unique_ptr<Component> MakeComponent(Form& form, const ComponentDef& def);

struct ImageListTraits {
    static HIMAGELIST Invalid() { return nullptr; }
    static void Close(HIMAGELIST h) { ImageList_Destroy(h); }
};

class Toolbar : public Component {
public:
    using Component::Component;
    bool Create(HWND parent) override;
    void OnCommand(int id, int code) override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;
    int ButtonCount() const;
    // The command id button `index` raises; 0 for an index that names no button.
    int ButtonCommand(int index) const;
    std::string ButtonCaption(int index) const;
    // Clicks button `index` as the mouse would.
    void ClickButton(int index);

private:
    UniqueHandle<HIMAGELIST, ImageListTraits> images_;
    std::string tooltipBuffer_;
};
class GroupBox : public Component {
public:
    using Component::Component;
    bool Create(HWND parent) override;
};

class Label : public Component {
public:
    using Component::Component;
    bool Create(HWND parent) override;
    // A click raises Clicked.
    void OnCommand(int id, int code) override;
};

class ComboBox : public Component {
public:
    using Component::Component;
    bool Create(HWND parent) override;
    void OnCommand(int id, int code) override;
    void Move(int left, int top, int width, int height) override;
    int AddItem(const std::string& text);
    int AddItem(const std::string& text, int data);
    int Count() const;
    int SelectedIndex() const;
    void SetSelectedIndex(int index);
    // The item data of an index; -1 for an index that names no item.
    int ItemData(int index) const;
    std::string ItemText(int index) const;
    // The edit text (editable kind) or the selected item's text.
    std::string Text() const override;
};

class ColorPicker : public Component {
public:
    using Component::Component;
    bool Create(HWND parent) override;
    void OnCommand(int id, int code) override;
    bool OnDrawItem(DRAWITEMSTRUCT* item) override;
    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);
    // Opens the colour dialog; raises ColorChanged when another colour is chosen.
    void Choose();

private:
    COLORREF color_ = 0;
    COLORREF custom_[16] = {};
};

class CheckBox : public Component {
public:
    using Component::Component;
    bool Create(HWND parent) override;
    void OnCommand(int id, int code) override;
    bool Checked() const;
    void SetChecked(bool checked);
};

class EditBox : public Component {
public:
    using Component::Component;
    bool Create(HWND parent) override;
};

class Slider : public Component {
public:
    using Component::Component;
    bool Create(HWND parent) override;
    void OnScroll(int code) override;
    int Position() const;
    void SetPosition(int position);
    int Minimum() const;
    int Maximum() const;
    int LineStep() const;
    int PageStep() const;
};

class TabControl : public Component {
public:
    using Component::Component;
    bool Create(HWND parent) override;
    int TabCount() const;
    std::string TabText(int index) const;
};

class ListBox : public Component {
public:
    using Component::Component;
    bool Create(HWND parent) override;
    void OnCommand(int id, int code) override;
    void Clear();
    int AddItem(const std::string& text);
    int Count() const;
    int SelectedIndex() const;
    void SetSelectedIndex(int index);
    // The text of an index; empty for an index that names no item.
    std::string ItemText(int index) const;
    // Stops or resumes painting while many items are added.
    void SetRedraw(bool redraw);
};

class StatusBar : public Component {
public:
    using Component::Component;
    bool Create(HWND parent) override;
    int PartCount() const;
    std::string PartText(int part) const;
    void SetPartText(int part, const std::string& text);
};

class SplitterBar : public Component {
public:
    using Component::Component;
    bool Create(HWND parent) override;
    bool IsVertical() const { return (def_.flags & kVertical) != 0; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool dragging_ = false;
    int grabOffset_ = 0;
    int startPosition_ = 0;
};

// A bar that fills as a run goes.
class ProgressBar : public Component {
public:
    using Component::Component;
    bool Create(HWND parent) override;
    // Shows `done` of `total`.
    void SetProgress(int done, int total);
    int Position() const;
};

// A window that holds a picture and shows it over a backing bitmap of its
// own, so what it shows can be read back without looking at the screen.
class PictureSurface : public Component {
public:
    using Component::Component;
    // Any picture file's bytes (JPEG, PNG, BMP, GIF); bytes that are no
    // picture leave the surface without one.
    void SetPicture(const Bytes& fileBytes);
    // The same, taking the bytes over when they are such a BMP already.
    void SetPicture(Bytes&& fileBytes);
    // The picture as a 24-bit bottom-up BMP file image; empty when none.
    const Bytes& Picture() const { return picture_; }
    // What the surface shows, scaled to width x height, as a 24-bit BMP file image.
    Bytes Snapshot(int width, int height);
    // The size and fill a newly laid picture lies on.
    struct Backing {
        int width = 0, height = 0;
        COLORREF fill = 0;
    };
    Backing FreshBacking() const;
    // Puts a frame drawn elsewhere (the source rectangle of a device
    // context) onto what the surface shows, at (x, y); it stays until the
    // next picture or frame.
    void ShowFrame(HDC source, int x, int y, int width, int height, int sourceX, int sourceY);

protected:
    bool CreateSurface(HWND parent, DWORD exStyle);
    // Lays the picture onto the backing bitmap of the given size.
    virtual void LayPicture(HDC dc, int width, int height) const = 0;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void RebuildBacking();

private:
    void Paint();
    void LayIfPending();
    // True, the surface shown again, when `next` would lay what it holds.
    bool LaysAsBefore(const Bytes& next);

    Bytes picture_;
    MemoryDc backingDc_;
    Bitmap backingBitmap_;
    HGDIOBJ previousBitmap_ = nullptr;
    int backingWidth_ = 0;
    int backingHeight_ = 0;
    // The backing holds only the laid picture, on this fill colour: nothing
    // was mirrored onto it since.
    bool backingFresh_ = false;
    COLORREF backingFill_ = 0;
    // The picture is laid when the backing is first looked at, not when it is
    // set: a caller that covers the whole backing right away never needs it.
    bool layPending_ = false;
};

// The preview panel: the picture stretched over the whole client area.
class DrawPanel : public PictureSurface {
public:
    using PictureSurface::PictureSurface;
    bool Create(HWND parent) override;

protected:
    void LayPicture(HDC dc, int width, int height) const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A picture shown whole, scaled down to fit, never enlarged.
class PictureBox : public PictureSurface {
public:
    using PictureSurface::PictureSurface;
    bool Create(HWND parent) override;

protected:
    void LayPicture(HDC dc, int width, int height) const override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class FileDialog : public Component {
public:
    using Component::Component;
    bool Create(HWND parent) override;
    // Shows the open-file dialog; false when cancelled.
    bool ShowOpen(std::string& path);

private:
    HWND owner_ = nullptr;
};

class DropTarget : public Component {
public:
    using Component::Component;
    ~DropTarget() override;
    bool Create(HWND parent) override;
    // Files dropped on this window raise FileDropped, one event per file.
    bool Register(HWND window);

private:
    static LRESULT CALLBACK Hook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR data);
    HWND area_ = nullptr;
};

}  // namespace varnel
