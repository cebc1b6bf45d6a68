#include "app/operations/batch.h"


namespace varnel {

const char* CompletionText(BatchOperation operation) {
    switch (operation) {
    case BatchOperation::Split: return "批量分割完成!";
    case BatchOperation::Text: return "批量文字加水印完成!";
    case BatchOperation::Picture: return "批量图片加水印完成!";
    }
    return "";
}

std::string ProgressText(int count, int number) {
    return "共有：" + std::to_string(count) + "条数据，正在处理第：" + std::to_string(number) + "条。";
}

void BatchReport::Add(const std::string& name, const ItemOutcome& outcome) {
    written_ += outcome.written;
    if (!outcome.failure.empty()) failures_.push_back(name + "（" + outcome.failure + "）");
}

std::string BatchReport::Text(BatchOperation operation) const {
    std::string text = CompletionText(operation);
    text += "\n";
    text += written_ ? "已写入 " + std::to_string(written_) + " 个文件" : std::string("没有写入任何文件");
    if (failures_.empty()) return text + "。";
    text += "，" + std::to_string(failures_.size()) + " 个失败：";
    // A long list is cut short: the box must still fit on the screen.
    constexpr size_t kNamed = 12;
    for (size_t i = 0; i < failures_.size() && i < kNamed; ++i) text += (i ? "、" : "") + failures_[i];
    if (failures_.size() > kNamed) text += " 等";
    return text + "。";
}

const char* FailureText(FileFailure failure) {
    switch (failure) {
    case FileFailure::None: return "";
    case FileFailure::NotPicture: return "不是可以打开的图片";
    case FileFailure::NotDrawn: return "无法绘制水印";
    case FileFailure::NotEncoded: return "无法按文件名的格式保存";
    }
    return "";
}

}  // namespace varnel
