#include "reglib/CQxCtrlApi.h"

#include "reglib/QxCtrlIni.h"
#include "reglib/QxCtrlIniFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

bool isKnownKind(int kind)
{
    return kind == DEFBS_ENV_BACKGROUND || kind == DEFBS_ENV_PLACEDBMP ||
           kind == DEFBS_ENV_PROGRAM || kind == DEFBS_ENV_WORK || kind == DEFBS_ENV_DATA;
}

// Relative folders in a hand-written store are taken from the store's own folder.
QString resolveFolder(const QString& storePath, const QString& value)
{
    if (QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(QFileInfo(storePath).absoluteDir().absoluteFilePath(value));
}

} // namespace

CQxCtrlApi::CQxCtrlApi(const QxCtrlStore& store) : m_store(store) {}

int CQxCtrlApi::GetActFolPath(DEFBS_TYPE_ENVSTR kind, QString& path)
{
    if (!isKnownKind(kind))
        return 0;
    const QxCtrlIniFile* file = m_store.File();
    if (!file)
        return 0;
    const QString branch =
        QxCtrlIni::text(file->Value(QString(), QxCtrlIni::keyBranch())).trimmed();
    if (branch.isEmpty())
        return 0;
    const QString value =
        QxCtrlIni::text(file->Value(QxCtrlIni::branchGroup(branch),
                                    QStringLiteral("Folder") + QString::number(int(kind))))
            .trimmed();
    if (value.isEmpty())
        return 0;
    path = resolveFolder(m_store.path(), value);
    return 1;
}

void CQxCtrlApi::GetECRFileList(int mode, const QString& branch, QList<_ECRFile_Information>& list)
{
    list.clear();
    if (mode != 1 || branch.isEmpty())
        return;
    const QxCtrlIniFile* file = m_store.File();
    if (!file)
        return;

    // One section per file: [Branch.<branch>.File<number>], listed in number order.
    const QString prefix = QxCtrlIni::fileGroupPrefix(branch);
    for (const QString& group : file->Sections()) {
        if (!group.startsWith(prefix) || file->Keys(group).isEmpty())
            continue;
        bool ok = false;
        const uint number = group.mid(prefix.size()).toUInt(&ok);
        if (!ok || number > 0xFFFF)
            continue;
        _ECRFile_Information info;
        info.wFileNo = quint16(number);
        // Unreadable words are left 0: the editor reads only the number and the name.
        QxCtrlIni::parseWord(file->Value(group, QStringLiteral("Word1")), info.dwInfo1);
        QxCtrlIni::parseWord(file->Value(group, QStringLiteral("Word2")), info.dwInfo2);
        info.strName = QxCtrlIni::text(file->Value(group, QStringLiteral("Name")));
        info.strInfo = QxCtrlIni::text(file->Value(group, QStringLiteral("Info")));
        list.append(info);
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const _ECRFile_Information& a, const _ECRFile_Information& b) {
                         return a.wFileNo < b.wFileNo;
                     });
}

QString CQxCtrlApi::ExchangeFolder()
{
    const QxCtrlIniFile* file = m_store.File();
    if (!file)
        return {};
    const QString value =
        QxCtrlIni::text(file->Value(QString(), QxCtrlIni::keyExchangeFolder())).trimmed();
    return value.isEmpty() ? QString() : resolveFolder(m_store.path(), value);
}
