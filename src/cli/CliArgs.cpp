#include "cli/CliArgs.h"

bool CliArgs::Parse(const QStringList& args, const QStringList& valueOptions,
                    const QStringList& flags, QString* error)
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            m_positional.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            m_bHelp = true;
            continue;
        }
        // -o is the one short option: --output, as compilers and converters spell it.
        if (!arg.startsWith(QLatin1String("--")) && arg != QLatin1String("-o")) {
            *error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
        QString name = arg == QLatin1String("-o") ? QStringLiteral("output") : arg.mid(2);
        QString value;
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        const bool inlineValue = eq >= 0;
        if (inlineValue) {
            value = name.mid(eq + 1);
            name.truncate(eq);
        }
        if (valueOptions.contains(name)) {
            if (!inlineValue) {
                if (i + 1 >= args.size()) {
                    *error = QStringLiteral("option --%1 needs a value").arg(name);
                    return false;
                }
                value = args[++i];
            }
            if (m_values.contains(name)) {
                *error = QStringLiteral("option --%1 given twice").arg(name);
                return false;
            }
            m_values.insert(name, value);
        } else if (flags.contains(name) && !inlineValue) {
            m_flags.insert(name);
        } else {
            *error = QStringLiteral("unknown option --%1").arg(name);
            return false;
        }
    }
    return true;
}
