#include "reglib/QxCtrlIni.h"

#include "reglib/QxCtrlTypes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>
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
bool readWord(const QSettings& s, const QString& key, quint32& out)
{
    if (!s.contains(key))
        return true;
    return QxCtrlIni::parseWord(s.value(key), out);
}

// Items are written as 24 hexadecimal digits each, separated by blanks.
bool readItems(const QSettings& s, const QString& key, QList<std::array<quint8, 12>>& out)
{
    out.clear();
    for (const QString& word : QxCtrlIni::splitList(s.value(key))) {
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

bool readRect(const QSettings& s, const QString& key, QxRect& out)
{
    if (!s.contains(key))
        return true;
    const QStringList parts = QxCtrlIni::splitList(s.value(key));
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

bool QxCtrlIni::isReadable(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/qxctrl-check-XXXXXX.ini"));
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush())
        return false;
    const QSettings settings(copy.fileName(), QSettings::IniFormat);
    // The parser reads a section's lines only when its keys are first asked for, so a bad line
    // inside a section shows in the status only after every key has been listed.
    settings.allKeys();
    return settings.status() == QSettings::NoError;
}

namespace {

// Every key with its value as text, to compare what was meant with what reached the disk.
QMap<QString, QString> storeTexts(const QSettings& settings)
{
    QMap<QString, QString> texts;
    for (const QString& key : settings.allKeys())
        texts.insert(key, QxCtrlIni::text(settings.value(key)));
    return texts;
}

} // namespace

bool QxCtrlIni::updateStore(const QString& path, const std::function<void(QSettings&)>& change)
{
    // QSettings replaces its file even when the last buffered bytes could not be written (a disk
    // with room for its lock file only leaves an empty store). So the change is written into a
    // copy beside the store, the copy is read back and compared, and only then does it replace
    // the store, in one step.
    const QFileInfo info(path);
    const QString target = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    QByteArray old;
    if (info.exists()) {
        QFile file(target);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        old = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return false;
    }
    // A new name every time: QSettings keeps every file it has parsed, by name.
    QTemporaryFile copy(QFileInfo(target).absolutePath() + QStringLiteral("/.") +
                        QFileInfo(target).fileName() + QStringLiteral(".XXXXXX"));
    if (!copy.open() || copy.write(old) != old.size() || !copy.flush())
        return false;
    copy.close();
    QMap<QString, QString> meant;
    {
        QSettings settings(copy.fileName(), QSettings::IniFormat);
        change(settings);
        meant = storeTexts(settings);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return false;
    }
    QFile written(copy.fileName());
    if (!written.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = written.readAll();
    QTemporaryFile check(QDir::tempPath() + QStringLiteral("/qxctrl-check-XXXXXX.ini"));
    if (written.error() != QFileDevice::NoError || !check.open() ||
        check.write(bytes) != bytes.size() || !check.flush())
        return false;
    const QSettings readBack(check.fileName(), QSettings::IniFormat);
    if (readBack.status() != QSettings::NoError || storeTexts(readBack) != meant)
        return false;
    if (info.exists())
        copy.setPermissions(info.permissions());
    if (std::rename(QFile::encodeName(copy.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0)
        return false;
    copy.setAutoRemove(false);
    return true;
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

bool QxCtrlIni::readScreenTable(const QSettings& s, _ScreenDefinition_InterfaceTable& t)
{
    if (!readWord(s, kMode, t.dwMode) || !readWord(s, kReserved, t.dwReserved) ||
        !readRect(s, kWindow, t.rcWindow) || !readItems(s, kItems1, t.arrItems1) ||
        !readItems(s, kItems2, t.arrItems2) || !readWord(s, kFlags, t.dwFlags))
        return false;
    t.strMarker = text(s.value(kMarker));
    t.strProgramPath = text(s.value(kProgramPath));
    return true;
}

void QxCtrlIni::writeScreenTable(QSettings& s, const _ScreenDefinition_InterfaceTable& t)
{
    s.setValue(kMode, formatWord(t.dwMode));
    s.setValue(kReserved, formatWord(t.dwReserved));
    s.setValue(kWindow,
               QStringList{QString::number(t.rcWindow.left), QString::number(t.rcWindow.top),
                           QString::number(t.rcWindow.right), QString::number(t.rcWindow.bottom)});
    s.setValue(kItems1, formatItems(t.arrItems1));
    s.setValue(kItems2, formatItems(t.arrItems2));
    s.setValue(kMarker, t.strMarker);
    s.setValue(kProgramPath, t.strProgramPath);
    s.setValue(kFlags, formatWord(t.dwFlags));
}
