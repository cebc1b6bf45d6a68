#include "app/shell/commands.h"

namespace varnel {

void AddVerticalCutLine() {
    AppState& app = App();
    if (app.verticalCutCount == 5) return;
    ++app.verticalCutCount;
    PlaceGuideLines(true, app.verticalCutCount, false);
}

void AddHorizontalCutLine() {
    AppState& app = App();
    if (app.horizontalCutCount == 5) return;
    ++app.horizontalCutCount;
    PlaceGuideLines(false, app.horizontalCutCount, false);
}

}  // namespace varnel
