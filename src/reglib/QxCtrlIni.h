#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

class QxCtrlIniFile;
struct _ScreenDefinition_InterfaceTable;

/// Key names and value parsing shared by the configuration library classes.
/// The store is hand-editable, so reading is lenient about number bases and list separators
/// but strict about garbage: a value that cannot be read makes the call fail rather than
/// inventing a value.
class QxCtrlIni
{
public:
    static QString keyBranch();
    static QString keyRegister();
    static QString keyExchangeFolder();
    static QString branchGroup(const QString& branch);
    static QString fileGroupPrefix(const QString& branch);
    static QString registerGroup(const QString& ecr);
    static QString screenGroup(int no);

    /// Reads a plain text value; a value the INI parser split at commas is joined back.
    static QString text(const QVariant& value);
    /// Parses a 32-bit word written in decimal or with a 0x prefix.
    static bool parseWord(const QVariant& value, quint32& out);
    /// Formats a 32-bit word the way the store writes it (0x hex).
    static QString formatWord(quint32 value);
    /// Splits a list written with blanks and/or commas.
    static QStringList splitList(const QVariant& value);
    /// Reads the screen definition table of a section; false when a value is garbage.
    static bool readScreenTable(const QxCtrlIniFile& file, const QString& section,
                                _ScreenDefinition_InterfaceTable& tab);
    /// Every field of a screen definition table as the store keeps it, key by key.
    static QList<QPair<QString, QVariant>>
    screenTableValues(const _ScreenDefinition_InterfaceTable& tab);
};
