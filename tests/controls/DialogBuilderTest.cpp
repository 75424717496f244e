#include "controls/DialogBuilder.h"
#include "controls/DialogFit.h"
#include "controls/IconButton.h"

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <gtest/gtest.h>

#include <array>
#include <set>

namespace {

struct MapCase {
    DialogBaseUnits units;
    QRect dialogUnits;
    QRect pixels;
};

TEST(DialogBaseUnits, MapsDialogUnitsRoundingHalvesUp)
{
    const MapCase cases[] = {
        {{6, 13}, {9, 5, 66, 32}, {14, 8, 99, 52}},   // 13.5 rounds up, 8.125 down
        {{6, 13}, {0, 0, 357, 196}, {0, 0, 536, 319}}, // 535.5 and 318.5 round up
        {{7, 16}, {7, 175, 343, 14}, {12, 350, 600, 28}},
        {{5, 11}, {1, 1, 1, 1}, {1, 1, 1, 1}},         // 1.25 and 1.375 round down
    };
    for (const MapCase& c : cases) {
        const QRect mapped = c.units.MapDialogRect(c.dialogUnits.x(), c.dialogUnits.y(), c.dialogUnits.width(),
                                                   c.dialogUnits.height());
        EXPECT_EQ(mapped, c.pixels) << c.units.x << "x" << c.units.y;
    }
}

TEST(DialogBaseUnits, AverageWidthAndHeightOfTheFont)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(20);
    const DialogBaseUnits units = DialogBaseUnits::Of(font);
    const QFontMetrics metrics(font);
    EXPECT_EQ(units.y, metrics.height());
    EXPECT_NEAR(units.x, metrics.horizontalAdvance(QStringLiteral("x")), 4);
    EXPECT_GT(units.x, 0);
}

TEST(BuildDialog, MainWindowControlsFoundByIdAtTheirTemplatePlaces)
{
    QDialog dialog;
    const DialogTemplate& main = MainWindowTemplate();
    const DialogControls controls = BuildDialog(dialog, main);
    const DialogBaseUnits units = DialogBaseUnits::Of(dialog.font());
    EXPECT_EQ(dialog.size(), units.MapDialogRect(0, 0, main.width, main.height).size());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Framelift"));
    std::set<int> seen;
    for (const ControlTemplate& row : main.controls) {
        if (row.id == -1)
            continue;
        EXPECT_TRUE(seen.insert(row.id).second) << "id twice: " << row.id;
        QWidget* widget = controls.Find(row.id);
        ASSERT_NE(widget, nullptr) << row.id;
        EXPECT_EQ(ControlId(widget), row.id);
        EXPECT_EQ(widget->parentWidget(), &dialog);
        EXPECT_EQ(widget->geometry(), units.MapDialogRect(row.x, row.y, row.width, row.height)) << row.id;
    }
    EXPECT_EQ(controls.All().size(), static_cast<qsizetype>(seen.size()));
}

TEST(BuildDialog, KindsAndCaptions)
{
    QDialog dialog;
    const DialogControls controls = BuildDialog(dialog, MainWindowTemplate());
    ASSERT_NE(controls.Get<IconButton>(1084), nullptr);
    EXPECT_EQ(controls.Get<IconButton>(1084)->text(), QStringLiteral("&Help"));
    EXPECT_EQ(controls.Get<IconButton>(1058), nullptr); // Play is a plain button
    ASSERT_NE(controls.Get<QPushButton>(1058), nullptr);
    EXPECT_FALSE(controls.Get<QPushButton>(1058)->autoDefault());
    ASSERT_NE(controls.Get<QSlider>(1055), nullptr);
    ASSERT_NE(controls.Get<QLabel>(1021), nullptr);
    EXPECT_TRUE(controls.Get<QLabel>(1021)->alignment() & Qt::AlignVCenter);
    EXPECT_TRUE(controls.Get<QLabel>(1057)->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(controls.Find(4242), nullptr);
}

TEST(BuildDialog, DefaultButton)
{
    static constexpr std::array<ControlTemplate, 1> rows = {{
        {1, ControlKind::DefaultPushButton, "OK", 0, 24, 20, 10},
    }};
    static constexpr DialogTemplate small{900, "Small", "MS Sans Serif", 8, 40, 40, rows};
    QDialog dialog;
    const DialogControls controls = BuildDialog(dialog, small);
    EXPECT_TRUE(controls.Get<QPushButton>(1)->isDefault());
}

TEST(BuildDialog, AboutIconShowsTheApplicationIcon)
{
    QDialog dialog;
    BuildDialog(dialog, AboutDialogTemplate());
    int icons = 0;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (!label->pixmap().isNull()) {
            ++icons;
            EXPECT_EQ(label->size(), QSize(32, 32));
        }
    EXPECT_EQ(icons, 1);
}

// Two rows of a label and a field, and a button right of the first field.
TEST(FitDialog, ALongTextWidensItsColumnForEveryRowAndShrinksBack)
{
    static constexpr std::array<ControlTemplate, 5> rows = {{
        {20, ControlKind::Label, "Name:", 4, 4, 40, 14},
        {21, ControlKind::Edit, "", 48, 4, 60, 14, kStyleBorder},
        {22, ControlKind::PushButton, "Go", 112, 4, 30, 14},
        {23, ControlKind::Label, "Size:", 4, 22, 40, 14},
        {24, ControlKind::Edit, "", 48, 22, 60, 14, kStyleBorder},
    }};
    static constexpr DialogTemplate form{901, "Form", "MS Sans Serif", 8, 150, 40, rows};
    QDialog dialog;
    const DialogControls controls = BuildDialog(dialog, form);
    dialog.show();
    const QSize templateSize = dialog.size();
    const QRect field = controls.Find(24)->geometry();
    const QRect button = controls.Find(22)->geometry();
    auto* label = controls.Get<QLabel>(20);
    const QString longText = QStringLiteral("A much longer name than the template's:");

    label->setText(longText);
    QCoreApplication::processEvents();
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(longText));
    const int shift = controls.Find(21)->x() - field.x();
    EXPECT_GT(shift, 0);
    EXPECT_EQ(controls.Find(24)->geometry(), field.translated(shift, 0)); // the rows stay lined up
    EXPECT_EQ(controls.Find(22)->geometry(), button.translated(shift, 0));
    EXPECT_EQ(controls.Find(24)->width(), field.width());
    EXPECT_EQ(dialog.width(), templateSize.width() + shift);
    EXPECT_EQ(dialog.height(), templateSize.height());

    label->setText(QStringLiteral("Name:"));
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.size(), templateSize);
    EXPECT_EQ(controls.Find(21)->x(), field.x());
}

TEST(ControlId, OtherWidgetsHaveNone)
{
    QWidget plain;
    EXPECT_EQ(ControlId(&plain), -1);
    EXPECT_EQ(ControlId(nullptr), -1);
}

} // namespace
