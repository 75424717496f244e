#pragma once

#include "settings/ConversionSettings.h"

#include <QDialog>

#include <functional>
#include <optional>

class DialogControls;
class LanguagePack;
class MessageService;
class Profile;
class QComboBox;
class QLineEdit;

// What the Options dialog works with besides the settings themselves.
struct OptionsContext {
    Profile& profile;
    LanguagePack& language;
    MessageService& messages;
    // The folder chooser: the chosen folder, or nullopt when cancelled.
    std::function<std::optional<QString>(QWidget* owner, const QString& title)> chooseFolder;
    // Relabels the dialog in the current language.
    std::function<void(QWidget& dialog, int templateId)> translate;
};

// "Output options": edits a working copy of the output settings and, once
// every field passed its check, writes it to the profile on OK. The caller
// takes the copy back only after OK.
class OptionsDialog final : public QDialog {
    Q_OBJECT

public:
    OptionsDialog(OptionsContext& context, const ConversionSettings& settings, const ClipFacts& clip,
                  QWidget* parent = nullptr);
    ~OptionsDialog() override;
    OptionsDialog(const OptionsDialog&) = delete;
    OptionsDialog& operator=(const OptionsDialog&) = delete;

    // The edited copy; after OK it is what the profile now holds.
    const ConversionSettings& Result() const { return working_; }
    QWidget* Control(int id) const;

    void accept() override;

private:
    void OnInitDialog();
    void FillResolutionList();
    void SelectResolution();
    void FillFrameRateList();
    void FillCompressorLists();
    void FillFormatList();
    void FillResizeModes();
    void FillVideoProcessing();
    void HideSiblingControls();
    void ApplyFormatRule(int format);
    void OnFormatChanged(int index);
    int SelectedFormat(int index) const;
    void OnResolutionChanged(int index);
    void OnBrowse();
    std::optional<int> TakeNumberField(int id, int minimum, int maximum);
    bool TakeFrameRate();
    void TakeLists();

    QComboBox* Combo(int id) const;
    QLineEdit* Edit(int id) const;

    OptionsContext& context_;
    ConversionSettings working_;
    const ConversionSettings received_;
    const ClipFacts clip_;
    std::unique_ptr<DialogControls> controls_;
};
