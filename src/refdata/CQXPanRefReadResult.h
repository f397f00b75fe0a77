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
    bool m_bOpened = false; ///< false when the file could not be opened (m_strError says why)
    QString m_strError;     ///< empty when the file was read to its end

    /// Opens path and hands it to read; a file that cannot be opened gives its error.
    static CQXPanRefReadResult ReadPath(const QString& path,
                                        CQXPanRefReadResult (*read)(QIODevice&))
    {
        // A pipe would block and a device such as /dev/zero never ends: only files are read.
        if (const FileResult input = InputFile::Check(path, InputFile::kMaxTextBytes); !input) {
            CQXPanRefReadResult result;
            result.m_strError = input.reason;
            return result;
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            CQXPanRefReadResult result;
            result.m_strError = file.errorString();
            return result;
        }
        return read(file);
    }
};
