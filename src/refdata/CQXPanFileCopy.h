#pragma once

#include <QString>

/// Copies a file of any size in pieces. An existing destination is replaced only once the whole
/// copy is written, so a failed copy leaves it as it was. False with the reason in pError.
bool CopyFileReplacing(const QString& source, const QString& destination,
                       QString* pError = nullptr);
