#include "platform/components.h"

namespace varnel {

std::unique_ptr<Component> MakeComponent(Form& form, const ComponentDef& def) {
    switch (def.kind) {
    case ComponentKind::Toolbar: return std::make_unique<Toolbar>(form, def);
    case ComponentKind::GroupBox: return std::make_unique<GroupBox>(form, def);
    case ComponentKind::Label: return std::make_unique<Label>(form, def);
    case ComponentKind::ComboBox: return std::make_unique<ComboBox>(form, def);
    case ComponentKind::ColorPicker: return std::make_unique<ColorPicker>(form, def);
    case ComponentKind::CheckBox: return std::make_unique<CheckBox>(form, def);
    case ComponentKind::EditBox: return std::make_unique<EditBox>(form, def);
    case ComponentKind::Slider: return std::make_unique<Slider>(form, def);
    case ComponentKind::TabControl: return std::make_unique<TabControl>(form, def);
    case ComponentKind::ListBox: return std::make_unique<ListBox>(form, def);
    case ComponentKind::DrawPanel: return std::make_unique<DrawPanel>(form, def);
    case ComponentKind::FileDialog: return std::make_unique<FileDialog>(form, def);
    case ComponentKind::PictureBox: return std::make_unique<PictureBox>(form, def);
    case ComponentKind::StatusBar: return std::make_unique<StatusBar>(form, def);
    case ComponentKind::DropTarget: return std::make_unique<DropTarget>(form, def);
    case ComponentKind::SplitterBar: return std::make_unique<SplitterBar>(form, def);
    case ComponentKind::ProgressBar: return std::make_unique<ProgressBar>(form, def);
    }
    return nullptr;
}

}  // namespace varnel
