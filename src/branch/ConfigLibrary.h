#pragma once

#include "fileio/FileResult.h"
#include "reglib/QxCtrlTypes.h"

#include <QList>
#include <QString>

/// The configuration library calls the application object makes at start-up and shut-down;
/// StoreConfigLibrary makes them on the real store, tests substitute their own.
class ConfigLibrary
{
public:
    virtual ~ConfigLibrary() = default;

    /// CDefScrInfo::GetCurrBrnAndECR.
    virtual void GetCurrBrnAndECR(QString& branch, QString& ecr) = 0;
    /// CQxCtrlApi::GetECRFileList.
    virtual void GetECRFileList(int mode, const QString& branch,
                                QList<_ECRFile_Information>& list) = 0;
    /// CDefScrInfo::GetScrIFTab; nonzero = ok.
    virtual int GetScrIFTab(DEFSCR_TYPE_SCRNO no, _ScreenDefinition_InterfaceTable& tab) = 0;
    /// CDefScrInfo::SetScrIFTab; nonzero = ok.
    virtual int SetScrIFTab(DEFSCR_TYPE_SCRNO no, const _ScreenDefinition_InterfaceTable& tab) = 0;
    /// CQxCtrlApi::GetActFolPath; nonzero = ok.
    virtual int GetActFolPath(DEFBS_TYPE_ENVSTR kind, QString& path) = 0;
    /// Where the library keeps its data, for messages.
    virtual QString Location() const = 0;
    /// Why the last call failed in the library's own words (a store that cannot be read or
    /// written); done when it did not say.
    virtual FileResult LastProblem() const { return FileResult::Done(); }
};
