#include "app/operations/originals.h"
#include "app/shell/commands.h"

namespace varnel {

void UndoLastRun() {
    const std::string folder = App().currentFolder;
    const std::string last = folder.empty() ? std::string() : LastBackupFolder(folder);
    const size_t count = last.empty() ? 0 : BackedUpNames(last).size();
    if (count == 0) {
        ShowTimedMessage("没有可以撤销的运行。", 1500);
        return;
    }
    const std::string question = "将放回上次运行前的 " + std::to_string(count) + " 个原图，替换运行写下的文件。继续吗？";
    if (MessageBoxA(MainWindow().Handle(), question.c_str(), "撤销上次运行", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    const Restored restored = RestoreOriginals(folder, last);
    std::string text = "已放回 " + std::to_string(restored.count) + " 个原图。";
    if (!restored.failed.empty()) {
        text += "\n" + std::to_string(restored.failed.size()) + " 个未能放回，原图仍在 " + last + "：";
        for (size_t i = 0; i < restored.failed.size() && i < 12; ++i) text += (i ? "、" : "") + restored.failed[i];
    }
    ShowTimedMessage(text, restored.failed.empty() ? 1500 : 10000);
}

}  // namespace varnel
