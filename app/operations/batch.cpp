#include "app/operations/batch.h"

#include "platform/file_services.h"

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

bool WriteBackSnapshot(const std::string& path, const Bytes& snapshot) {
    return !snapshot.empty() && WriteWholeFile(path, snapshot);
}

}  // namespace varnel
