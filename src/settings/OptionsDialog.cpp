#include "settings/OptionsDialog.h"

#include "controls/DialogBuilder.h"
#include "i18n/LanguagePack.h"
#include "imaging/PictureFormats.h"
#include "platform/profile/Profile.h"
#include "platform/ui/ApplicationTitle.h"
#include "platform/ui/MessageService.h"
#include "resources/OptionsDialogTemplate.h"
#include "resources/StringIds.h"
#include "resources/TemplateIds.h"
#include "settings/PathRules.h"
#include "settings/SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <array>

namespace {

// Control ids of the Options template.
enum : int {
    kFormatList = 1090, kFolderField = 1087, kBrowseButton = 1088, kResolutionList = 1025,
    kWidthField = 1027, kHeightField = 1028, kResizeList = 1070, kQualityLabel = 1091,
    kQualityField = 1092, kQualityHint = 1094, kIntervalField = 1096, kOkButton = 1082,
    kCancelButton = 1083, kOutputFileField = 1022, kFrameRateList = 1068, kFrameRateField = 1069,
    kVideoCompressorList = 1001, kAudioCompressorList = 1002, kSpareList = 1052, kToneMapBox = 1106,
    kDeinterlaceList = 1108,
};

constexpr int kOriginalEntry = 0;
constexpr int kCustomEntry = 8;
constexpr int kLargestCustomSize = 16384;

struct Size {
    int width;
    int height;
};
// The deinterlacing list's entries, in the order of the stored modes.
constexpr std::array<int, 3> kDeinterlaceEntries = {kStringDeinterlaceOff, kStringDeinterlaceAutomatic,
                                                    kStringDeinterlaceAlways};

constexpr std::array<Size, 7> kPresetSizes = {{{640, 480}, {720, 576}, {720, 480}, {480, 576}, {480, 480},
                                               {352, 288}, {352, 240}}};

// Controls of a sibling product's single-file output and compressors, hidden in this order.
constexpr std::array<int, 10> kSiblingControls = {1023, 1022, 1024, 1080, 1081, 1077, 1001, 1002, 1053, 1051};

const QString kChooseFolder = QStringLiteral("Choose a folder");
const QString kUnknownError = QStringLiteral("unknown error");
const QString kErrorCaption = QStringLiteral("error");
const QString kFrameRateTooSmall = QStringLiteral("The frame rate is too small!");
const QString kEnterInteger = QStringLiteral("Please enter an integer.");
const QString kEnterIntegerBetween = QStringLiteral("Please enter an integer between %1 and %2.");
const QString kUncompressedVideo = QStringLiteral("Full frames (uncompressed)");
const QString kUncompressedAudio = QStringLiteral("Uncompressed Audio");

std::optional<int> ParseInteger(const QString& text)
{
    static const QRegularExpression integer(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
    if (!integer.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

OptionsDialog::OptionsDialog(OptionsContext& context, const ConversionSettings& settings, const ClipFacts& clip,
                             QWidget* parent)
    : QDialog(parent), context_(context), working_(settings), received_(settings), clip_(clip),
      controls_(std::make_unique<DialogControls>(BuildDialog(*this, OptionsDialogTemplate())))
{
    connect(Combo(kFormatList), &QComboBox::activated, this, &OptionsDialog::OnFormatChanged);
    connect(Combo(kResolutionList), &QComboBox::activated, this, &OptionsDialog::OnResolutionChanged);
    connect(qobject_cast<QPushButton*>(Control(kBrowseButton)), &QPushButton::clicked, this, &OptionsDialog::OnBrowse);
    connect(qobject_cast<QPushButton*>(Control(kOkButton)), &QPushButton::clicked, this, &OptionsDialog::accept);
    connect(qobject_cast<QPushButton*>(Control(kCancelButton)), &QPushButton::clicked, this, &OptionsDialog::reject);
    OnInitDialog();
}

OptionsDialog::~OptionsDialog() = default;

QWidget* OptionsDialog::Control(int id) const { return controls_->Find(id); }
QComboBox* OptionsDialog::Combo(int id) const { return controls_->Get<QComboBox>(id); }
QLineEdit* OptionsDialog::Edit(int id) const { return controls_->Get<QLineEdit>(id); }

void OptionsDialog::OnInitDialog()
{
    Edit(kFolderField)->setText(working_.outputFolder);
    Edit(kQualityField)->setText(QString::number(working_.jpegQuality));
    Edit(kIntervalField)->setText(QString::number(working_.samplingInterval));
    FillResolutionList();
    Control(kSpareList)->hide();
    Edit(kOutputFileField)->setText(working_.outputFilePath);
    Edit(kWidthField)->setText(QString::number(working_.outputWidth));
    Edit(kHeightField)->setText(QString::number(working_.outputHeight));
    Control(kWidthField)->hide();
    Control(kHeightField)->hide();
    SelectResolution();
    FillFrameRateList();
    FillCompressorLists();
    FillResizeModes();
    FillVideoProcessing();
    HideSiblingControls();
    FillFormatList();
    ApplyFormatRule(working_.outputFormat);
    if (context_.translate)
        context_.translate(*this, kOptionsDialogTemplate);
}

// The offered formats, each entry holding its code; a stored code the list
// does not offer selects nothing.
void OptionsDialog::FillFormatList()
{
    QComboBox* list = Combo(kFormatList);
    for (const PictureFormat& format : PictureFormats())
        if (format.listName != nullptr)
            list->addItem(QString::fromLatin1(format.listName), static_cast<int>(format.code));
    list->setCurrentIndex(list->findData(working_.outputFormat));
}

void OptionsDialog::FillResolutionList()
{
    QComboBox* list = Combo(kResolutionList);
    QString original = context_.language.GetString(kStringOriginalSize);
    if (clip_.videoWidth != 0 || clip_.videoHeight != 0)
        original += QStringLiteral(" %1*%2").arg(clip_.videoWidth).arg(clip_.videoHeight);
    list->setItemText(kOriginalEntry, original);
    list->setItemText(kCustomEntry, context_.language.GetString(kStringCustomSize));
}

void OptionsDialog::SelectResolution()
{
    int entry = kCustomEntry;
    if (working_.outputWidth == clip_.videoWidth && working_.outputHeight == clip_.videoHeight) {
        entry = kOriginalEntry;
    } else {
        for (std::size_t i = 0; i < kPresetSizes.size(); ++i)
            if (working_.outputWidth == kPresetSizes[i].width && working_.outputHeight == kPresetSizes[i].height) {
                entry = static_cast<int>(i) + 1;
                break;
            }
    }
    Combo(kResolutionList)->setCurrentIndex(entry);
    if (entry == kCustomEntry) {
        Control(kWidthField)->show();
        Control(kHeightField)->show();
    }
}

void OptionsDialog::FillFrameRateList()
{
    QComboBox* list = Combo(kFrameRateList);
    QString original = context_.language.GetString(kStringOriginalFrameRate);
    if (clip_.videoItemCount > 0)
        original += u' ' + QString::number(clip_.sourceFrameRate, 'f', 3);
    list->setItemText(0, original);
    list->setItemText(kCustomFrameRateIndex, context_.language.GetString(kStringCustomFrameRate));
    Edit(kFrameRateField)->setText(working_.frameRateIndex == 0 ? QString::number(kDefaultFrameRate, 'f', 6)
                                                                : QString::number(working_.frameRate, 'f', 3));
    list->setCurrentIndex(working_.frameRateIndex);
}

// No compressor is offered on this platform: each list holds its first entry only.
void OptionsDialog::FillCompressorLists()
{
    Combo(kVideoCompressorList)->addItem(kUncompressedVideo);
    Combo(kAudioCompressorList)->addItem(kUncompressedAudio);
    Combo(kVideoCompressorList)->setCurrentIndex(0);
    Combo(kAudioCompressorList)->setCurrentIndex(0);
}

void OptionsDialog::FillResizeModes()
{
    QComboBox* list = Combo(kResizeList);
    list->setItemText(0, context_.language.GetString(kStringPreserveAspectRatio));
    list->setItemText(1, context_.language.GetString(kStringResizeStretch));
    list->setCurrentIndex(working_.resizeMode == kResizePreserveAspectRatio ? 0 : 1);
}

void OptionsDialog::FillVideoProcessing()
{
    controls_->Get<QCheckBox>(kToneMapBox)->setChecked(working_.toneMapHdr);
    QComboBox* list = Combo(kDeinterlaceList);
    for (std::size_t mode = 0; mode < kDeinterlaceEntries.size(); ++mode)
        list->setItemText(static_cast<int>(mode), context_.language.GetString(kDeinterlaceEntries[mode]));
    list->setCurrentIndex(working_.deinterlaceMode);
}

void OptionsDialog::HideSiblingControls()
{
    for (const int id : kSiblingControls)
        Control(id)->hide();
}

void OptionsDialog::ApplyFormatRule(int format)
{
    if (FindPictureFormat(format) == nullptr) {
        context_.messages.Show(this, kUnknownError, kErrorCaption);
        return;
    }
    const bool jpeg = format == kFormatJpg;
    for (const int id : {kQualityLabel, kQualityField, kQualityHint})
        Control(id)->setEnabled(jpeg);
}

void OptionsDialog::OnFormatChanged(int index)
{
    working_.outputFormat = SelectedFormat(index);
    ApplyFormatRule(working_.outputFormat);
}

// The code of the list entry; -1 for no entry.
int OptionsDialog::SelectedFormat(int index) const
{
    return index < 0 ? -1 : Combo(kFormatList)->itemData(index).toInt();
}

void OptionsDialog::OnResolutionChanged(int index)
{
    Size size{clip_.videoWidth, clip_.videoHeight};
    if (index >= 1 && index <= static_cast<int>(kPresetSizes.size()))
        size = kPresetSizes[static_cast<std::size_t>(index - 1)];
    else if (index == kCustomEntry)
        size = {received_.outputWidth, received_.outputHeight};
    Edit(kWidthField)->setText(QString::number(size.width));
    Edit(kHeightField)->setText(QString::number(size.height));
    Control(kWidthField)->setVisible(index == kCustomEntry);
    Control(kHeightField)->setVisible(index == kCustomEntry);
}

void OptionsDialog::OnBrowse()
{
    if (!context_.chooseFolder)
        return;
    if (const auto folder = context_.chooseFolder(this, kChooseFolder))
        Edit(kFolderField)->setText(*folder);
}

// The field's integer, or nullopt after the validation message with the focus on the field.
std::optional<int> OptionsDialog::TakeNumberField(int id, int minimum, int maximum)
{
    QLineEdit* field = Edit(id);
    const std::optional<int> value = ParseInteger(field->text());
    if (value && *value >= minimum && *value <= maximum)
        return value;
    context_.messages.Show(this, value ? kEnterIntegerBetween.arg(minimum).arg(maximum) : kEnterInteger,
                           ApplicationTitle());
    field->setFocus();
    field->selectAll();
    return std::nullopt;
}

bool OptionsDialog::TakeFrameRate()
{
    if (ParseDecimal(Edit(kFrameRateField)->text()) >= 0.001)
        return true;
    context_.messages.Show(this, kFrameRateTooSmall, ApplicationTitle());
    return false;
}

// Every field is checked before anything is taken or written, so a refused
// OK leaves the dialog, the settings and the profile as they were.
void OptionsDialog::accept()
{
    const QString folder = Edit(kFolderField)->text();
    const std::optional<int> quality = TakeNumberField(kQualityField, 1, 100);
    if (!quality)
        return;
    const std::optional<int> interval = TakeNumberField(kIntervalField, 1, 65535);
    if (!interval)
        return;
    // A custom size must make a picture; preset entries fill the fields themselves.
    const bool custom = Combo(kResolutionList)->currentIndex() == kCustomEntry;
    if (custom && (!TakeNumberField(kWidthField, 1, kLargestCustomSize) ||
                   !TakeNumberField(kHeightField, 1, kLargestCustomSize)))
        return;
    if (!EnsureFolder(context_.messages, this, folder) || !TakeFrameRate())
        return;
    working_.outputFolder = WithTrailingBackslash(WithoutTrailingBackslash(folder));
    working_.jpegQuality = *quality;
    working_.samplingInterval = *interval;
    TakeLists();
    SaveConversionSettings(context_.profile, working_);
    QDialog::accept();
}

void OptionsDialog::TakeLists()
{
    ChooseFrameRate(working_, Combo(kFrameRateList)->currentIndex(), ParseDecimal(Edit(kFrameRateField)->text()),
                    clip_.sourceFrameRate);
    working_.outputFilePath = Edit(kOutputFileField)->text();
    working_.outputWidth = ParseInteger(Edit(kWidthField)->text()).value_or(0);
    working_.outputHeight = ParseInteger(Edit(kHeightField)->text()).value_or(0);
    working_.resizeMode = Combo(kResizeList)->currentIndex() == 0 ? kResizePreserveAspectRatio : kResizeStretch;
    working_.toneMapHdr = controls_->Get<QCheckBox>(kToneMapBox)->isChecked();
    working_.deinterlaceMode = Combo(kDeinterlaceList)->currentIndex();
    // A stored GIF cannot be picked from the list; keep it rather than lose it to "nothing selected".
    const int selected = SelectedFormat(Combo(kFormatList)->currentIndex());
    working_.outputFormat = selected < 0 && working_.outputFormat == kFormatGif ? kFormatGif : selected;
}
