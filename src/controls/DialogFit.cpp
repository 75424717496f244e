#include "controls/DialogFit.h"

#include "controls/DialogBuilder.h"
#include "controls/IconButton.h"
#include "controls/LinkLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <vector>

namespace {

// Air left beside a measured text: styles draw some texts a pixel in from
// the area they report.
constexpr int kTextSlack = 2;
// The icon push button's icon keeps this distance from the button's edge.
constexpr int kIconMargin = 3;

// Pixels added at template edges (in dialog units) along one axis.
class Stretch {
public:
    // Pixels added at edges up to and including edge.
    int Before(int edge) const
    {
        int sum = 0;
        for (auto it = added_.begin(); it != added_.end() && it->first <= edge; ++it)
            sum += it->second;
        return sum;
    }
    // Pixels added at edges after start, up to and including end.
    int Within(int start, int end) const { return Before(end) - Before(start); }
    int Total() const { return Before(std::numeric_limits<int>::max()); }
    void Add(int edge, int pixels) { added_[edge] += pixels; }

private:
    std::map<int, int> added_;
};

// A control's need along one axis: its template edges, its size there in
// pixels before any stretch, and the pixels its text needs.
struct Claim {
    int start;
    int end;
    int templatePixels;
    int need;
};

// Claims are met in the order of their far edges: room added for one claim
// lies at or beyond the edges of those met before, so it never takes from them.
void MakeRoom(std::vector<Claim> claims, Stretch& stretch)
{
    std::ranges::stable_sort(claims, {}, &Claim::end);
    for (const Claim& claim : claims) {
        const int have = claim.templatePixels + stretch.Within(claim.start, claim.end);
        if (claim.need > have)
            stretch.Add(claim.end, claim.need - have);
    }
}

QSize TextSize(const QWidget& widget, const QString& text, int flags)
{
    return widget.fontMetrics().size(Qt::TextSingleLine | flags, text) + QSize(kTextSlack, 0);
}

QSize LabelNeed(const QLabel& label)
{
    return TextSize(label, label.text(), 0) + label.size() - label.contentsRect().size();
}

// A button's text and the room its style keeps around the text's area.
QSize AroundText(const QAbstractButton& button, const QRect& textArea)
{
    return TextSize(button, button.text(), Qt::TextShowMnemonic) + button.size() - textArea.size();
}

QSize ButtonNeed(const QPushButton& button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    if (button.autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    if (button.isDefault())
        option.features |= QStyleOptionButton::DefaultButton;
    return AroundText(button, button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button));
}

// The text goes right of the box the style draws.
QSize CheckBoxNeed(const QCheckBox& box)
{
    QStyleOptionButton option;
    option.initFrom(&box);
    option.text = box.text();
    return AroundText(box, box.style()->subElementRect(QStyle::SE_CheckBoxContents, &option, &box));
}

// Only the width: the title, indented as the style indents it, with as much
// room again on its right. The controls inside claim the height.
QSize GroupBoxNeed(const QGroupBox& group)
{
    QStyleOptionGroupBox option;
    option.initFrom(&group);
    option.text = group.title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect label = group.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &group);
    return {2 * label.left() + TextSize(group, group.title(), Qt::TextShowMnemonic).width(), 0};
}

// The caption is drawn beside or below the icon, one pixel further right
// and down while the button is pressed.
QSize IconButtonNeed(const IconButton& button)
{
    const QSize text = TextSize(button, button.text(), Qt::TextShowMnemonic) + QSize(1, 1);
    const QSize icon = button.Icon().isNull() ? QSize() : button.Icon().size();
    switch (button.IconAlignment()) {
    case IconButton::kIconAbove:
        return {std::max(text.width(), icon.width() + 2 * kIconMargin), kIconMargin + icon.height() + text.height()};
    case IconButton::kIconLeft:
    case IconButton::kIconRight:
        return {kIconMargin + icon.width() + text.width(), std::max(text.height(), icon.height() + 2 * kIconMargin)};
    default:
        return text.expandedTo(icon);
    }
}

// Only the width: a drop-down list takes its own height.
QSize ListNeed(const QComboBox& list)
{
    int widest = 0;
    for (int i = 0; i < list.count(); ++i)
        widest = std::max(widest, TextSize(list, list.itemText(i), 0).width());
    QStyleOptionComboBox option;
    option.initFrom(&list);
    option.frame = list.hasFrame();
    const QRect field =
        list.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &list);
    return {widest + list.width() - field.width(), 0};
}

