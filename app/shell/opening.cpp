#include "app/shell/commands.h"

namespace varnel {

// Bound to the toolbar, menu and drop target; they do their work once opening
// folders and the file list are built.
void OpenPictureFolder() {}
void ChooseFolder() {}
void ListPhotoFolder() {}
void ListFolderFiles(std::string&) {}
std::string FolderOfPath(const std::string&) { return std::string(); }
void OnFileDropped(const std::string&) {}

}  // namespace varnel
