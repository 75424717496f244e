#include "platform/profile/Profile.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <limits>

namespace {

QString KeyPath(const QString& section, const QString& key) { return section + u'/' + key; }

// An unquoted text with commas in a hand-edited file reads as a list; keep it whole.
QString ToText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

} // namespace

Profile::Profile(const QString& filePath)
    : filePath_(filePath), settings_(std::make_unique<QSettings>(filePath, QSettings::IniFormat))
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
    const qlonglong number = ToText(value).trimmed().toLongLong(&ok);
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
    return value.isValid() ? ToText(value) : fallback;
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
