#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// A language file read the way the platform's profile reader reads one:
// sections and keys matched without regard to case, blanks round a value and
// one pair of enclosing quotes removed, values cut at 2047 bytes. UTF-16 and
// UTF-8 files with a byte-order mark are decoded; other files are taken as
// UTF-8, or as Windows-1252 when they are not valid UTF-8.
class LanguageFile final {
public:
    static constexpr qsizetype kMaxValueBytes = 2047;

    // A missing or unreadable file reads as empty.
    static LanguageFile Load(const QString& path);
    static LanguageFile Parse(const QByteArray& bytes);

    // The value, or an empty text when section or key is absent.
    QString ReadValue(const QString& section, const QString& key) const;

private:
    QHash<QString, QString> values_; // "section\nkey" in lower case -> value
};

// The file's bytes as text, by its byte-order mark or its content.
QString DecodeLanguageFile(const QByteArray& bytes);
