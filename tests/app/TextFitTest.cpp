// The main window, the Options dialog and the About box show every text of
// their labels, buttons, check boxes, group titles and lists whole, in each
// shipped language and with a 16-point font chosen through the Font command:
// the text's width by its font's metrics fits the area the style draws it
// in, and no such control lies under another (a group box only frames those
// below its title) or past the window's edge.
#include "app/MainWindow.h"
#include "controls/AboutDialog.h"
#include "controls/IconButton.h"
#include "i18n/Translate.h"
#include "platform/ui/DialogControlId.h"
#include "settings/OptionsDialog.h"
#include "support/FakeAppServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct TextArea {
    QString text;
    QRect area; // where the style draws the text, in the control's coordinates
};

int TextWidth(const QWidget& control, const QString& text, int flags = 0)
{
    return control.fontMetrics().size(Qt::TextSingleLine | flags, text).width();
}

QRect ButtonContents(const QPushButton& button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    if (button.autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    if (button.isDefault())
        option.features |= QStyleOptionButton::DefaultButton;
    return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
}

QRect CheckBoxText(const QCheckBox& box)
{
    QStyleOptionButton option;
    option.initFrom(&box);
    option.text = box.text();
    return box.style()->subElementRect(QStyle::SE_CheckBoxContents, &option, &box);
}

QRect GroupTitle(const QGroupBox& group)
{
    QStyleOptionGroupBox option;
    option.initFrom(&group);
    option.text = group.title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    return group.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &group);
}

// A group box frames the controls that lie wholly inside it, below its title.
bool Frames(const QWidget& outer, const QWidget& inner)
{
    const auto* group = qobject_cast<const QGroupBox*>(&outer);
    return group && outer.geometry().contains(inner.geometry()) &&
           inner.y() > outer.y() + GroupTitle(*group).bottom();
}

QRect ListField(const QComboBox& list)
{
    QStyleOptionComboBox option;
    option.initFrom(&list);
    option.frame = list.hasFrame();
    return list.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &list);
}

// "" when every text of the control shows whole, else what is cut.
QString CutText(const QWidget& control)
{
    const QFontMetrics& metrics = control.fontMetrics();
    QString cut;
    auto check = [&](const QString& text, int width, int height, const QRect& area) {
        if (width > area.width() || height > area.height())
            cut += QStringLiteral("'%1' needs %2x%3 in %4x%5; ")
                       .arg(text).arg(width).arg(height).arg(area.width()).arg(area.height());
    };
    if (const auto* button = qobject_cast<const IconButton*>(&control)) {
        // The caption goes below the icon.
        const int iconHeight = button->Icon().isNull() ? 0 : button->Icon().height();
        check(button->text(), TextWidth(control, button->text(), Qt::TextShowMnemonic), iconHeight + metrics.height(),
              button->rect());
    } else if (const auto* plain = qobject_cast<const QPushButton*>(&control)) {
        check(plain->text(), TextWidth(control, plain->text(), Qt::TextShowMnemonic), metrics.height(),
              ButtonContents(*plain));
    } else if (const auto* box = qobject_cast<const QCheckBox*>(&control)) {
        check(box->text(), TextWidth(control, box->text(), Qt::TextShowMnemonic), metrics.height(), CheckBoxText(*box));
    } else if (const auto* group = qobject_cast<const QGroupBox*>(&control)) {
        // The style sizes the title's area to the text; it must lie within the frame.
        const QRect title = GroupTitle(*group);
        check(group->title(), TextWidth(control, group->title(), Qt::TextShowMnemonic), metrics.height(),
              title.intersected(group->rect()));
    } else if (const auto* list = qobject_cast<const QComboBox*>(&control)) {
        for (int i = 0; i < list->count(); ++i)
            check(list->itemText(i), TextWidth(control, list->itemText(i)), metrics.height(), ListField(*list));
    } else if (const auto* label = qobject_cast<const QLabel*>(&control); label && !label->text().isEmpty()) {
        check(label->text(), TextWidth(control, label->text()), metrics.height(), label->contentsRect());
    }
    return cut;
}

bool ShowsText(const QWidget& control)
{
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return !label->text().isEmpty();
    if (const auto* group = qobject_cast<const QGroupBox*>(&control))
        return !group->title().isEmpty();
    return qobject_cast<const QAbstractButton*>(&control) || qobject_cast<const QComboBox*>(&control);
}

void ExpectWholeTexts(QWidget& window, const std::string& where)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)) << where;
    QCoreApplication::processEvents(); // a pending refit after a change of texts
    QList<QWidget*> shown;
    for (QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control->isVisible() && ShowsText(*control))
            shown.append(control);
    ASSERT_GE(shown.size(), 5) << where;
    for (QWidget* control : shown) {
        const std::string name = where + " control " + std::to_string(ControlId(control));
        EXPECT_EQ(CutText(*control).toStdString(), "") << name;
        EXPECT_TRUE(window.rect().contains(control->geometry())) << name;
        for (QWidget* other : shown)
            EXPECT_TRUE(other == control || !other->geometry().intersects(control->geometry()) ||
                        Frames(*other, *control) || Frames(*control, *other))
                << name << " lies under control " << ControlId(other);
    }
}

class TextFitTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(fake.language.Init(QStringLiteral(FRAMELIFT_SOURCE_DIR), QString::fromLatin1(GetParam())), 1);
        ASSERT_EQ(fake.language.GetCurrentLanguage(), QString::fromLatin1(GetParam()));
    }

    void ExpectEveryWindowWhole(MainWindow& window, const std::string& where)
    {
        ExpectWholeTexts(window, where + " main window");
        OptionsContext context{fake.profile, fake.language, fake.messages, {},
                               [this](QWidget& dialog, int templateId) {
                                   TranslateDialog(fake.language, dialog, templateId);
                               }};
        OptionsDialog options(context, ConversionSettings{}, ClipFacts{1920, 1080}, &window);
        ExpectWholeTexts(options, where + " Options");
        AboutDialog about(fake.language, fake.shell, fake.messages, &window);
        ExpectWholeTexts(about, where + " About");
    }

    FakeAppServices fake;
};

TEST_P(TextFitTest, EveryTextShowsWhole)
{
    MainWindow window(fake.services);
    ExpectEveryWindowWhole(window, GetParam());
}

// The font is chosen while the main window shows, as a user does.
TEST_P(TextFitTest, EveryTextShowsWholeInA16PointFont)
{
    MainWindow window(fake.services);
    window.show();
    fake.choosers.fonts = {QFont(QStringLiteral("DejaVu Sans"), 16)};
    window.OnCommand(kCommandPopupFont);
    ExpectEveryWindowWhole(window, std::string(GetParam()) + " 16 pt");
}

INSTANTIATE_TEST_SUITE_P(ShippedLanguages, TextFitTest,
                         ::testing::Values("English", "French", "German", "Japanese_utf-8", "Spanish"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                             return std::string(param.param).substr(0, 5);
                         });

TEST(TextFitLanguages, EveryShippedLanguageIsTried)
{
    EXPECT_EQ(QDir(QStringLiteral(FRAMELIFT_SOURCE_DIR "/language")).entryList({QStringLiteral("*.ini")}).size(), 5);
}

} // namespace
