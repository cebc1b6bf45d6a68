#pragma once
// The main window's components by their own names, and its commands.

namespace ui {

enum Id : int {
    工具条1,
    分组框_选项,
    标签_字体,
    组合框_字体选择,
    标签_大小,
    组合框_大小选择,
    标签_颜色,
    颜色选择器_颜色选择,
    选择框_加粗,
    选择框_倾斜,
    选择框_下划线,
    标签5,
    编辑框3,
    滑块条,
    高级选择夹1,
    标签1,
    列表框1,
    画板1,
    通用对话框2,
    分组框1,
    图片框1,
    图片框2,
    分组框2,
    图片框3,
    标签3,
    编辑框1,
    标签4,
    编辑框2,
    标签2,
    状态条,
    拖放对象1,
    分隔条1,
    分隔条2,
    分隔条3,
    分隔条4,
    分隔条5,
    分隔条10,
    分隔条11,
    分隔条12,
    分隔条13,
    分隔条14,
    分隔条15,
    进度条,
    kComponentCount
};

// One id per command, whichever door raises it: a toolbar button that does
// what a menu item does carries the menu item's id.
enum Command : int {
    kMenuOpen = 100,
    kMenuSave,
    kMenuBrowse,
    kMenuAddText,
    kMenuAddPicture,
    kMenuSplit,
    kMenuBatchSplit,
    kMenuBatchText,
    kMenuBatchPicture,
    kMenuAbout,
    // Toolbar buttons with no menu item that does the same.
    kToolOpenPicture,
    kToolAddText,
    kToolBatchSplit,
    kToolBatchText,
    kToolBatchPicture,
    kToolVerticalCut,
    kToolHorizontalCut,
    // Puts back the originals of the last run.
    kMenuUndo,
    // Ends a run after the file in hand.
    kMenuStop,
};

// Guide lines in the order the cuts use them.
constexpr Id kVerticalGuides[5] = {分隔条1, 分隔条2, 分隔条3, 分隔条4, 分隔条5};
constexpr Id kHorizontalGuides[5] = {分隔条11, 分隔条12, 分隔条13, 分隔条14, 分隔条15};

}  // namespace ui
