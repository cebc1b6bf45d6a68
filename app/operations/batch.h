#pragma once
// The batch runs' texts and what a run does with one file's result.
#include <string>
#include <vector>

#include "app/operations/file_watermark.h"
#include "platform/bytes.h"

namespace varnel {

enum class BatchOperation { Split, Text, Picture };

// The message a run ends with.
const char* CompletionText(BatchOperation operation);

// The progress label while the number-th (from 1) of `count` files is worked on.
std::string ProgressText(int count, int number);

// What became of one listed file: how many files it gave (the file itself,
// or its pieces), or why it gave none.
struct ItemOutcome {
    int written = 0;
    std::string failure;
};

// What a whole run did, for its completion message.
class BatchReport {
public:
    void Add(const std::string& name, const ItemOutcome& outcome);
    int Written() const { return written_; }
    int Failed() const { return static_cast<int>(failures_.size()); }
    // The completion text, then a line with how many files were written and
    // which failed, and why.
    std::string Text(BatchOperation operation) const;

private:
    int written_ = 0;
    std::vector<std::string> failures_;
};

// Why a file could not be marked, in the user's words.
const char* FailureText(FileFailure failure);
constexpr const char kUnreadable[] = "无法读取";
constexpr const char kNotWritten[] = "无法写入";
constexpr const char kNoText[] = "没有可绘制的文字";
constexpr const char kNoBackup[] = "无法备份原图，未改动";
// A listed name with "?" where the ANSI code page has no character: no file
// has that name, so the file it stands for cannot be opened by it.
constexpr const char kNameOutsideCodePage[] = "名称含有系统代码页以外的字符，无法处理";

}  // namespace varnel
