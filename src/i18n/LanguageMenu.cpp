#include "i18n/LanguageMenu.h"

#include "i18n/LanguagePack.h"
#include "i18n/Translate.h"
#include "i18n/UiFont.h"
#include "platform/ui/Choosers.h"
#include "platform/ui/MessageService.h"
#include "resources/MenuTemplate.h"
#include "resources/Resources.h"
#include "resources/StringIds.h"
#include "resources/TemplateIds.h"

#include <QMenu>
#include <QWidget>

namespace {

void AddItems(QMenu& menu, const MenuTemplate& menuTemplate)
{
    for (const MenuItemTemplate& item : menuTemplate.items) {
        if (item.submenu) {
            QMenu* submenu = menu.addMenu(ResourceText(item.text));
            AddItems(*submenu, *item.submenu);
        } else {
            menu.addAction(ResourceText(item.text))->setData(item.id);
        }
    }
}

QMenu* FirstSubmenu(const QMenu& menu)
{
    const QList<QAction*> actions = menu.actions();
    return actions.isEmpty() ? nullptr : actions.first()->menu();
}

} // namespace

std::unique_ptr<QMenu> LoadMenuTemplate(const MenuTemplate& menuTemplate)
{
    auto menu = std::make_unique<QMenu>();
    AddItems(*menu, menuTemplate);
    return menu;
}

int BuildLanguageMenu(const LanguagePack& language, QMenu& topMenu, QMenu& popup)
{
    QMenu* languageMenu = FirstSubmenu(popup);
    if (!languageMenu)
        return 0;
    const QList<QAction*> placeholder = languageMenu->actions();
    if (!placeholder.isEmpty())
        delete placeholder.first();
    for (int i = 0; i < language.GetLanguageCount(); ++i) {
        const QString name = language.GetLanguageName(i);
        QAction* entry = languageMenu->addAction(name);
        entry->setData(kFirstLanguageCommand + i);
        entry->setCheckable(true);
        entry->setChecked(name.compare(language.GetCurrentLanguage(), Qt::CaseInsensitive) == 0);
    }
    TranslateMenu(language, topMenu, kPopupMenuTemplate);
    return 1;
}

int ShowLanguagePopup(const LanguagePack& language, QWidget& window, QPoint clientPosition)
{
    const std::unique_ptr<QMenu> topMenu = LoadMenuTemplate(PopupMenuTemplate());
    QMenu* popup = FirstSubmenu(*topMenu);
    if (!popup)
        return 0;
    BuildLanguageMenu(language, *topMenu, *popup);
    const QAction* chosen = popup->exec(window.mapToGlobal(clientPosition));
    return chosen ? chosen->data().toInt() : 0;
}

void OnLanguageCommand(LanguagePack& language, MessageService& messages, QWidget& mainWindow, int commandId)
{
    const int index = commandId - kFirstLanguageCommand;
    // An id past the list (more than 1000 files) chooses nothing.
    if (commandId < kFirstLanguageCommand || commandId > kLastLanguageCommand || index >= language.GetLanguageCount())
        return;
    QString name = language.GetLanguageName(index);
    language.SelectLanguage(name);
    TranslateDialog(language, mainWindow, kMainWindowTemplate);
    messages.Show(&mainWindow, language.GetString(kStringRestart), language.GetString(kStringWarning));
}

void OnFontCommand(LanguagePack& language, Choosers& choosers, QWidget& mainWindow)
{
    // Before any language was loaded there is no UiFont: start from the stored defaults.
    const QFont initial = ToQFont(language.UiFont().value_or(FontDescription{}));
    const std::optional<QFont> chosen = choosers.ChooseFont(&mainWindow, initial);
    if (!chosen)
        return;
    const FontDescription font = FromQFont(*chosen);
    language.SetUiFont(font);
    language.SaveUiFont(font);
    TranslateDialog(language, mainWindow, kMainWindowTemplate);
}
