#include "i18n/LanguageFile.h"

#include <QFile>
#include <QStringDecoder>

#include <array>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; 0 marks the five unused codes.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString DecodeWindows1252(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        const char16_t high = code >= 0x80 && code < 0xA0 ? kCp1252High[code - 0x80] : 0;
        text.append(QChar(high != 0 ? high : char16_t{code}));
    }
    return text;
}

QString DecodeWith(QStringConverter::Encoding encoding, const QByteArray& bytes, bool* failed = nullptr)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (failed)
        *failed = decoder.hasError();
    return text;
}

QString KeyOf(const QString& section, const QString& key)
{
    return section.trimmed().toLower() + u'\n' + key.trimmed().toLower();
}

QString StripQuotes(const QString& value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// At most 2047 bytes of UTF-8, never ending inside a character.
QString CutToLimit(const QString& value)
{
    QByteArray bytes = value.toUtf8();
    if (bytes.size() <= LanguageFile::kMaxValueBytes)
        return value;
    qsizetype cut = LanguageFile::kMaxValueBytes;
    while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    bytes.truncate(cut);
    return QString::fromUtf8(bytes);
}

} // namespace

QString DecodeLanguageFile(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return DecodeWith(QStringConverter::Utf16LE, bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return DecodeWith(QStringConverter::Utf16BE, bytes.mid(2));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return DecodeWith(QStringConverter::Utf8, bytes.mid(3));
    bool invalid = false;
    QString text = DecodeWith(QStringConverter::Utf8, bytes, &invalid);
    return invalid ? DecodeWindows1252(bytes) : text;
}

LanguageFile LanguageFile::Load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return Parse(file.readAll());
}

LanguageFile LanguageFile::Parse(const QByteArray& bytes)
{
    LanguageFile file;
    QString section;
    const QString text = DecodeLanguageFile(bytes);
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.front() == u'[') {
            const qsizetype close = line.indexOf(u']');
            section = (close < 0 ? line.mid(1) : line.mid(1, close - 1)).toString();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        // The first value of a key wins, as with the platform's reader.
        const QString key = KeyOf(section, line.left(equals).toString());
        if (!file.values_.contains(key))
            file.values_.insert(key, CutToLimit(StripQuotes(line.mid(equals + 1).trimmed().toString())));
    }
    return file;
}

QString LanguageFile::ReadValue(const QString& section, const QString& key) const
{
    return values_.value(KeyOf(section, key));
}
