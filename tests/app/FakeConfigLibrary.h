#pragma once

#include "branch/ConfigLibrary.h"

#include <QMap>
#include <QSet>
#include <QStringList>

/// An in-memory configuration library: serves what the test put in, keeps what is written, and
/// logs every call so tests can check order and absence of calls.
class FakeConfigLibrary final : public ConfigLibrary
{
public:
    QString branch = QStringLiteral("DEMO");
    QString ecr = QStringLiteral("ECR-1");
    QList<_ECRFile_Information> files;
    _ScreenDefinition_InterfaceTable table;
    bool tableReadable = true;
    QMap<int, QString> folders; ///< folder kind -> path; a missing kind fails GetActFolPath
    QStringList log;            ///< one entry per call, e.g. "GetActFolPath 10"
    int tablesWritten = 0;

    void GetCurrBrnAndECR(QString& b, QString& e) override
    {
        log << QStringLiteral("GetCurrBrnAndECR");
        b = branch;
        e = ecr;
    }
    void GetECRFileList(int mode, const QString& b, QList<_ECRFile_Information>& list) override
    {
        log << QStringLiteral("GetECRFileList %1 %2").arg(mode).arg(b);
        list = files;
    }
    int GetScrIFTab(DEFSCR_TYPE_SCRNO no, _ScreenDefinition_InterfaceTable& tab) override
    {
        log << QStringLiteral("GetScrIFTab %1").arg(int(no));
        if (!tableReadable)
            return 0;
        tab = table;
        return 1;
    }
    int SetScrIFTab(DEFSCR_TYPE_SCRNO no, const _ScreenDefinition_InterfaceTable& tab) override
    {
        log << QStringLiteral("SetScrIFTab %1").arg(int(no));
        table = tab;
        ++tablesWritten;
        return 1;
    }
    int GetActFolPath(DEFBS_TYPE_ENVSTR kind, QString& path) override
    {
        log << QStringLiteral("GetActFolPath %1").arg(int(kind));
        if (!folders.contains(kind))
            return 0;
        path = folders.value(kind);
        return 1;
    }
    QString Location() const override { return QStringLiteral("fake-store.ini"); }
};
