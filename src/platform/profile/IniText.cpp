#include "platform/profile/IniText.h"

#include <optional>

namespace {

const QString kGeneral = QStringLiteral("General");

bool IsSafeKeyChar(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
           c == u'-' || c == u'.';
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads up to maxDigits hex digits at pos; -1 when there are none.
int ReadHex(const QByteArray& text, qsizetype& pos, int maxDigits)
{
    int value = -1;
    for (int n = 0; n < maxDigits && pos < text.size() && HexDigit(text[pos]) >= 0; ++n, ++pos)
        value = (value < 0 ? 0 : value * 16) + HexDigit(text[pos]);
    return value;
}

// Keys and section names: "\\" stands for "/", %XX and %UXXXX for other
// characters; the rest is UTF-8.
QString UnescapeKey(const QByteArray& text)
{
    QString key;
    QByteArray plain;
    for (qsizetype pos = 0; pos < text.size();) {
        const char c = text[pos++];
        const bool wide = c == '%' && pos < text.size() && text[pos] == 'U';
        const qsizetype digitsAt = pos + (wide ? 1 : 0);
        qsizetype end = digitsAt;
        const int code = c == '%' ? ReadHex(text, end, wide ? 4 : 2) : -1;
        if (code >= 0 && end - digitsAt == (wide ? 4 : 2)) {
            key += QString::fromUtf8(plain) + QChar(char16_t(code));
            plain.clear();
            pos = end;
        } else {
            plain += c == '\\' ? '/' : c;
        }
    }
    return (key + QString::fromUtf8(plain)).trimmed();
}

char16_t SimpleEscape(char c)
{
    switch (c) {
    case 'a': return u'\a';
    case 'b': return u'\b';
    case 'f': return u'\f';
    case 'n': return u'\n';
    case 'r': return u'\r';
    case 't': return u'\t';
    case 'v': return u'\v';
    default: return char16_t(static_cast<unsigned char>(c));
    }
}

// A value: optional quotes, backslash escapes (\n, \xHHHH, \ooo octal), ";"
// starting a comment outside quotes. Commas are kept as they stand: a text
// with commas is one text to this program, not a list.
class ValueReader {
public:
    explicit ValueReader(const QByteArray& text) : text_(text) {}

    QString Read()
    {
        while (pos_ < text_.size() && !(text_[pos_] == ';' && !quoted_)) {
            const char c = text_[pos_++];
            if (c == '"')
                QuoteMark();
            else if (c == '\\' && pos_ < text_.size())
                Escape(text_[pos_++]);
            else
                Plain(c);
        }
        Flush();
        return quoted_ || wasQuoted_ ? value_ : value_.trimmed();
    }

private:
    void QuoteMark()
    {
        Flush();
        quoted_ = !quoted_;
        wasQuoted_ = true;
    }

    void Escape(char c)
    {
        Flush();
        if (c == 'x') {
            const int code = ReadHex(text_, pos_, 4);
            value_ += QChar(char16_t(code < 0 ? 0 : code));
        } else if (c >= '0' && c <= '7') {
            int code = c - '0';
            for (int n = 1; n < 3 && pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '7'; ++n)
                code = code * 8 + (text_[pos_++] - '0');
            value_ += QChar(char16_t(code));
        } else {
            value_ += QChar(SimpleEscape(c));
        }
    }

    void Plain(char c)
    {
        // Spaces outside quotes around a quoted part are layout, not text.
        if (!quoted_ && wasQuoted_ && c == ' ')
            return;
        pending_ += c;
    }

    // Runs of plain bytes are UTF-8.
    void Flush()
    {
        value_ += QString::fromUtf8(pending_);
        pending_.clear();
    }

    const QByteArray& text_;
    qsizetype pos_ = 0;
    bool quoted_ = false;
    bool wasQuoted_ = false;
    QByteArray pending_;
    QString value_;
};

// Qt's marks: "@@" starts a text that starts with "@"; "@ByteArray(...)" and
// "@String(...)" hold a text; the other "@Type(...)" are typed values, absent
// to this program. Anything else starting with "@" is a text as it stands.
std::optional<QString> TextOfValue(const QString& value)
{
    if (!value.startsWith(u'@'))
        return value;
    if (value.startsWith(QStringLiteral("@@")))
        return value.mid(1);
    if (value.endsWith(u')')) {
        for (const QString& holder : {QStringLiteral("@ByteArray("), QStringLiteral("@String(")})
            if (value.startsWith(holder))
                return value.mid(holder.size(), value.size() - holder.size() - 1);
        for (const char* typed : {"@Variant(", "@DateTime(", "@Rect(", "@Size(", "@Point(", "@Invalid("})
            if (value.startsWith(QLatin1String(typed)))
                return std::nullopt;
    }
    return value;
}

QString SectionName(const QByteArray& line)
{
    const qsizetype close = line.lastIndexOf(']');
    const QByteArray name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
    if (name.compare("general", Qt::CaseInsensitive) == 0)
        return {};
    // "[%General]" is a section really named General.
    if (name.compare("%general", Qt::CaseInsensitive) == 0)
        return kGeneral;
    return UnescapeKey(name);
}

QByteArray EscapeKey(const QString& key)
{
    QByteArray escaped;
    for (const QChar qc : key) {
        const char16_t c = qc.unicode();
        if (c == u'/')
            escaped += '\\';
        else if (IsSafeKeyChar(c))
            escaped += char(c);
        else if (c <= 0xff)
            escaped += '%' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
        else
            escaped += "%U" + QByteArray::number(c, 16).toUpper().rightJustified(4, '0');
    }
    return escaped;
}

// As Qt writes texts: UTF-8, control characters escaped (a hex digit after a
// hex escape escaped too, so it is not read as part of it), quoted when the
// text holds ";", "," or "=" or starts or ends with a space.
QByteArray EscapeValue(const QString& text)
{
    QByteArray escaped;
    QString plain;
    bool afterHex = false;
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        const bool hexDigit = c < 0x80 && HexDigit(char(c)) >= 0;
        if (c >= 0x20 && !(afterHex && hexDigit) && c != u'"' && c != u'\\') {
            plain += qc;
            afterHex = false;
            continue;
        }
        escaped += plain.toUtf8();
        plain.clear();
        afterHex = c < 0x20 || afterHex;
        escaped += afterHex ? "\\x" + QByteArray::number(c, 16) : QByteArray("\\") + char(c);
    }
    escaped += plain.toUtf8();
    const bool needsQuotes = text.contains(u';') || text.contains(u',') || text.contains(u'=') ||
                             text.startsWith(u' ') || text.endsWith(u' ');
    return needsQuotes ? '"' + escaped + '"' : escaped;
}

void ReadLine(const QByteArray& line, QString& section, IniValues& values)
{
    if (line.startsWith('[')) {
        section = SectionName(line);
        return;
    }
    const qsizetype equals = line.indexOf('=');
    if (line.startsWith(';') || equals <= 0)
        return;
    const QString key = UnescapeKey(line.left(equals));
    const std::optional<QString> text = TextOfValue(ValueReader(line.mid(equals + 1).trimmed()).Read());
    if (!key.isEmpty() && text)
        values.insert(section.isEmpty() ? key : section + u'/' + key, *text);
}

} // namespace

IniValues ReadIniText(const QByteArray& bytes)
{
    IniValues values;
    QString section;
    // Lines end in "\n", "\r\n" or "\r".
    for (QByteArray line : QByteArray(bytes).replace('\r', '\n').split('\n')) {
        line = line.trimmed();
        if (!line.isEmpty())
            ReadLine(line, section, values);
    }
    return values;
}

QByteArray WriteIniText(const IniValues& values)
{
    QByteArray text;
    QString section;
    bool first = true;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        const QString keySection = slash < 0 ? kGeneral : it.key().left(slash);
        if (first || keySection != section) {
            const bool named = slash >= 0 && keySection.compare(kGeneral, Qt::CaseInsensitive) == 0;
            text += QByteArray(first ? "" : "\n") + '[' + (named ? "%" : "") + EscapeKey(keySection) + "]\n";
            section = keySection;
            first = false;
        }
        const QString& value = it.value();
        text += EscapeKey(it.key().mid(slash + 1)) + '=' + EscapeValue(value.startsWith(u'@') ? u'@' + value : value) +
                '\n';
    }
    return text;
}
