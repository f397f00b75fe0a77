#pragma once

#include <QString>

/// One row of a reference list as plain data: the three column texts and what the list needs.
struct CQXPanRefRow
{
    QString m_strCol1;     ///< first column: file name or record number
    QString m_strCol2;     ///< second column: key legend or record description
    QString m_strCol3;     ///< third column: function code, "%03d"
    int m_nFuncCode = -1;  ///< function code as a number, -1 for rows without one
    int m_nRecordNo = -1;  ///< free-function record number, -1 for other rows
    int m_nScreenNo = 0;   ///< 796..799 for a register screen file row, else 0
    QString m_strFilePath; ///< full path of a file row (bitmap or screen file), else empty

    bool operator==(const CQXPanRefRow&) const = default;
};
