#include "app/shell/main_window.h"

#include "app/shell/app_state.h"
#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "resources/resource_ids.h"

namespace varnel {

using namespace ui;
using K = ComponentKind;

namespace {

constexpr int W = kWindowSource;

// Parents come before their children; positions are within the parent's client area.
const ComponentDef kComponents[] = {
    {工具条1, "工具条1", K::Toolbar, W, 0, 0, 1169, 28, "", kNoArgs, 0},
    {分组框_选项, "分组框_选项", K::GroupBox, W, 2, 75, 911, 43, "", kNoArgs, 0},
    {标签_字体, "标签_字体", K::Label, 分组框_选项, 7, 13, 40, 24, "字体：", kNoArgs, 0},
    {组合框_字体选择, "组合框_字体选择", K::ComboBox, 分组框_选项, 48, 13, 127, 24, "", kNoArgs, kEditable},
    {标签_大小, "标签_大小", K::Label, 分组框_选项, 177, 13, 40, 24, "大小：", kNoArgs, 0},
    {组合框_大小选择, "组合框_大小选择", K::ComboBox, 分组框_选项, 221, 14, 48, 23,
     "12\n14\n16\n18\n24\n32\n36\n42\n48\n72", Selected(2), 0},
    {标签_颜色, "标签_颜色", K::Label, 分组框_选项, 282, 13, 56, 24, "颜色：", kNoArgs, 0},
    {颜色选择器_颜色选择, "颜色选择器_颜色选择", K::ColorPicker, 分组框_选项, 330, 13, 53, 24, "", StartColor(0x0000FF), 0},
    {选择框_加粗, "选择框_加粗", K::CheckBox, 分组框_选项, 393, 13, 64, 24, "加粗", kNoArgs, 0},
    {选择框_倾斜, "选择框_倾斜", K::CheckBox, 分组框_选项, 473, 13, 56, 24, "倾斜", kNoArgs, 0},
    {选择框_下划线, "选择框_下划线", K::CheckBox, 分组框_选项, 529, 13, 72, 24, "下划线", kNoArgs, 0},
    {标签5, "标签5", K::Label, 分组框_选项, 691, 13, 57, 24, "透明度：", kNoArgs, 0},
    {编辑框3, "编辑框3", K::EditBox, 分组框_选项, 761, 13, 57, 24, "180", kNoArgs, 0},
    {滑块条, "滑块条", K::Slider, 分组框_选项, 823, 12, 73, 24, "", SliderRange(50, 255, 180, 1, 5), 0},
    {高级选择夹1, "高级选择夹1", K::TabControl, W, 3, 117, 1061, 643, "浏览", kNoArgs, 0},
    {标签1, "标签1", K::Label, 高级选择夹1, 11, 24, 80, 24, "文件列表：", kNoArgs, 0},
    {列表框1, "列表框1", K::ListBox, 高级选择夹1, 8, 51, 109, 584, "", kNoArgs, 0},
    {画板1, "画板1", K::DrawPanel, 高级选择夹1, 124, 50, 928, 584, "", kNoArgs, 0},
    {通用对话框2, "通用对话框2", K::FileDialog, 画板1, 0, 0, 0, 0, "", kNoArgs, 0},
    {分组框1, "分组框1", K::GroupBox, W, 1066, 76, 306, 404, "预览：", kNoArgs, 0},
    {图片框1, "图片框1", K::PictureBox, 分组框1, 14, 30, 272, 177, "", kNoArgs, 0},
    {图片框2, "图片框2", K::PictureBox, 分组框1, 14, 212, 272, 177, "", kNoArgs, 0},
    {分组框2, "分组框2", K::GroupBox, W, 1065, 481, 307, 212, "水印图：", kNoArgs, 0},
    {图片框3, "图片框3", K::PictureBox, 分组框2, 15, 22, 276, 155, "", kNoArgs, 0},
    {标签3, "标签3", K::Label, 分组框2, 18, 188, 75, 16, "水印左边：", kNoArgs, 0},
    {编辑框1, "编辑框1", K::EditBox, 分组框2, 97, 184, 42, 22, "300", kNoArgs, 0},
    {标签4, "标签4", K::Label, 分组框2, 162, 188, 75, 16, "水印顶边：", kNoArgs, 0},
    {编辑框2, "编辑框2", K::EditBox, 分组框2, 233, 183, 42, 22, "300", kNoArgs, 0},
    {标签2, "标签2", K::Label, W, 1065, 696, 307, 63, "", kNoArgs, kHidden},
    {状态条, "状态条", K::StatusBar, W, 8, 8, 997, 20, " 路径:\n\n文件名：\n", PartWidths(50, 600, 80), 0},
    {拖放对象1, "拖放对象1", K::DropTarget, W, 0, 0, 0, 0, "", kNoArgs, 0},
    {分隔条1, "分隔条1", K::SplitterBar, W, 120, 160, 3, 584, "", kNoArgs, kHidden | kVertical},
    {分隔条2, "分隔条2", K::SplitterBar, W, 120, 160, 3, 584, "", kNoArgs, kHidden | kVertical},
    {分隔条3, "分隔条3", K::SplitterBar, W, 128, 176, 3, 584, "", kNoArgs, kHidden | kVertical},
    {分隔条4, "分隔条4", K::SplitterBar, W, 128, 168, 3, 584, "", kNoArgs, kHidden | kVertical},
    {分隔条5, "分隔条5", K::SplitterBar, W, 120, 176, 3, 584, "", kNoArgs, kHidden | kVertical},
    {分隔条10, "分隔条10", K::SplitterBar, W, 120, 176, 3, 584, "", kNoArgs, kHidden | kVertical},
    {分隔条11, "分隔条11", K::SplitterBar, W, 136, 152, 768, 3, "", kNoArgs, kHidden | kHorizontal},
    {分隔条12, "分隔条12", K::SplitterBar, W, 112, 152, 768, 3, "", kNoArgs, kHidden | kHorizontal},
    {分隔条13, "分隔条13", K::SplitterBar, W, 96, 152, 768, 3, "", kNoArgs, kHidden | kHorizontal},
    {分隔条14, "分隔条14", K::SplitterBar, W, 96, 152, 768, 3, "", kNoArgs, kHidden | kHorizontal},
    {分隔条15, "分隔条15", K::SplitterBar, W, 136, 152, 768, 3, "", kNoArgs, kHidden | kHorizontal},
    // Shown under the progress label while a run goes.
    {进度条, "进度条", K::ProgressBar, W, 1065, 760, 307, 16, "", kNoArgs, kHidden},
};

// The image strip holds the ten pictures the buttons show, in button order.
// "保存", "图片水印" and "分割图片" carry the ids of the menu items doing the same.
const ToolbarButtonDef kToolbarButtons[] = {
    {kToolOpenPicture, "打开图片", "打开图片", 0},
    {kMenuSave, "保存", "保存", 1},
    {kToolAddText, "添加文字", "添加文字", 2},
    {kMenuAddPicture, "图片水印", nullptr, 3},
    {kMenuSplit, "分割图片", "移动图片模式", 4},
    {kToolBatchSplit, "批量分割", nullptr, 5},
    {kToolBatchText, "批量文字水印", nullptr, 6},
    {kToolBatchPicture, "批量图片水印", nullptr, 7},
    {kToolVerticalCut, "多线横割", nullptr, 8},
    {kToolHorizontalCut, "多线纵割", nullptr, 9},
};

const MenuItemDef kMenu[] = {
    {"&F菜单", "打开", "Ctrl+F", FCONTROL, 'F', kMenuOpen},
    {"&F菜单", "保存", "Ctrl+S", FCONTROL, 'S', kMenuSave},
    {"&F菜单", "浏览", nullptr, 0, 0, kMenuBrowse},
    {"编辑", "添加文字", nullptr, 0, 0, kMenuAddText},
    {"编辑", "添加图片", nullptr, 0, 0, kMenuAddPicture},
    {"编辑", "分割图片", nullptr, 0, 0, kMenuSplit},
    {"编辑", "撤销上次运行", "Ctrl+Z", FCONTROL, 'Z', kMenuUndo},
    {"VIP功能", "批量分割", nullptr, 0, 0, kMenuBatchSplit},
    {"VIP功能", "批量文字水印", nullptr, 0, 0, kMenuBatchText},
    {"VIP功能", "批量图片水印", nullptr, 0, 0, kMenuBatchPicture},
    {"VIP功能", "停止运行", "Esc", 0, VK_ESCAPE, kMenuStop},
    {"关于", "关于软件", nullptr, 0, 0, kMenuAbout},
};

using E = EventKind;
// While a run goes, only the rows marked ANYTIME are handled: nothing else
// may change the list, the picture or the settings under it.
#define ANYTIME(source, kind, handler) {source, E::kind, [](const EventArgs& a) { handler; (void)a; }}
#define ON(source, kind, handler)                         \
    {source, E::kind, [](const EventArgs& a) {            \
         if (!RunInProgress()) { handler; }               \
         (void)a;                                         \
     }}

const EventBinding kEvents[] = {
    ANYTIME(W, Created, OnMainWindowCreated(a)),
    ANYTIME(W, SizeChanged, OnMainWindowSizeChanged(a)),
    ANYTIME(kMenuStop, CommandChosen, StopRun()),
    ON(kMenuUndo, CommandChosen, UndoLastRun()),
    ANYTIME(标签2, Clicked, StopRun()),
    // Commands, from the menu, its shortcuts and the toolbar alike.
    ON(kMenuOpen, CommandChosen, ChooseFolder()),
    ON(kMenuSave, CommandChosen, SaveSnapshot()),
    ON(kMenuBrowse, CommandChosen, ListPhotoFolder()),
    ON(kMenuAddText, CommandChosen, AskWatermarkText()),
    ON(kMenuAddPicture, CommandChosen, ApplyPictureWatermark()),
    ON(kMenuSplit, CommandChosen, SplitPictureInHalves()),
    ON(kMenuBatchSplit, CommandChosen, RunBatch(BatchOperation::Split, true)),
    ON(kMenuBatchText, CommandChosen, RunBatch(BatchOperation::Text, true)),
    ON(kMenuBatchPicture, CommandChosen, RunBatch(BatchOperation::Picture, true)),
    ANYTIME(kMenuAbout, CommandChosen, ShowAboutBox()),
    // The toolbar's own: its batch runs are the toolbar variants.
    ON(kToolOpenPicture, CommandChosen, OpenPictureFolder()),
    ON(kToolAddText, CommandChosen, AddTextWatermark()),
    ON(kToolBatchSplit, CommandChosen, RunBatch(BatchOperation::Split, false)),
    ON(kToolBatchText, CommandChosen, RunBatch(BatchOperation::Text, false)),
    ON(kToolBatchPicture, CommandChosen, RunBatch(BatchOperation::Picture, false)),
    ON(kToolVerticalCut, CommandChosen, AddVerticalCutLine()),
    ON(kToolHorizontalCut, CommandChosen, AddHorizontalCutLine()),
    ON(列表框1, SelectionChanged, LoadListItem()),
    ON(拖放对象1, FileDropped, OnFileDropped(a.path)),
    ON(画板1, LeftButtonDown, OnPanelLeftButtonDown(a.x, a.y, a.keys)),
    ON(画板1, SizeChanged, OnPanelResized()),
    ON(画板1, DoubleClicked, CutPictureByLines()),
    ON(图片框3, DoubleClicked, ChooseWatermarkPicture()),
    ON(颜色选择器_颜色选择, ColorChanged, OnSettingChanged()),
    ON(组合框_字体选择, SelectionChanged, OnSettingChanged()),
    ON(组合框_大小选择, SelectionChanged, OnSettingChanged()),
    ON(选择框_加粗, Clicked, OnStyleBoxClicked(选择框_加粗)),
    ON(选择框_倾斜, Clicked, OnStyleBoxClicked(选择框_倾斜)),
    ON(选择框_下划线, Clicked, OnStyleBoxClicked(选择框_下划线)),
    ON(滑块条, PositionChanged, OnSliderMoved()),
    ON(分隔条1, Dragged, Ui<Component>(分隔条1).SetLeft(a.newPosition)),
    ON(分隔条2, Dragged, Ui<Component>(分隔条2).SetLeft(a.newPosition)),
    ON(分隔条1, DoubleClicked, Ui<Component>(分隔条1).SetVisible(false)),
    ON(分隔条2, DoubleClicked, Ui<Component>(分隔条2).SetVisible(false)),
    ON(分隔条11, Dragged, Ui<Component>(分隔条11).SetTop(a.newPosition)),
    ON(分隔条12, Dragged, Ui<Component>(分隔条12).SetTop(a.newPosition)),
    ON(分隔条13, Dragged, Ui<Component>(分隔条13).SetTop(a.newPosition)),
    ON(分隔条14, Dragged, Ui<Component>(分隔条14).SetTop(a.newPosition)),
    ON(分隔条15, Dragged, Ui<Component>(分隔条15).SetTop(a.newPosition)),
};
#undef ON
#undef ANYTIME

const FormDef kMainWindow = {
    "Varnel1.0", 50, 50, 1385, 861, IDI_VARNEL,
    kComponents, sizeof(kComponents) / sizeof(kComponents[0]),
    kToolbarButtons, sizeof(kToolbarButtons) / sizeof(kToolbarButtons[0]), IDB_TOOLBAR_IMAGES,
    kMenu, sizeof(kMenu) / sizeof(kMenu[0]),
    kEvents, sizeof(kEvents) / sizeof(kEvents[0]),
};

}  // namespace

const FormDef& MainWindowDefinition() { return kMainWindow; }

Form& MainWindow() { return App().mainWindow; }

}  // namespace varnel
