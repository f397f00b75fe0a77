#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

/// The arguments of one command: positional arguments, options with a value and flags.
class CliArgs
{
public:
    /// Parses args (without the program and command names). valueOptions and flags are the
    /// option names without their leading "--". On a usage error returns false with *error set.
    bool Parse(const QStringList& args, const QStringList& valueOptions, const QStringList& flags,
               QString* error);

    const QStringList& Positional() const { return m_positional; }
    bool Has(const QString& name) const
    {
        return m_values.contains(name) || m_flags.contains(name);
    }
    QString Value(const QString& name) const { return m_values.value(name); }
    bool HelpRequested() const { return m_bHelp; }

private:
    QStringList m_positional;
    QHash<QString, QString> m_values;
    QSet<QString> m_flags;
    bool m_bHelp = false;
};
