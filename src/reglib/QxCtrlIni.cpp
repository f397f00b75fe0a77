#include "reglib/QxCtrlIni.h"

#include "reglib/QxCtrlIniFile.h"
#include "reglib/QxCtrlTypes.h"

#include <QRegularExpression>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

const QString kMode = QStringLiteral("Mode");
const QString kReserved = QStringLiteral("Reserved");
const QString kWindow = QStringLiteral("Window");
const QString kItems1 = QStringLiteral("Items1");
const QString kItems2 = QStringLiteral("Items2");
const QString kMarker = QStringLiteral("Marker");
const QString kProgramPath = QStringLiteral("ProgramPath");
const QString kFlags = QStringLiteral("Flags");

// An absent word keeps its default; a present but unreadable one fails the read.
bool readWord(const QxCtrlIniFile& f, const QString& section, const QString& key, quint32& out)
{
    if (!f.Contains(section, key))
        return true;
    return QxCtrlIni::parseWord(f.Value(section, key), out);
}

// Items are written as 24 hexadecimal digits each, separated by blanks.
bool readItems(const QxCtrlIniFile& f, const QString& section, const QString& key,
               QList<std::array<quint8, 12>>& out)
{
    out.clear();
    for (const QString& word : QxCtrlIni::splitList(f.Value(section, key))) {
        const QByteArray hex = word.toLatin1();
        if (hex.size() != 24)
            return false;
        for (char c : hex) {
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                return false;
        }
        const QByteArray bytes = QByteArray::fromHex(hex);
        std::array<quint8, 12> item{};
        std::copy(bytes.cbegin(), bytes.cend(), item.begin());
        out.append(item);
    }
    return true;
}

QString formatItems(const QList<std::array<quint8, 12>>& items)
{
    QStringList words;
    for (const auto& item : items) {
        const QByteArray bytes(reinterpret_cast<const char*>(item.data()), int(item.size()));
        words.append(QString::fromLatin1(bytes.toHex().toUpper()));
    }
    return words.join(QLatin1Char(' '));
}

bool readRect(const QxCtrlIniFile& f, const QString& section, const QString& key, QxRect& out)
{
    if (!f.Contains(section, key))
        return true;
    const QStringList parts = QxCtrlIni::splitList(f.Value(section, key));
    if (parts.size() != 4)
        return false;
    qint32 v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].toInt(&ok);
        if (!ok)
            return false;
    }
    out = QxRect{v[0], v[1], v[2], v[3]};
    return true;
}

} // namespace

QString QxCtrlIni::keyBranch()
{
    return QStringLiteral("Branch");
}

QString QxCtrlIni::keyRegister()
{
    return QStringLiteral("Register");
}

QString QxCtrlIni::keyExchangeFolder()
{
    return QStringLiteral("ExchangeFolder");
}

QString QxCtrlIni::branchGroup(const QString& branch)
{
    return QStringLiteral("Branch.") + branch;
}

QString QxCtrlIni::fileGroupPrefix(const QString& branch)
{
    return QStringLiteral("Branch.") + branch + QStringLiteral(".File");
}

QString QxCtrlIni::registerGroup(const QString& ecr)
{
    return QStringLiteral("Register.") + ecr;
}

QString QxCtrlIni::screenGroup(int no)
{
    return QStringLiteral("Screen") + QString::number(no);
}

QString QxCtrlIni::text(const QVariant& value)
{
    // An unquoted value holding commas comes back from the INI parser as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

bool QxCtrlIni::parseWord(const QVariant& value, quint32& out)
{
    if (value.typeId() == QMetaType::QStringList)
        return false;
    const QString s = value.toString().trimmed();
    bool ok = false;
    const qulonglong v = s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                             ? s.mid(2).toULongLong(&ok, 16)
                             : s.toULongLong(&ok, 10);
    if (!ok || v > 0xFFFFFFFFull)
        return false;
    out = static_cast<quint32>(v);
    return true;
}

QString QxCtrlIni::formatWord(quint32 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}

QStringList QxCtrlIni::splitList(const QVariant& value)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    const QString joined = value.typeId() == QMetaType::QStringList
                               ? value.toStringList().join(QLatin1Char(','))
                               : value.toString();
    return joined.split(separators, Qt::SkipEmptyParts);
}

bool QxCtrlIni::readScreenTable(const QxCtrlIniFile& f, const QString& section,
                                _ScreenDefinition_InterfaceTable& t)
{
    if (!readWord(f, section, kMode, t.dwMode) || !readWord(f, section, kReserved, t.dwReserved) ||
        !readRect(f, section, kWindow, t.rcWindow) ||
        !readItems(f, section, kItems1, t.arrItems1) ||
        !readItems(f, section, kItems2, t.arrItems2) || !readWord(f, section, kFlags, t.dwFlags))
        return false;
    t.strMarker = text(f.Value(section, kMarker));
    t.strProgramPath = text(f.Value(section, kProgramPath));
    return true;
}

QList<QPair<QString, QVariant>>
QxCtrlIni::screenTableValues(const _ScreenDefinition_InterfaceTable& t)
{
    const QxRect& r = t.rcWindow;
    return {{kFlags, formatWord(t.dwFlags)},
            {kItems1, formatItems(t.arrItems1)},
            {kItems2, formatItems(t.arrItems2)},
            {kMarker, t.strMarker},
            {kMode, formatWord(t.dwMode)},
            {kProgramPath, t.strProgramPath},
            {kReserved, formatWord(t.dwReserved)},
            {kWindow, QStringList{QString::number(r.left), QString::number(r.top),
                                  QString::number(r.right), QString::number(r.bottom)}}};
}
