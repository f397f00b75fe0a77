#include "document/RegisterFiles.h"

#include "fileio/CQXPanFileFinder.h"

QString RegisterFileName(int number)
{
    return QString::asprintf("FILE%03dP.TXT", number);
}

QString RegisterFilePath(const QString& folder, int number)
{
    return CQXPanFileFinder::PathFor(folder, RegisterFileName(number));
}
