#pragma once

#include "refdata/CQXPanRefRow.h"

#include <QList>
#include <QString>

/// What a reference file reader returns: the data rows (no header row) and why it stopped early.
struct CQXPanRefReadResult
{
    QList<CQXPanRefRow> m_rows;
    bool m_bOpened = false; ///< false when the file could not be opened (m_strError says why)
    QString m_strError;     ///< empty when the file was read to its end
};
