#pragma once

#include <QString>

/// "FILE<nnn>P.TXT", the register's name of program file number (002 the free functions, 795 the
/// key table, 796 to 799 the screens).
QString RegisterFileName(int number);
/// The register file number in folder: an existing file of that name in any letter case (the
/// register's home system does not tell case apart), else the name as the register writes it.
QString RegisterFilePath(const QString& folder, int number);
