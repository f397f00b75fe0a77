#pragma once

#include <QString>

/// What a file operation came to: done, or the file and the reason it could not be done. The one
/// result shape of the readers and writers; the editor shows it in a box, the tool prints it.
struct FileResult
{
    bool ok = true;
    QString path;   ///< the file the failure concerns
    QString reason; ///< why, as the system says it ("No space left on device", ...)

    explicit operator bool() const { return ok; }
    /// "path: reason", or empty when done.
    QString Text() const { return ok ? QString() : path + QStringLiteral(": ") + reason; }

    static FileResult Done() { return {}; }
    static FileResult Failed(const QString& path, const QString& reason)
    {
        return {false, path, reason};
    }
};
