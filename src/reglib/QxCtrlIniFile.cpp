#include "reglib/QxCtrlIniFile.h"

#include "fileio/InputFile.h"

#include <QFile>

#include <algorithm>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool IsLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

int HexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Section and key names: %XX and %UXXXX stand for one character, a backslash for "/".
QString UnescapeName(const QByteArray& raw)
{
    const QString text = QString::fromUtf8(raw);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\')) {
            out += QLatin1Char('/');
            continue;
        }
        if (c == QLatin1Char('%')) {
            const bool wide = i + 1 < text.size() && text[i + 1] == QLatin1Char('U');
            const qsizetype digits = wide ? 4 : 2;
            const qsizetype from = i + (wide ? 2 : 1);
            int code = 0;
            bool ok = from + digits <= text.size();
            for (qsizetype k = 0; ok && k < digits; ++k) {
                const int v = HexValue(text[from + k]);
                ok = v >= 0;
                code = code * 16 + v;
            }
            if (ok) {
                out += QChar(char16_t(code));
                i = from + digits - 1;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QByteArray EscapeName(const QString& name)
{
    QByteArray out;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
            u == '_' || u == '-' || u == '.')
            out += char(u);
        else if (u == '/')
            out += '\\';
        else if (u < 0x100)
            out += '%' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
        else
            out += "%U" + QByteArray::number(u, 16).toUpper().rightJustified(4, '0');
    }
    return out;
}

// A value: quoted parts kept as they are, backslash escapes, a backslash before a line end
// joining the next line, unquoted commas between list items, unquoted blanks around an item
// dropped.
QVariant UnescapeValue(const QByteArray& raw)
{
    QStringList items;
    QByteArray item;
    qsizetype firstKept = -1; // bytes of item from firstKept on up to lastKept are kept
    qsizetype lastKept = -1;
    bool inQuotes = false;
    const auto keep = [&](const QByteArray& bytes) {
        if (firstKept < 0)
            firstKept = item.size();
        item += bytes;
        lastKept = item.size();
    };
    const auto endItem = [&] {
        items.append(firstKept < 0 ? QString()
                                   : QString::fromUtf8(item.mid(firstKept, lastKept - firstKept)));
        item.clear();
        firstKept = lastKept = -1;
    };
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            inQuotes = !inQuotes;
            if (firstKept < 0)
                firstKept = item.size();
            lastKept = item.size();
            continue;
        }
        if (c == '\\' && i + 1 < raw.size()) {
            const char d = raw[++i];
            char32_t code = 0;
            switch (d) {
            case 'a':
                code = '\a';
                break;
            case 'b':
                code = '\b';
                break;
            case 'f':
                code = '\f';
                break;
            case 'n':
                code = '\n';
                break;
            case 'r':
                code = '\r';
                break;
            case 't':
                code = '\t';
                break;
            case 'v':
                code = '\v';
                break;
            case '\n':
            case '\r':
                // Joins the next line.
                if (d == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
                    ++i;
                continue;
            case 'x': {
                qsizetype k = i + 1;
                while (k < raw.size() && HexValue(QLatin1Char(raw[k])) >= 0 && k - i <= 6)
                    code = code * 16 + char32_t(HexValue(QLatin1Char(raw[k++])));
                i = k - 1;
                break;
            }
            default:
                if (d >= '0' && d <= '7') {
                    qsizetype k = i;
                    while (k < raw.size() && k < i + 3 && raw[k] >= '0' && raw[k] <= '7')
                        code = code * 8 + char32_t(raw[k++] - '0');
                    i = k - 1;
                } else {
                    code = char32_t(uchar(d));
                }
                break;
            }
            keep(QString::fromUcs4(&code, 1).toUtf8());
            continue;
        }
        if (c == ',' && !inQuotes) {
            endItem();
            continue;
        }
        if (!inQuotes && (IsBlank(c) || IsLineEnd(c))) {
            item += c; // kept only between kept bytes
            continue;
        }
        keep(QByteArray(1, c));
    }
    endItem();
    if (items.size() > 1)
        return items;
    QString value = items.value(0);
    // Values the store writes for what is not a plain string.
    if (value == QLatin1String("@Invalid()"))
        return QString();
    for (const QLatin1String prefix : {QLatin1String("@String("), QLatin1String("@ByteArray(")}) {
        if (value.startsWith(prefix) && value.endsWith(QLatin1Char(')')))
            return value.mid(prefix.size(), value.size() - prefix.size() - 1);
    }
    return value;
}

