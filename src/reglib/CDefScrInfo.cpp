#include "reglib/CDefScrInfo.h"

#include "reglib/QxCtrlIni.h"
#include "reglib/QxCtrlIniFile.h"

CDefScrInfo::CDefScrInfo(const QxCtrlStore& store) : m_store(store) {}

void CDefScrInfo::GetCurrBrnAndECR(QString& branch, QString& ecr)
{
    branch.clear();
    ecr.clear();
    const QxCtrlIniFile* file = m_store.File();
    if (!file)
        return;
    branch = QxCtrlIni::text(file->Value(QString(), QxCtrlIni::keyBranch())).trimmed();
    ecr = QxCtrlIni::text(file->Value(QString(), QxCtrlIni::keyRegister())).trimmed();
}

int CDefScrInfo::GetScrIFTab(void* /*reserved*/, DEFSCR_TYPE_SCRNO no,
                             _ScreenDefinition_InterfaceTable& tab)
{
    const QxCtrlIniFile* file = m_store.File();
    const QString section = QxCtrlIni::screenGroup(no);
    // The mode word is what makes a table present.
    if (!file || !file->Contains(section, QStringLiteral("Mode")))
        return 0;
    _ScreenDefinition_InterfaceTable t;
    if (!QxCtrlIni::readScreenTable(*file, section, t))
        return 0;
    tab = t;
    return 1;
}

int CDefScrInfo::SetScrIFTab(void* /*reserved*/, DEFSCR_TYPE_SCRNO no,
                             const _ScreenDefinition_InterfaceTable& tab)
{
    // Only the table's own lines change; a store that cannot be read is not written at all.
    return m_store.Update(QxCtrlIni::screenGroup(no), QxCtrlIni::screenTableValues(tab)) ? 1 : 0;
}
