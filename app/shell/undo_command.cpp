#include "app/operations/cut_record.h"
#include "app/operations/originals.h"
#include "app/shell/commands.h"

namespace varnel {

namespace {

bool Confirmed(const std::string& question) {
    return MessageBoxA(MainWindow().Handle(), question.c_str(), "撤销上次运行", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// The first names of a list, for a box that must still fit on the screen.
std::string Named(const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size() && i < 12; ++i) text += (i ? "、" : "") + names[i];
    return text + (names.size() > 12 ? " 等" : "");
}

void UndoCut(const std::string& folder, const std::string& last) {
    const int count = PiecesAsWritten(last);
    if (!Confirmed("将删除上次切分写下的 " + std::to_string(count) + " 个图块（之后改动过的保留）。继续吗？")) return;
    const RemovedPieces removed = RemoveCutPieces(folder, last);
    std::string text = "已删除 " + std::to_string(removed.count) + " 个图块。";
    if (!removed.changed.empty()) {
        text += "\n" + std::to_string(removed.changed.size()) + " 个切分后改动过，已保留：" + Named(removed.changed);
    }
    if (!removed.failed.empty()) {
        text += "\n" + std::to_string(removed.failed.size()) + " 个未能删除：" + Named(removed.failed);
    }
    const bool quiet = removed.changed.empty() && removed.failed.empty();
    ShowTimedMessage(text, quiet ? 1500 : 10000);
}

void UndoWatermarkRun(const std::string& folder, const std::string& last, size_t count) {
    if (!Confirmed("将放回上次运行前的 " + std::to_string(count) + " 个原图，替换运行写下的文件。继续吗？")) return;
    const Restored restored = RestoreOriginals(folder, last);
    std::string text = "已放回 " + std::to_string(restored.count) + " 个原图。";
    if (!restored.failed.empty()) {
        text += "\n" + std::to_string(restored.failed.size()) + " 个未能放回，原图仍在 " + last + "：" +
                Named(restored.failed);
    }
    ShowTimedMessage(text, restored.failed.empty() ? 1500 : 10000);
}

}  // namespace

void UndoLastRun() {
    const std::string folder = App().currentFolder;
    // Watermark runs and cuts keep their run folders side by side: the newest is undone.
    const std::string last = folder.empty() ? std::string() : LastBackupFolder(folder);
    if (IsCutRun(last)) {
        UndoCut(folder, last);
        return;
    }
    const size_t count = last.empty() ? 0 : BackedUpNames(last).size();
    if (count == 0) {
        ShowTimedMessage("没有可以撤销的运行。", 1500);
        return;
    }
    UndoWatermarkRun(folder, last, count);
}

}  // namespace varnel
