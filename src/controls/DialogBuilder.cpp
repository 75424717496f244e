#include "controls/DialogBuilder.h"

#include "controls/DialogFit.h"
#include "controls/IconButton.h"
#include "resources/Resources.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

Qt::Alignment LabelAlignment(std::uint32_t style)
{
    Qt::Alignment alignment = Qt::AlignLeft;
    if (style & kStyleCentred)
        alignment = Qt::AlignHCenter;
    else if (style & kStyleRight)
        alignment = Qt::AlignRight;
    return alignment | ((style & kStyleVCentred) ? Qt::AlignVCenter : Qt::AlignTop);
}

QWidget* MakeLabel(const ControlTemplate& control, QWidget* parent)
{
    auto* label = new QLabel(ResourceText(control.caption), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(LabelAlignment(control.style));
    // Static text wraps at word boundaries unless it is centred vertically (one line).
    label->setWordWrap(!(control.style & kStyleVCentred));
    if (control.style & kStyleSunken)
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

QWidget* MakeIcon(const ControlTemplate& control, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setPixmap(LoadIconPixmap(control.imageId));
    return label;
}

QWidget* MakePushButton(const ControlTemplate& control, QWidget* parent)
{
    auto* button = new QPushButton(ResourceText(control.caption), parent);
    const bool isDefault = control.kind == ControlKind::DefaultPushButton;
    // Enter presses the default button only, whichever button has the focus.
    button->setAutoDefault(isDefault);
    button->setDefault(isDefault);
    return button;
}

QWidget* MakeTrackBar(const ControlTemplate&, QWidget* parent)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setTickPosition(QSlider::NoTicks);
    return slider;
}

QWidget* MakeListView(const ControlTemplate&, QWidget* parent)
{
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    return list;
}

QWidget* MakeEdit(const ControlTemplate& control, QWidget* parent)
{
    auto* edit = new QLineEdit(ResourceText(control.caption), parent);
    edit->setFrame((control.style & kStyleBorder) != 0);
    edit->setAlignment((control.style & kStyleCentred) ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    return edit;
}

QWidget* MakeDropDownList(const ControlTemplate& control, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    for (const std::string_view item : control.items)
        list->addItem(ResourceText(item));
    return list;
}

QWidget* MakeProgressBar(const ControlTemplate&, QWidget* parent)
{
    auto* bar = new QProgressBar(parent);
    bar->setTextVisible(false);
    return bar;
}

QWidget* MakeControl(const ControlTemplate& control, QWidget* parent)
{
    switch (control.kind) {
    case ControlKind::Label: return MakeLabel(control, parent);
    case ControlKind::Icon: return MakeIcon(control, parent);
    case ControlKind::GroupBox: return new QGroupBox(ResourceText(control.caption), parent);
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton: return MakePushButton(control, parent);
    case ControlKind::CheckBox: return new QCheckBox(ResourceText(control.caption), parent);
    case ControlKind::IconButton: return new IconButton(ResourceText(control.caption), parent);
    case ControlKind::TrackBar: return MakeTrackBar(control, parent);
    case ControlKind::ListView: return MakeListView(control, parent);
    case ControlKind::Edit: return MakeEdit(control, parent);
    case ControlKind::DropDownList: return MakeDropDownList(control, parent);
    case ControlKind::ProgressBar: return MakeProgressBar(control, parent);
    }
    return new QWidget(parent);
}

} // namespace

QRect NaturalPlace(const ControlTemplate& control, QRect place, const QWidget& widget)
{
    if (control.kind == ControlKind::Icon)
        place.setSize(widget.sizeHint());
    else if (control.kind == ControlKind::DropDownList)
        place.setHeight(widget.sizeHint().height());
    return place;
}

DialogBaseUnits DialogBaseUnits::Of(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int extent = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(extent / 26 + 1) / 2, metrics.height()};
}

QRect DialogBaseUnits::MapDialogRect(int left, int top, int width, int height) const
{
    return {MulDiv(left, x, 4), MulDiv(top, y, 8), MulDiv(width, x, 4), MulDiv(height, y, 8)};
}

QFont TemplateFont(const DialogTemplate& dialogTemplate)
{
    return QFont(ResourceText(dialogTemplate.fontFace), dialogTemplate.fontPointSize);
}

DialogControls BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate)
{
    dialog.setFont(TemplateFont(dialogTemplate));
    dialog.setWindowTitle(ResourceText(dialogTemplate.caption));
    const DialogBaseUnits units = DialogBaseUnits::Of(dialog.font());
    dialog.setFixedSize(units.MapDialogRect(0, 0, dialogTemplate.width, dialogTemplate.height).size());
    DialogControls controls;
    for (std::size_t row = 0; row < dialogTemplate.controls.size(); ++row) {
        const ControlTemplate& control = dialogTemplate.controls[row];
        QWidget* widget = MakeControl(control, &dialog);
        SetControlId(*widget, control.id);
        MarkTemplateRow(*widget, static_cast<int>(row));
        widget->setGeometry(
            NaturalPlace(control, units.MapDialogRect(control.x, control.y, control.width, control.height), *widget));
        if (control.style & kStyleHidden)
            widget->hide();
        if (control.id != -1) {
            widget->setObjectName(QStringLiteral("control%1").arg(control.id));
            controls.Add(control.id, widget);
        }
    }
    KeepDialogFitted(dialog, dialogTemplate);
    return controls;
}
