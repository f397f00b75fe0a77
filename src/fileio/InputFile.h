#pragma once

#include "fileio/FileResult.h"

#include <QString>

/// Inputs are regular files: a FIFO would block a reader for ever, a device such as /dev/zero
/// never ends and a folder reads as nothing. Checked before a file is opened.
class InputFile
{
public:
    /// The largest text file read (reference files, panel files): real ones are a few kilobytes,
    /// and a reader must stop somewhere even when the lines never end.
    static constexpr qint64 kMaxTextBytes = 8 * 1024 * 1024;

    /// Done when path names a regular file (through any links) of at most maxBytes bytes
    /// (no limit when negative); else the path and why it is not read.
    static FileResult Check(const QString& path, qint64 maxBytes = -1);
    /// True when path exists and is not a regular file (so it must not be opened).
    static bool IsSpecial(const QString& path);
};
