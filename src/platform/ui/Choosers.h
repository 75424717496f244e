#pragma once

#include <QFont>
#include <QString>

#include <optional>

class QWidget;

// The platform's file, folder and font choosers; nullopt when the user cancels.
// Tests replace them with scripted answers.
class Choosers {
public:
    virtual ~Choosers() = default;

    // One existing file. filter: Qt's form, "Video Files (*.avi *.mpg);;Any Files (*)",
    // of which the chooser shows the labels alone ("Video Files", "Any Files");
    // selectedFilter: the entry preselected, empty for the first.
    virtual std::optional<QString> ChooseOpenFile(QWidget* owner, const QString& caption, const QString& directory,
                                                  const QString& filter, const QString& selectedFilter) = 0;
    virtual std::optional<QString> ChooseFolder(QWidget* owner, const QString& caption,
                                                const QString& startFolder) = 0;
    // Screen fonts with effects (underline, strike-out).
    virtual std::optional<QFont> ChooseFont(QWidget* owner, const QFont& initial) = 0;
};

// QFileDialog and QFontDialog, modal to their owner.
class QtChoosers final : public Choosers {
public:
    std::optional<QString> ChooseOpenFile(QWidget* owner, const QString& caption, const QString& directory,
                                          const QString& filter, const QString& selectedFilter) override;
    std::optional<QString> ChooseFolder(QWidget* owner, const QString& caption, const QString& startFolder) override;
    std::optional<QFont> ChooseFont(QWidget* owner, const QFont& initial) override;
};
