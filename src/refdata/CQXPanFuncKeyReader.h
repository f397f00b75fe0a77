#pragma once

#include "refdata/CQXPanRefReadResult.h"

class QIODevice;
class QString;

/// Reads the register's system-key list "funckey.txt" into system-key rows.
///
/// Fixed columns: the variant key at the start of a line, the record index at column 5, the
/// function code in columns 11 to 13 and the legend from column 20. Records 0, 1, 2, ... are
/// taken in turn, each from the first run of lines with its index, and reading ends at the first
/// index that is missing or has no line fitting the key 402. The file is read once.
class CQXPanFuncKeyReader
{
public:
    /// Records 0 to kMaxRecords - 1 at most are read: ten times the function codes there are,
    /// and a bound on what a file whose records come out of order makes the reader hold.
    static constexpr int kMaxRecords = 10000;

    /// Reads an open device to its end (or to the first missing record index).
    static CQXPanRefReadResult Read(QIODevice& device);
    /// Opens path in text mode and reads it; m_bOpened is false when that fails.
    static CQXPanRefReadResult ReadFile(const QString& path);

    /// True when a line's variant key may serve as the line of its record for the key 402.
    static bool FitsKey402(int variant);
};
