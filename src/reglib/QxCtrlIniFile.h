#pragma once

#include "fileio/FileResult.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

/// The configuration store's text as it stands, with the values it holds. Read in one go and
/// checked whole: a line that is neither a [section], a key=value nor a ; comment is named by its
/// number. Changed key by key: a changed key's line is replaced (a new one goes at the end of its
/// section), and every other line stays byte for byte as it was, comments included.
///
/// The syntax is the INI format the store has always had: section and key names with %XX and
/// %UXXXX escapes, values with "quotes" (which may span lines), backslash escapes, a backslash
/// before a line end joining the next line, commas separating list items, and ; comments.
class QxCtrlIniFile
{
public:
    /// No real store comes near this size; a larger file is refused.
    static constexpr qint64 kMaxBytes = 1024 * 1024;

    /// Parses text; on a line that cannot be read, nothing and *error = "line N: why".
    static std::optional<QxCtrlIniFile> Parse(const QByteArray& text, QString* error);
    /// Reads the store at path, a regular file of at most kMaxBytes (a missing file is an empty
    /// store); on failure, nothing and *problem names the file and says why.
    static std::optional<QxCtrlIniFile> Load(const QString& path, FileResult* problem);

    /// Section names in order of their first appearance, unescaped; "" holds the keys of
    /// [General] and those before any section.
    QStringList Sections() const;
    /// Keys of a section in order of their first appearance.
    QStringList Keys(const QString& section) const;
    bool Contains(const QString& section, const QString& key) const;
    /// A key's value: a QString, a QStringList for a list of two or more items, or an invalid
    /// QVariant when the key is absent. The last of several lines with the same key counts.
    QVariant Value(const QString& section, const QString& key) const;

    /// Sets a key to a QString or a QStringList, written as the store writes values.
    void SetValue(const QString& section, const QString& key, const QVariant& value);

    /// The text, changed lines included.
    const QByteArray& Text() const { return m_text; }

private:
    struct Entry
    {
        QString section;
        QString key;
        QVariant value;
        qsizetype begin = 0; ///< byte offset of the logical line
        qsizetype end = 0;   ///< byte offset after its line end
    };
    struct Section
    {
        QString name;
        qsizetype end = 0; ///< byte offset after its last key line (or its header line)
    };

    bool Index(QString* error);

    QByteArray m_text;
    QList<Entry> m_entries;
    QList<Section> m_sections;
};
