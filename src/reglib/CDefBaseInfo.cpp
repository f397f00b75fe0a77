#include "reglib/CDefBaseInfo.h"

#include "reglib/QxCtrlIni.h"

#include <QSettings>

CDefBaseInfo::CDefBaseInfo(const QxCtrlStore& store) : m_store(store) {}

void CDefBaseInfo::GetECRQX27Func(const QString& ecr, quint32& flags)
{
    flags = 0;
    if (!QxCtrlIni::isReadable(m_store.path()) || ecr.isEmpty())
        return;
    const QSettings s(m_store.path(), QSettings::IniFormat);
    quint32 value = 0;
    if (QxCtrlIni::parseWord(
            s.value(QxCtrlIni::registerGroup(ecr) + QStringLiteral("/Capabilities")), value))
        flags = value;
}
