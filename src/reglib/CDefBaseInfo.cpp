#include "reglib/CDefBaseInfo.h"

#include "reglib/QxCtrlIni.h"
#include "reglib/QxCtrlIniFile.h"

CDefBaseInfo::CDefBaseInfo(const QxCtrlStore& store) : m_store(store) {}

void CDefBaseInfo::GetECRQX27Func(const QString& ecr, quint32& flags)
{
    flags = 0;
    const QxCtrlIniFile* file = m_store.File();
    if (!file || ecr.isEmpty())
        return;
    quint32 value = 0;
    if (QxCtrlIni::parseWord(
            file->Value(QxCtrlIni::registerGroup(ecr), QStringLiteral("Capabilities")), value))
        flags = value;
}
