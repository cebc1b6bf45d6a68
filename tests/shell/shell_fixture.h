#pragma once
// The real main window, started once per test program and kept open.
#include <doctest.h>

#include <vector>

#include "app/shell/app_state.h"
#include "app/shell/component_ids.h"
#include "app/shell/main_window.h"
#include "app/shell/startup.h"
#include "platform/components.h"
#include "tests/support/win_test.h"

namespace varnel::test {

struct Place {
    int left, top, width, height;
    bool visible;
};

// How the window and the state were right after start-up, before any test
// moved or changed them.
struct StartSnapshot {
    std::vector<Place> places;
    PreviewSize previewSize;
    WatermarkPosition watermarkPosition;
    WatermarkMode watermarkMode;
    TextStyle fontStyle;
    int verticalCutCount, horizontalCutCount;
    bool watermarkTextEmpty, fontNamesEmpty;
    std::string watermarkX, watermarkY;
};

// Selects a face in the font box, as a user picks it from the list.
inline bool PickFont(const std::string& face) {
    ComboBox& fonts = Ui<ComboBox>(ui::组合框_字体选择);
    for (int i = 0; i < fonts.Count(); ++i) {
        if (fonts.ItemText(i) == face) fonts.SetSelectedIndex(i);
    }
    return fonts.Text() == face;
}

inline StartSnapshot& Snapshot() {
    static StartSnapshot snapshot;
    return snapshot;
}

inline Form& StartedMainWindow() {
    static bool started = false;
    if (!started) {
        started = true;
        REQUIRE(StartUp(SW_SHOWNORMAL));
        MainWindow().SetQuitOnClose(false);
        StartSnapshot& s = Snapshot();
        for (int id = 0; id < ui::kComponentCount; ++id) {
            Component& c = MainWindow().At(id);
            s.places.push_back(Place{c.Left(), c.Top(), c.Width(), c.Height(), c.Visible()});
        }
        AppState& app = App();
        s.previewSize = app.previewSize;
        s.watermarkPosition = app.watermarkPosition;
        s.watermarkMode = app.watermarkMode;
        s.fontStyle = app.fontStyle;
        s.verticalCutCount = app.verticalCutCount;
        s.horizontalCutCount = app.horizontalCutCount;
        s.watermarkTextEmpty = app.watermarkText.empty();
        s.fontNamesEmpty = app.fontNames.empty();
        s.watermarkX = Ui<EditBox>(ui::编辑框1).Text();
        s.watermarkY = Ui<EditBox>(ui::编辑框2).Text();
        SetForegroundWindow(MainWindow().Handle());
        Pump(800);
        // The window as a user first sees it.
        SaveWindowScreenshot(MainWindow().Handle(), ScreenshotFolder() + "\\main-window.png");
    }
    return MainWindow();
}

}  // namespace varnel::test
