#pragma once

#include "reglib/QxCtrlStore.h"
#include "reglib/QxCtrlTypes.h"

/// Current branch and register, and the screen definition tables.
class CDefScrInfo
{
public:
    explicit CDefScrInfo(const QxCtrlStore& store);

    /// Fills the current branch and register name; both empty when the store cannot be read.
    void GetCurrBrnAndECR(QString& branch, QString& ecr);
    /// Reads the table of screen number no; nonzero on success, 0 when absent or malformed.
    int GetScrIFTab(void* reserved, DEFSCR_TYPE_SCRNO no, _ScreenDefinition_InterfaceTable& tab);
    /// Writes the table of screen number no; nonzero on success.
    int SetScrIFTab(void* reserved, DEFSCR_TYPE_SCRNO no,
                    const _ScreenDefinition_InterfaceTable& tab);

private:
    QxCtrlStore m_store;
};
