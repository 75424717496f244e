#pragma once

#include "extract/ConversionJob.h"

#include <QString>

#include <optional>

class LanguagePack;
class MessageService;
class QWidget;

// Where the window turns a conversion's news into boxes and status texts,
// in the current language.
class ConversionPresenter final {
public:
    // owner: the main window.
    ConversionPresenter(MessageService& messages, const LanguagePack& language, QWidget* owner)
        : messages_(messages), language_(language), owner_(owner)
    {
    }

    // The checks of Convert before the job starts, each ending the command
    // with its box: a clip, a range, the old output file, a plausible rate.
    // The request as it will run, with the answers applied.
    std::optional<ConversionRequest> Checked(const ConversionRequest& request) const;
    void ShowStepFailure(ConversionStep step, MediaResult result) const;
    // A conversion that lost pictures or stopped early must not look like a success.
    void ShowEnd(const ConversionOutcome& outcome) const;
    // "Done. Output file: <folder>     Resolution: <w>*<h>"
    QString ClosingStatus(const ConversionSettings& settings) const;
    static QString ProgressStatus(int seconds);

private:
    bool ConfirmOutputFile(const ConversionSettings& settings) const;
    void CheckFrameRate(ConversionRequest& request) const;

    MessageService& messages_;
    const LanguagePack& language_;
    QWidget* owner_;
};
