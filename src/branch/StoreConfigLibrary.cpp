#include "branch/StoreConfigLibrary.h"

#include "reglib/CDefScrInfo.h"
#include "reglib/CQxCtrlApi.h"
#include "reglib/QxCtrlIni.h"

StoreConfigLibrary::StoreConfigLibrary(const QxCtrlStore& store) : m_store(store) {}

void StoreConfigLibrary::GetCurrBrnAndECR(QString& branch, QString& ecr)
{
    CDefScrInfo(m_store).GetCurrBrnAndECR(branch, ecr);
    m_lastProblem = m_store.Problem();
}

void StoreConfigLibrary::GetECRFileList(int mode, const QString& branch,
                                        QList<_ECRFile_Information>& list)
{
    CQxCtrlApi(m_store).GetECRFileList(mode, branch, list);
}

int StoreConfigLibrary::GetScrIFTab(DEFSCR_TYPE_SCRNO no, _ScreenDefinition_InterfaceTable& tab)
{
    return CDefScrInfo(m_store).GetScrIFTab(nullptr, no, tab);
}

int StoreConfigLibrary::SetScrIFTab(DEFSCR_TYPE_SCRNO no,
                                    const _ScreenDefinition_InterfaceTable& tab)
{
    // The same call as CDefScrInfo::SetScrIFTab, keeping the reason of a refusal.
    const FileResult stored =
        m_store.Update(QxCtrlIni::screenGroup(no), QxCtrlIni::screenTableValues(tab));
    m_lastProblem = stored;
    return stored ? 1 : 0;
}

int StoreConfigLibrary::GetActFolPath(DEFBS_TYPE_ENVSTR kind, QString& path)
{
    return CQxCtrlApi(m_store).GetActFolPath(kind, path);
}

QString StoreConfigLibrary::Location() const
{
    return m_store.path();
}

FileResult StoreConfigLibrary::LastProblem() const
{
    return m_lastProblem;
}
