#pragma once

#include <QString>
#include <QStringList>

/// What one input did to a reader: its own result, the messages the user would see, and every
/// promise of the reader the input broke. The fuzz targets stop on a broken promise; the
/// regression test compares the rest with what the case expects.
struct FuzzOutcome
{
    int nResult = 0;      ///< the reader's result code (meaning per reader)
    QStringList messages; ///< messages shown to the user, in order
    QStringList problems; ///< broken promises; empty when the reader behaved

    /// Records a problem when ok is false.
    void Expect(bool ok, const QString& what)
    {
        if (!ok)
            problems.append(what);
    }
};
