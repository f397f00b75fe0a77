#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QSettings;

struct _ScreenDefinition_InterfaceTable;
class QVariant;

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

    /// True when the store file is absent or reads without error. Checked on a private copy,
    /// because QSettings caches a parsed file per path and reports a parse error only once.
    static bool isReadable(const QString& path);
    /// Reads a plain text value; a value the INI parser split at commas is joined back.
    static QString text(const QVariant& value);
    /// Parses a 32-bit word written in decimal or with a 0x prefix.
    static bool parseWord(const QVariant& value, quint32& out);
    /// Formats a 32-bit word the way the store writes it (0x hex).
    static QString formatWord(quint32 value);
    /// Splits a list written with blanks and/or commas.
    static QStringList splitList(const QVariant& value);
    /// Reads a screen definition table from the current group; false when a value is garbage.
    static bool readScreenTable(const QSettings& settings, _ScreenDefinition_InterfaceTable& tab);
    /// Applies change to the store at path and writes it so that the old store stays whole
    /// unless the new one reached the disk completely; false when it did not.
    static bool updateStore(const QString& path, const std::function<void(QSettings&)>& change);
    /// Writes every field of a screen definition table into the current group.
    static void writeScreenTable(QSettings& settings, const _ScreenDefinition_InterfaceTable& tab);
};
