#pragma once

#include "branch/ConfigLibrary.h"
#include "reglib/QxCtrlStore.h"

/// ConfigLibrary on a configuration store: one library object per call, as the library expects.
class StoreConfigLibrary final : public ConfigLibrary
{
public:
    explicit StoreConfigLibrary(const QxCtrlStore& store);

    void GetCurrBrnAndECR(QString& branch, QString& ecr) override;
    void GetECRFileList(int mode, const QString& branch,
                        QList<_ECRFile_Information>& list) override;
    int GetScrIFTab(DEFSCR_TYPE_SCRNO no, _ScreenDefinition_InterfaceTable& tab) override;
    int SetScrIFTab(DEFSCR_TYPE_SCRNO no, const _ScreenDefinition_InterfaceTable& tab) override;
    int GetActFolPath(DEFBS_TYPE_ENVSTR kind, QString& path) override;
    QString Location() const override;
    FileResult LastProblem() const override;

private:
    QxCtrlStore m_store;
    FileResult m_lastProblem;
};
