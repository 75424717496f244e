#include "i18n/Translate.h"

#include "i18n/LanguagePack.h"
#include "i18n/UiFont.h"
#include "platform/ui/DialogControlId.h"

#include <QMenu>
#include <QWidget>

namespace {

// Ids below this are labels without id (-1) and the OK and Cancel buttons (1, 2).
constexpr int kFirstTranslatedId = 100;
constexpr int kSubmenuKeyFactor = 65536;

void TranslateControl(const LanguagePack& language, QWidget& control)
{
    const int id = ControlId(&control);
    if (id < kFirstTranslatedId)
        return;
    const QString text = language.GetDialogText(id);
    if (text.isEmpty())
        return;
    SetControlText(control, text);
    if (language.UiFont())
        control.setFont(ToQFont(*language.UiFont()));
}

void TranslateItems(const LanguagePack& language, QMenu& menu, bool topLevel, int& submenuKey)
{
    // Read the list afresh: relabelling never adds or removes items.
    for (QAction* action : menu.actions()) {
        if (action->isSeparator())
            continue;
        QMenu* submenu = action->menu();
        const int id = action->data().toInt();
        if (!submenu && id == 0)
            continue; // placeholder
        if (!topLevel) {
            const QString text = language.GetMenuText(submenu ? submenuKey++ : id);
            if (!text.isEmpty())
                action->setText(text);
        }
        if (submenu)
            TranslateItems(language, *submenu, false, submenuKey);
    }
}

} // namespace

int TranslateDialog(const LanguagePack& language, QWidget& window, int dialogId)
{
    if (language.GetLanguageCount() == 0)
        return 0;
    // The window's own font is left alone: in Qt it would pass on to the
    // controls that keep their texts, which keep their font as well.
    const QString caption = language.GetDialogText(dialogId);
    if (!caption.isEmpty())
        window.setWindowTitle(caption);
    for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        TranslateControl(language, *child);
    return 1;
}

int TranslateMenu(const LanguagePack& language, QMenu& menu, int templateId)
{
    if (language.GetLanguageCount() == 0)
        return 0;
    int submenuKey = templateId * kSubmenuKeyFactor;
    TranslateItems(language, menu, true, submenuKey);
    return 1;
}
