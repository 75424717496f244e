#pragma once

#include "platform/ui/Choosers.h"

#include <QList>

// Scripted choosers: each answers with its next scripted value (nullopt, the
// user's Cancel, when none is left) and records what it was started from.
class FakeChoosers final : public Choosers {
public:
    std::optional<QString> ChooseOpenFile(QWidget*, const QString& caption, const QString& directory,
                                          const QString& filter, const QString&) override
    {
        openRequests.append({caption, directory, filter});
        return Next(files);
    }
    std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString& startFolder) override
    {
        folderStarts.append(startFolder);
        return Next(folders);
    }
    std::optional<QFont> ChooseFont(QWidget*, const QFont& initial) override
    {
        fontStarts.append(initial);
        return Next(fonts);
    }

    QList<std::optional<QString>> files;
    QList<std::optional<QString>> folders;
    QList<std::optional<QFont>> fonts;
    QList<QStringList> openRequests; // caption, directory, filter
    QStringList folderStarts;
    QList<QFont> fontStarts;

private:
    template <typename T>
    static std::optional<T> Next(QList<std::optional<T>>& answers)
    {
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
};
