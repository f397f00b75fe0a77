#pragma once

#include <QList>
#include <QString>

class CQXPanKeyObj;

/// Reading a bitmap table file (FILE795P.TXT) for the command-line tool.
class CliTable
{
public:
    /// Reads the 240 records of the table at path; false with *error (the reader's message or
    /// why the file cannot be opened) when the file is missing or wrong. *pKept (if given) then
    /// counts the records read before the reader stopped, which the table holds as the editor
    /// keeps them.
    static bool Read(const QString& path, QList<CQXPanKeyObj>& table, QString* error,
                     int* pKept = nullptr);
    /// The screen file whose slice holds table record index (0-based): 798, 797 or 799.
    static int SliceOf(int index);
    /// A record colour (red in the low byte) as "#RRGGBB".
    static QString ColourText(quint32 colour);
    /// A key text for a tab-separated line: backslash, tab, line ends and other control
    /// characters written as \\, \t, \n, \r and \xHH, so that a record stays one line.
    static QString Escaped(const QString& text);
};
