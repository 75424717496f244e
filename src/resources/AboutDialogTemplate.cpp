#include "resources/DialogTemplate.h"

#include "resources/ProductTexts.h"
#include "resources/Resources.h"
#include "resources/TemplateIds.h"

#include <array>

namespace {

// The two links' texts; the About box sets their targets when it opens.
constexpr auto kControls = std::to_array<ControlTemplate>({
    {-1, ControlKind::Icon, "", 11, 17, 21, 20, kStyleNone, {}, kIconApplication},
    {1085, ControlKind::Label, "Framelift", 58, 10, 160, 14},
    {1086, ControlKind::Label, "Version 1.0.0.0", 58, 27, 160, 14},
    {-1, ControlKind::Label, "Quenlar", 58, 44, 160, 14},
    {1049, ControlKind::Label, kProductPage, 58, 61, 160, 14},
    {1050, ControlKind::Label, "Support Email: Click here", 58, 78, 160, 14},
    {1, ControlKind::DefaultPushButton, "OK", 81, 97, 50, 14},
});

} // namespace

const DialogTemplate& AboutDialogTemplate()
{
    static const DialogTemplate dialog{kAboutDialogTemplate, "About", "MS Sans Serif", 8, 225, 118, kControls};
    return dialog;
}
