#pragma once

#include <QString>

#include <cstdint>
#include <memory>

class QSettings;

// The per-user profile: one INI file, one group per section, holding integers
// and texts only (see IniText.h). Every write reaches the file at once;
// QSettings merges under a lock file, so two copies of the program writing at
// the same time keep each other's values.
class Profile final {
public:
    explicit Profile(const QString& filePath);
    ~Profile();
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;

    // $XDG_CONFIG_HOME/<maker>/<application>.ini (default ~/.config).
    static QString DefaultPath(const QString& maker, const QString& application);

    // Signed 32-bit; an absent value or a text that is not a number yields fallback.
    std::int32_t GetInt(const QString& section, const QString& key, std::int32_t fallback) const;
    QString GetText(const QString& section, const QString& key, const QString& fallback) const;
    void WriteInt(const QString& section, const QString& key, std::int32_t value);
    void WriteText(const QString& section, const QString& key, const QString& value);

    const QString& FilePath() const { return filePath_; }

private:
    QString filePath_;
    std::unique_ptr<QSettings> settings_;
};
