#pragma once

#include "reglib/QxCtrlStore.h"
#include "reglib/QxCtrlTypes.h"

#include <QList>

/// Branch folders and the register's screen file list.
class CQxCtrlApi
{
public:
    explicit CQxCtrlApi(const QxCtrlStore& store);

    /// Fills the folder of the given kind for the current branch; nonzero on success.
    int GetActFolPath(DEFBS_TYPE_ENVSTR kind, QString& path);
    /// Fills the screen file list of a branch (mode 1; other modes give an empty list).
    void GetECRFileList(int mode, const QString& branch, QList<_ECRFile_Information>& list);

    /// The folder the communication dialog exchanges files through; empty when not set.
    QString ExchangeFolder();

private:
    QxCtrlStore m_store;
};
