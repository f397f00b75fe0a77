#pragma once

#include <QString>

/// The branch folders the reference lists are read from.
struct CQXPanRefFolders
{
    QString m_strDataFolder;         ///< holds "funckey.txt"
    QString m_strProgramFolder;      ///< holds FILE002P.TXT and the register screen files
    QString m_strPlacedBitmapFolder; ///< placed bitmaps
    QString m_strBackgroundFolder;   ///< background bitmaps and "Aempty.bmp"
};
