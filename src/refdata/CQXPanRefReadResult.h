#pragma once

#include "fileio/InputFile.h"
#include "refdata/CQXPanRefRow.h"

#include <QFile>
#include <QList>
#include <QString>

/// What a reference file reader returns: the data rows (no header row) and why it stopped early.
struct CQXPanRefReadResult
{
    QList<CQXPanRefRow> m_rows;
    bool m_bOpened = false; ///< false when the file could not be opened (m_result says why)
    FileResult m_result;    ///< done when the file was read to its end, else the file and why not

    /// Opens path and hands it to read; a file that cannot be opened gives its error.
    static CQXPanRefReadResult ReadPath(const QString& path,
                                        CQXPanRefReadResult (*read)(QIODevice&))
    {
        CQXPanRefReadResult result;
        // A pipe would block and a device such as /dev/zero never ends: only files are read.
        result.m_result = InputFile::Check(path, InputFile::kMaxTextBytes);
        QFile file(path);
        if (result.m_result && !file.open(QIODevice::ReadOnly))
            result.m_result = FileResult::Failed(path, file.errorString());
        if (!result.m_result)
            return result;
        result = read(file);
        if (!result.m_result)
            result.m_result.path = path;
        return result;
    }
};