QByteArray EscapeString(const QString& value)
{
    QByteArray out;
    bool quote = false;
    bool hexBefore = false; // a \x escape just ended: a hex digit after it needs one too
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        if (u == ';' || u == ',' || u == '=')
            quote = true;
        if (hexBefore && HexValue(c) >= 0) {
            out += "\\x" + QByteArray::number(u, 16);
            continue;
        }
        hexBefore = false;
        switch (u) {
        case '\0':
            out += "\\0";
            hexBefore = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (u < 0x20) {
                out += "\\x" + QByteArray::number(u, 16);
                hexBefore = true;
            } else {
                out += QString(c).toUtf8();
            }
            break;
        }
    }
    if (quote || out.startsWith(' ') || out.endsWith(' '))
        out = '"' + out + '"';
    if (value.startsWith(QLatin1Char('@')))
        out = "@String(" + out + ')';
    return out;
}

QByteArray EscapeValue(const QVariant& value)
{
    if (value.typeId() != QMetaType::QStringList)
        return EscapeString(value.toString());
    QList<QByteArray> items;
    for (const QString& item : value.toStringList())
        items.append(EscapeString(item));
    return items.join(", ");
}

} // namespace

std::optional<QxCtrlIniFile> QxCtrlIniFile::Parse(const QByteArray& text, QString* error)
{
    QxCtrlIniFile file;
    file.m_text = text;
    if (!file.Index(error))
        return std::nullopt;
    return file;
}

std::optional<QxCtrlIniFile> QxCtrlIniFile::Load(const QString& path, FileResult* problem)
{
    const auto fail = [&](const QString& reason) {
        if (problem)
            *problem = FileResult::Failed(path, reason);
        return std::nullopt;
    };
    if (!QFile::exists(path))
        return Parse(QByteArray(), nullptr);
    if (const FileResult input = InputFile::Check(path, kMaxBytes); !input)
        return fail(input.reason);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QByteArray text = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (text.size() > kMaxBytes)
        return fail(QStringLiteral("is larger than %1 bytes").arg(kMaxBytes));
    QString error;
    std::optional<QxCtrlIniFile> parsed = Parse(text, &error);
    if (!parsed)
        return fail(error);
    return parsed;
}

bool QxCtrlIniFile::Index(QString* error)
{
    m_entries.clear();
    m_sections.clear();
    const QByteArray& t = m_text;
    const qsizetype size = t.size();
    qsizetype pos = t.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    int lineNumber = 1;
    QString current;
    qsizetype currentSection = -1; // index into m_sections, -1 before any header
    const auto fail = [&](int line, const char* why) {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(line).arg(QLatin1String(why));
        return false;
    };

    while (pos < size) {
        const qsizetype begin = pos;
        const int firstLine = lineNumber;
        qsizetype i = pos;
        while (i < size && IsBlank(t[i]))
            ++i;
        const qsizetype contentBegin = i;
        qsizetype equals = -1;
        bool inQuotes = false;
        qsizetype contentEnd = -1;
        if (i < size && t[i] == ';')
            contentEnd = i; // a comment line
        while (contentEnd < 0 && i < size) {
            const char c = t[i];
            if (c == '\\' && i + 1 < size) {
                if (IsLineEnd(t[i + 1])) {
                    ++lineNumber;
                    if (t[i + 1] == '\r' && i + 2 < size && t[i + 2] == '\n')
                        ++i;
                }
                i += 2;
                continue;
            }
            if (c == '"') {
                inQuotes = !inQuotes;
            } else if (c == '=' && !inQuotes && equals < 0) {
                equals = i;
            } else if (IsLineEnd(c)) {
                if (!inQuotes) {
                    contentEnd = i;
                    break;
                }
                ++lineNumber; // a quoted value goes on on the next line
                if (c == '\r' && i + 1 < size && t[i + 1] == '\n')
                    ++i;
            } else if (c == ';' && !inQuotes) {
                contentEnd = i; // the rest of the line is a comment
                break;
            }
            ++i;
        }
        if (contentEnd < 0)
            contentEnd = size;
        // The rest of the physical line, then its line end.
        i = contentEnd;
        while (i < size && !IsLineEnd(t[i]))
            ++i;
        if (i < size) {
            if (t[i] == '\r' && i + 1 < size && t[i + 1] == '\n')
                ++i;
            ++i;
            ++lineNumber;
        }
        pos = i;

        qsizetype last = contentEnd;
        while (last > contentBegin && (IsBlank(t[last - 1]) || IsLineEnd(t[last - 1])))
            --last;
        if (last == contentBegin)
            continue; // blank or comment
        const QByteArray content = t.mid(contentBegin, last - contentBegin);
        if (content.startsWith('[')) {
            const qsizetype close = content.indexOf(']');
            if (close < 0)
                return fail(firstLine, "a section name without its closing ]");
            QString name = UnescapeName(content.mid(1, close - 1).trimmed());
            if (name.compare(QLatin1String("general"), Qt::CaseInsensitive) == 0)
                name.clear();
            else if (name.compare(QLatin1String("%general"), Qt::CaseInsensitive) == 0)
                name = name.mid(1);
            current = name;
            m_sections.append(Section{name, pos});
            currentSection = m_sections.size() - 1;
            continue;
        }
        if (equals < 0)
            return fail(firstLine, "neither a [section], a key=value nor a ; comment");
        const QByteArray keyText = t.mid(contentBegin, equals - contentBegin).trimmed();
        if (keyText.isEmpty())
            return fail(firstLine, "a value without a key");
        Entry entry;
        entry.section = current;
        entry.key = UnescapeName(keyText);
        entry.value = UnescapeValue(t.mid(equals + 1, last - equals - 1));
        entry.begin = begin;
        entry.end = pos;
        m_entries.append(entry);
        if (currentSection < 0) {
            m_sections.append(Section{QString(), pos});
            currentSection = m_sections.size() - 1;
        }
        m_sections[currentSection].end = pos;
    }
    return true;
}

