#include "reglib/CDefScrInfo.h"

#include "reglib/QxCtrlIni.h"

#include <QSettings>

CDefScrInfo::CDefScrInfo(const QxCtrlStore& store) : m_store(store) {}

void CDefScrInfo::GetCurrBrnAndECR(QString& branch, QString& ecr)
{
    branch.clear();
    ecr.clear();
    if (!QxCtrlIni::isReadable(m_store.path()))
        return;
    const QSettings s(m_store.path(), QSettings::IniFormat);
    branch = QxCtrlIni::text(s.value(QxCtrlIni::keyBranch())).trimmed();
    ecr = QxCtrlIni::text(s.value(QxCtrlIni::keyRegister())).trimmed();
}

int CDefScrInfo::GetScrIFTab(void* /*reserved*/, DEFSCR_TYPE_SCRNO no,
                             _ScreenDefinition_InterfaceTable& tab)
{
    if (!QxCtrlIni::isReadable(m_store.path()))
        return 0;
    QSettings s(m_store.path(), QSettings::IniFormat);
    s.beginGroup(QxCtrlIni::screenGroup(no));
    // The mode word is what makes a table present.
    if (!s.contains(QStringLiteral("Mode")))
        return 0;

    _ScreenDefinition_InterfaceTable t;
    if (!QxCtrlIni::readScreenTable(s, t))
        return 0;
    tab = t;
    return 1;
}

int CDefScrInfo::SetScrIFTab(void* /*reserved*/, DEFSCR_TYPE_SCRNO no,
                             const _ScreenDefinition_InterfaceTable& tab)
{
    // Writing over a store we could not read would throw away what it holds.
    if (!QxCtrlIni::isReadable(m_store.path()))
        return 0;
    return QxCtrlIni::updateStore(m_store.path(),
                                  [no, &tab](QSettings& s) {
                                      s.beginGroup(QxCtrlIni::screenGroup(no));
                                      QxCtrlIni::writeScreenTable(s, tab);
                                      s.endGroup();
                                  })
               ? 1
               : 0;
}
