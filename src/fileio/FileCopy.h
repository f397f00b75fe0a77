#pragma once

#include "fileio/FileResult.h"

#include <QString>

/// Copies a regular file of any size in pieces, through AtomicFile: an existing destination is
/// replaced only once the whole copy is written, so a failed copy leaves it as it was.
FileResult CopyFileReplacing(const QString& source, const QString& destination);
