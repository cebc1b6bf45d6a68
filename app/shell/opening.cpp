#include "app/operations/helpers.h"
#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/components.h"
#include "platform/dialogs.h"
#include "platform/file_services.h"
#include "platform/system_services.h"

namespace varnel {

using namespace ui;

namespace {
// The folder dialog, owned by the active window. A cancel gives empty text.
std::string AskForFolder() {
    HWND owner = GetActiveWindow();
    return BrowseForFolder(owner ? owner : MainWindow().Handle(), "打开;");
}

void ShowFolder(const std::string& folder) { Ui<StatusBar>(状态条).SetPartText(1, folder); }
}  // namespace

// A cancelled dialog leaves the list, the state and the status bar as they were.
void OpenPictureFolder() {
    std::string chosen = AskForFolder();
    if (chosen.empty()) return;
    AppState& app = App();
    app.browsedFolder = chosen;
    app.currentFolder = app.browsedFolder;
    ShowFolder(app.browsedFolder);
    ListFolderFiles(app.browsedFolder);
}

void ChooseFolder() {
    std::string chosen = AskForFolder();
    if (chosen.empty()) return;
    AppState& app = App();
    app.browsedFolder = chosen;
    app.currentFolder = FolderOfPath(app.browsedFolder);
    app.currentTitle = FileTitle(app.browsedFolder, false);
    ShowFolder(app.browsedFolder);
}

void ListPhotoFolder() {
    AppState& app = App();
    app.currentFolder = ProgramFolder() + "\\Photo";
    ListFolderFiles(app.currentFolder);
    ShowFolder(app.browsedFolder);
}

void ListFolderFiles(std::string& folder) {
    ListBox& list = Ui<ListBox>(列表框1);
    list.Clear();
    ProcessPendingEvents();
    if (!EndsWithSeparator(folder)) folder += "\\";

    if (HasUnmappedCharacters(folder)) {
        Ui<StatusBar>(状态条).SetPartText(1, folder + "（文件夹" + kNameOutsideCodePage + "）");
        return;
    }
    const std::vector<FolderEntry> entries = FolderEntries(folder);
    if (entries.empty()) return;
    // A folder of thousands of files is listed in one paint, not one per name.
    list.SetRedraw(false);
    int unmapped = 0;
    for (const FolderEntry& entry : entries) {
        if (entry.folder) continue;
        // What a stopped run left beside a file is no picture to work on;
        // the file it was meant to replace is whole.
        if (IsWriteAsideName(entry.name)) {
            if (entry.nameKept) RemoveFile(folder + entry.name);
            continue;
        }
        list.AddItem(entry.name);
        if (!entry.nameKept) ++unmapped;
    }
    list.SetRedraw(true);
    // Said once here; each command that meets such a name says so again by name.
    if (unmapped > 0) {
        Ui<StatusBar>(状态条).SetPartText(1, folder + "（其中 " + std::to_string(unmapped) + " 个文件" +
                                                 kNameOutsideCodePage + "，名称中显示为 ?）");
    }
}

std::string FolderOfPath(const std::string& path) {
    size_t separator = LastSeparator(path);
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

void OnFileDropped(const std::string& path) {
    if (HasUnmappedCharacters(path)) {
        ShowTimedMessage("无法打开“" + path + "”：" + kNameOutsideCodePage + "。", 3000);
        return;
    }
    AppState& app = App();
    app.currentPicturePath = path;
    app.currentFolder = FolderOfPath(path);
    ShowOnPanel(ReadWholeFile(app.currentPicturePath));
    app.currentTitle = FileTitle(path, false);
    Ui<ListBox>(列表框1).AddItem(FileTitle(path, true));
    ShowFolder(app.currentFolder);
    Ui<StatusBar>(状态条).SetPartText(3, app.currentTitle);
    RenderPreview();
}

Bytes LoadSelectedFile() {
    AppState& app = App();
    ListBox& list = Ui<ListBox>(列表框1);
    std::string item = list.ItemText(list.SelectedIndex());
    app.currentPicturePath = app.currentFolder + "\\" + item;
    Bytes shown = ReadWholeFile(app.currentPicturePath);
    ShowOnPanel(shown);
    app.currentTitle = FileTitle(item, false);
    Ui<StatusBar>(状态条).SetPartText(3, app.currentTitle);
    return shown;
}

namespace {
// The entry after the selected one (the one before, at the end of the list)
// is decoded and scaled on the worker while the person looks at this one:
// stepping through a folder then finds it ready.
void PrepareNeighbour() {
    AppState& app = App();
    ListBox& list = Ui<ListBox>(列表框1);
    const int selected = list.SelectedIndex(), count = list.Count();
    if (selected < 0 || count < 2) return;
    const int neighbour = selected + 1 < count ? selected + 1 : selected - 1;
    const std::string next = app.currentFolder + "\\" + list.ItemText(neighbour);
    if (lstrcmpiA(next.c_str(), app.currentPicturePath.c_str()) == 0) return;
    const PictureSurface::Backing backing = Ui<DrawPanel>(画板1).FreshBacking();
    app.renderer.PrepareAhead(next, app.watermarkMode, app.previewSize,
                              LaidBacking{backing.width, backing.height});
}
}  // namespace

void LoadListItem() {
    const Bytes shown = LoadSelectedFile();
    AppState& app = App();
    if (HasUnmappedCharacters(app.currentPicturePath)) {
        ShowTimedMessage("无法打开“" + FileTitle(app.currentPicturePath, true) + "”：" + kNameOutsideCodePage + "。",
                         3000);
    }
    app.renderer.TakeUpPrepared(app.currentPicturePath, shown, app.watermarkMode, app.previewSize);
    RenderPreview();
    PrepareNeighbour();
}

}  // namespace varnel
