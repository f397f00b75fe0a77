#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>

// Screen numbers of the screen definition tables. Stored in the configuration store: do not
// renumber.
enum DEFSCR_TYPE_SCRNO : int
{
    DEFSCR_SCRNO_BMPEDITOR = 4,
    DEFSCR_SCRNO_PANELEDITOR = 12
};

// Branch folder kinds. Stored in the configuration store (key "Folder<kind>"): do not renumber.
enum DEFBS_TYPE_ENVSTR : int
{
    DEFBS_ENV_BACKGROUND = 7,
    DEFBS_ENV_PLACEDBMP = 8,
    DEFBS_ENV_PROGRAM = 10,
    DEFBS_ENV_WORK = 12,
    DEFBS_ENV_DATA = 14
};

/// A rectangle as the configuration library keeps it: left, top, right, bottom.
struct QxRect
{
    qint32 left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const QxRect&) const = default;
};

/// One register screen file as listed by the configuration library.
struct _ECRFile_Information
{
    quint16 wFileNo = 0;
    quint32 dwInfo1 = 0;
    quint32 dwInfo2 = 0;
    QString strName;
    QString strInfo;
    bool operator==(const _ECRFile_Information&) const = default;
};

/// A screen definition table (screen numbers 12 and 4).
struct _ScreenDefinition_InterfaceTable
{
    quint32 dwMode = 0;
    quint32 dwReserved = 0;
    QxRect rcWindow;
    QList<std::array<quint8, 12>> arrItems1; // not used by the editor: kept and written back
    QList<std::array<quint8, 12>> arrItems2; // not used by the editor: kept and written back
    QString strMarker;
    QString strProgramPath; // screen number 4 only
    quint32 dwFlags = 0;    // screen number 4: bit value 2 = program path set
    bool operator==(const _ScreenDefinition_InterfaceTable&) const = default;
};