QStringList QxCtrlIniFile::Sections() const
{
    QStringList names;
    for (const Section& s : m_sections) {
        if (!names.contains(s.name))
            names.append(s.name);
    }
    return names;
}

QStringList QxCtrlIniFile::Keys(const QString& section) const
{
    QStringList keys;
    for (const Entry& e : m_entries) {
        if (e.section == section && !keys.contains(e.key))
            keys.append(e.key);
    }
    return keys;
}

bool QxCtrlIniFile::Contains(const QString& section, const QString& key) const
{
    return Value(section, key).isValid();
}

QVariant QxCtrlIniFile::Value(const QString& section, const QString& key) const
{
    for (qsizetype i = m_entries.size() - 1; i >= 0; --i) {
        if (m_entries[i].section == section && m_entries[i].key == key)
            return m_entries[i].value;
    }
    return {};
}

void QxCtrlIniFile::SetValue(const QString& section, const QString& key, const QVariant& value)
{
    const QByteArray lineEnd = m_text.contains("\r\n") ? "\r\n" : "\n";
    const QByteArray line = EscapeName(key) + '=' + EscapeValue(value);
    // The line that counts now is the one replaced.
    for (qsizetype i = m_entries.size() - 1; i >= 0; --i) {
        const Entry& e = m_entries[i];
        if (e.section != section || e.key != key)
            continue;
        const QByteArray old = m_text.mid(e.begin, e.end - e.begin);
        const QByteArray end = old.endsWith("\r\n") ? "\r\n"
                               : old.endsWith('\n') ? "\n"
                               : old.endsWith('\r') ? "\r"
                                                    : QByteArray();
        m_text.replace(e.begin, e.end - e.begin, line + end);
        Index(nullptr);
        return;
    }
    // A new key goes after the last key of its section's last appearance.
    for (qsizetype i = m_sections.size() - 1; i >= 0; --i) {
        if (m_sections[i].name != section)
            continue;
        const qsizetype at = m_sections[i].end;
        const bool endsLine = at > 0 && IsLineEnd(m_text[at - 1]);
        m_text.insert(at, (endsLine ? QByteArray() : lineEnd) + line + lineEnd);
        Index(nullptr);
        return;
    }
    if (!m_text.isEmpty() && !IsLineEnd(m_text.back()))
        m_text += lineEnd;
    if (!m_text.isEmpty())
        m_text += lineEnd;
    m_text += '[' + (section.isEmpty() ? QByteArray("General") : EscapeName(section)) + ']' +
              lineEnd + line + lineEnd;
    Index(nullptr);
}
