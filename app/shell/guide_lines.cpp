#include "app/shell/commands.h"
#include "app/shell/component_ids.h"
#include "platform/components.h"

namespace varnel {

using namespace ui;

namespace {
int Trunc(double value) { return static_cast<int>(value); }
Component& C(int id) { return Ui<Component>(id); }
}  // namespace

void PlaceGuideLines(bool vertical, int count, bool widerFifth) {
    const Id(&bars)[5] = vertical ? kVerticalGuides : kHorizontalGuides;
    Component& tab = C(高级选择夹1);
    Component& panel = C(画板1);
    C(bars[count - 1]).SetVisible(true);
    for (int k = 1; k <= count; ++k) {
        Component& bar = C(bars[k - 1]);
        if (vertical) {
            int width = (widerFifth && count == 5 && k == 5) ? 3 : 2;
            bar.Move(Trunc(tab.Left() + panel.Left() + (panel.Width() / static_cast<double>(count + 1)) * k), 168,
                     width, panel.Height());
        } else {
            bar.Move(panel.Left() + 2,
                     Trunc(tab.Top() + panel.Top() + (panel.Height() / static_cast<double>(count + 1)) * k),
                     panel.Width(), 2);
        }
    }
}

void RepaintGuideLines() {
    for (const Id(*family)[5] : {&kVerticalGuides, &kHorizontalGuides}) {
        for (Id bar : *family) {
            Component& c = C(bar);
            if (c.Visible()) RedrawWindow(c.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
    }
}

void AddVerticalCutLine() {
    AppState& app = App();
    if (app.verticalCutCount == 5) return;
    ++app.verticalCutCount;
    PlaceGuideLines(true, app.verticalCutCount, false);
    RenderPreview();
}

void AddHorizontalCutLine() {
    AppState& app = App();
    if (app.horizontalCutCount == 5) return;
    ++app.horizontalCutCount;
    PlaceGuideLines(false, app.horizontalCutCount, false);
    RenderPreview();
}

}  // namespace varnel
