#include "platform/profile/Profile.h"

#include "platform/profile/IniText.h"

#include <QDir>
#include <QIODevice>
#include <QSettings>
#include <QStandardPaths>

#include <limits>

namespace {

QString KeyPath(const QString& section, const QString& key) { return section + u'/' + key; }

bool ReadProfile(QIODevice& device, QSettings::SettingsMap& map)
{
    const IniValues values = ReadIniText(device.readAll());
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        map.insert(it.key(), it.value());
    return true;
}

bool WriteProfile(QIODevice& device, const QSettings::SettingsMap& map)
{
    IniValues values;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        values.insert(it.key(), it.value().toString());
    return device.write(WriteIniText(values)) >= 0;
}

// QSettings still does the locking, merging and atomic replacing; only the
// reading and writing of the text are the profile's own.
QSettings::Format ProfileFormat()
{
    static const QSettings::Format format = QSettings::registerFormat(QStringLiteral("ini"), ReadProfile, WriteProfile);
    return format;
}

} // namespace

Profile::Profile(const QString& filePath)
    : filePath_(filePath), settings_(std::make_unique<QSettings>(filePath, ProfileFormat()))
{
}

Profile::~Profile() = default;

QString Profile::DefaultPath(const QString& maker, const QString& application)
{
    const QString configRoot = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(configRoot).filePath(maker + u'/' + application + QStringLiteral(".ini"));
}

std::int32_t Profile::GetInt(const QString& section, const QString& key, std::int32_t fallback) const
{
    // Re-read so that a value another copy wrote since our last access is seen.
    settings_->sync();
    const QVariant value = settings_->value(KeyPath(section, key));
    if (!value.isValid())
        return fallback;
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    if (!ok)
        return fallback;
    // Stored as a 32-bit registry number: all bits set reads back as -1.
    if (number > std::numeric_limits<std::int32_t>::max() && number <= std::numeric_limits<std::uint32_t>::max())
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
    if (number < std::numeric_limits<std::int32_t>::min() || number > std::numeric_limits<std::int32_t>::max())
        return fallback;
    return static_cast<std::int32_t>(number);
}

QString Profile::GetText(const QString& section, const QString& key, const QString& fallback) const
{
    settings_->sync();
    const QVariant value = settings_->value(KeyPath(section, key));
    return value.isValid() ? value.toString() : fallback;
}

void Profile::WriteInt(const QString& section, const QString& key, std::int32_t value)
{
    settings_->setValue(KeyPath(section, key), QString::number(value));
    settings_->sync();
}

void Profile::WriteText(const QString& section, const QString& key, const QString& value)
{
    settings_->setValue(KeyPath(section, key), value);
    settings_->sync();
}
