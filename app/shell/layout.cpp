#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/components.h"

namespace varnel {

using namespace ui;

namespace {
int Trunc(double value) { return static_cast<int>(value); }

Component& C(int id) { return Ui<Component>(id); }

}  // namespace

void OnMainWindowSizeChanged(const EventArgs&) {
    Form& window = MainWindow();
    const double w = window.Width();
    const double h = window.Height();
    Component& tab = C(高级选择夹1);
    Component& list = C(列表框1);
    Component& panel = C(画板1);
    Component& group1 = C(分组框1);
    Component& group2 = C(分组框2);
    Component& progress = C(标签2);

    tab.Move(3, 117, Trunc(w - group2.Width() - 22), Trunc(h - 220));
    list.Move(8, 51, 109, Trunc(tab.Height() - 56.0));
    panel.Move(Trunc(list.Width() + 15.0), 51, Trunc(static_cast<double>(tab.Width()) - list.Width() - 22),
               Trunc(tab.Height() - 56.0));

    AppState& app = App();
    app.previewSize = PreviewSize{panel.Width(), panel.Height()};
    app.watermarkPosition = WatermarkPosition{Trunc(app.previewSize.width / 3.0), Trunc(app.previewSize.height / 2.0)};

    int right = Trunc(static_cast<double>(panel.Width()) + panel.Left() + 12);
    group1.Move(right, 100, group1.Width(), 404);
    group2.Move(right, Trunc(static_cast<double>(group1.Height()) + group1.Top() + 4), group2.Width(), 212);
    progress.Move(right, Trunc(static_cast<double>(group2.Height()) + group2.Top() + 4), progress.Width(),
                  progress.Height());

    if (app.verticalCutCount >= 1 && app.verticalCutCount <= 5) {
        PlaceGuideLines(true, app.verticalCutCount, true);
    } else if (app.horizontalCutCount >= 1 && app.horizontalCutCount <= 5) {
        PlaceGuideLines(false, app.horizontalCutCount, false);
    }
}

}  // namespace varnel