// What a control's text needs; nothing for controls whose template gives no
// text (their texts come and go while the window is used).
QSize Need(const QWidget& control, const ControlTemplate& row)
{
    if (const auto* list = qobject_cast<const QComboBox*>(&control))
        return ListNeed(*list);
    if (row.caption.empty())
        return {};
    if (const auto* button = qobject_cast<const IconButton*>(&control))
        return IconButtonNeed(*button);
    if (const auto* button = qobject_cast<const QPushButton*>(&control))
        return ButtonNeed(*button);
    if (const auto* box = qobject_cast<const QCheckBox*>(&control))
        return CheckBoxNeed(*box);
    if (const auto* group = qobject_cast<const QGroupBox*>(&control))
        return GroupBoxNeed(*group);
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return LabelNeed(*label);
    return {};
}

constexpr char kTemplateRow[] = "templateRow";

struct Placed {
    QWidget* control;
    const ControlTemplate& row;
};

// A control put in place of a built one (a link label) is found by its id.
std::optional<std::size_t> RowOf(const QWidget& control, const DialogTemplate& dialogTemplate)
{
    const QVariant stored = control.property(kTemplateRow);
    if (stored.isValid())
        return static_cast<std::size_t>(stored.toInt());
    const int id = ControlId(&control);
    if (id == -1)
        return std::nullopt;
    const auto& rows = dialogTemplate.controls;
    const auto found = std::ranges::find(rows, id, &ControlTemplate::id);
    if (found == rows.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - rows.begin());
}

std::vector<Placed> TemplateControls(QDialog& dialog, const DialogTemplate& dialogTemplate)
{
    std::vector<Placed> placed;
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const std::optional<std::size_t> row = RowOf(*child, dialogTemplate);
        if (row && *row < dialogTemplate.controls.size())
            placed.push_back({child, dialogTemplate.controls[*row]});
    }
    return placed;
}

// Base units of the largest font in the dialog, so that a larger user
// font widens and heightens the whole dialog in proportion.
DialogBaseUnits LargestUnits(const QDialog& dialog, const std::vector<Placed>& placed)
{
    DialogBaseUnits units = DialogBaseUnits::Of(dialog.font());
    for (const Placed& p : placed) {
        const DialogBaseUnits own = DialogBaseUnits::Of(p.control->font());
        units.x = std::max(units.x, own.x);
        units.y = std::max(units.y, own.y);
    }
    return units;
}

QRect PlaceOf(const ControlTemplate& row, const DialogBaseUnits& units, const Stretch& across, const Stretch& down)
{
    const QRect base = units.MapDialogRect(row.x, row.y, row.width, row.height);
    return {base.x() + across.Before(row.x), base.y() + down.Before(row.y),
            base.width() + across.Within(row.x, row.x + row.width),
            base.height() + down.Within(row.y, row.y + row.height)};
}

class DialogFitter final : public QObject {
public:
    DialogFitter(QDialog& dialog, const DialogTemplate& dialogTemplate)
        : QObject(&dialog), dialog_(dialog), template_(dialogTemplate)
    {
        dialog.installEventFilter(this);
    }

    // A control whose text or font changes asks its parent for a new layout.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &dialog_ && (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest))
            FitDialog(dialog_, template_);
        return false;
    }

private:
    QDialog& dialog_;
    const DialogTemplate& template_;
};

} // namespace

void MarkTemplateRow(QWidget& control, int row)
{
    control.setProperty(kTemplateRow, row);
}

void FitDialog(QDialog& dialog, const DialogTemplate& dialogTemplate)
{
    const std::vector<Placed> placed = TemplateControls(dialog, dialogTemplate);
    const DialogBaseUnits units = LargestUnits(dialog, placed);
    std::vector<Claim> widths;
    std::vector<Claim> heights;
    for (const Placed& p : placed) {
        if (!p.control->isVisibleTo(&dialog))
            continue;
        const QSize need = Need(*p.control, p.row);
        const QRect base = units.MapDialogRect(p.row.x, p.row.y, p.row.width, p.row.height);
        if (need.width() > 0)
            widths.push_back({p.row.x, p.row.x + p.row.width, base.width(), need.width()});
        if (need.height() > 0)
            heights.push_back({p.row.y, p.row.y + p.row.height, base.height(), need.height()});
    }
    Stretch across;
    Stretch down;
    MakeRoom(std::move(widths), across);
    MakeRoom(std::move(heights), down);
    for (const Placed& p : placed) {
        p.control->setGeometry(NaturalPlace(p.row, PlaceOf(p.row, units, across, down), *p.control));
        if (auto* link = qobject_cast<LinkLabel*>(p.control))
            link->FitToText();
    }
    const QRect whole = units.MapDialogRect(0, 0, dialogTemplate.width, dialogTemplate.height);
    const QSize size(whole.width() + across.Total(), whole.height() + down.Total());
    if (dialog.minimumSize() != size || dialog.maximumSize() != size)
        dialog.setFixedSize(size);
}

void KeepDialogFitted(QDialog& dialog, const DialogTemplate& dialogTemplate)
{
    new DialogFitter(dialog, dialogTemplate);
}
