#include "app/operations/helpers.h"
#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/components.h"
#include "platform/dialogs.h"
#include "platform/file_services.h"
#include "platform/handles.h"
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

    WIN32_FIND_DATAA entry;
    FindHandle search(FindFirstFileA((folder + "*.*").c_str(), &entry));
    if (!search) return;
    // A folder of thousands of files is listed in one paint, not one per name.
    list.SetRedraw(false);
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) list.AddItem(entry.cFileName);
    } while (FindNextFileA(search.get(), &entry));
    list.SetRedraw(true);
}

std::string FolderOfPath(const std::string& path) {
    size_t separator = LastSeparator(path);
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

void OnFileDropped(const std::string& path) {
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

void LoadListItem() {
    (void)LoadSelectedFile();
    RenderPreview();
}

}  // namespace varnel
