#pragma once

#include "refdata/CQXPanRefReadResult.h"

class QIODevice;
class QString;

/// Reads the register's free-function program file "FILE002P.TXT" into free-function rows.
///
/// After the three header lines each line is one record: the record number in columns 0 to 5,
/// the function code in columns 8 to 11 and the 16-character description in columns 15 to 30.
/// A last line without a line end is not read.
class CQXPanFreeFuncReader
{
public:
    /// The list holds 1024 rows with its header, so at most this many records are read.
    static constexpr int kMaxRecords = 1023;

    /// Reads an open device (binary) to its end or to kMaxRecords records.
    static CQXPanRefReadResult Read(QIODevice& device);
    /// Opens path and reads it; m_bOpened is false when that fails.
    static CQXPanRefReadResult ReadFile(const QString& path);
};
