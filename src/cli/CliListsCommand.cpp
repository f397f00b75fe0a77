#include "cli/CliListsCommand.h"

#include "cli/CliArgs.h"
#include "cli/CliBranch.h"
#include "cli/CliIo.h"
#include "cli/CliTable.h"
#include "refdata/CQXPanRefLists.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString Trimmed(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ')
        --end;
    return text.left(end);
}

// The columns a list shows (those with a caption) and a row's cells in them, as they read on the
// screen: without the blanks that pad them.
QList<int> Shown(const CQXPanRefRow& header)
{
    QList<int> shown;
    const QString captions[] = {header.m_strCol1, header.m_strCol2, header.m_strCol3};
    for (int c = 0; c < 3; ++c) {
        if (!Trimmed(captions[c]).isEmpty())
            shown.append(c);
    }
    return shown;
}

QStringList Cells(const CQXPanRefRow& row, const QList<int>& shown)
{
    const QString cells[] = {row.m_strCol1, row.m_strCol2, row.m_strCol3};
    QStringList out;
    for (int c : shown)
        out << Trimmed(cells[c]);
    return out;
}

} // namespace

QString CliListsCommand::Summary() const
{
    return QStringLiteral("List the branch's system keys, free functions and bitmaps.");
}

QString CliListsCommand::Details() const
{
    return QStringLiteral(
        "Shows the reference lists of the configuration store's current branch as the editor's\n"
        "item list and properties dialog show them: system keys (funckey.txt), free functions\n"
        "(FILE002P.TXT), backgrounds (the program folder's screen files, then the background\n"
        "bitmaps) and placed bitmaps, each with the editor's columns. Text: a line \"[list]\", a\n"
        "line of column names, then a line per row, tab-separated; --json gives one object with\n"
        "\"systemKeys\", \"freeFunctions\", \"backgrounds\" and \"placedBitmaps\", each with\n"
        "\"columns\" and \"rows\". A reference file that is missing leaves its list empty.\n"
        "The store is --config FILE, else $QXPAN_CONFIG, else the user's qxctrl.ini.\n"
        "Exit status: 0 done, 1 the store or the branch cannot be read, 2 wrong arguments.");
}

int CliListsCommand::Run(const CliArgs& args, CliIo& io)
{
    int failed = CliOk;
    const std::optional<BranchFolders> branch = LoadCliBranch(args, io, failed);
    if (!branch)
        return failed;
    CQXPanRefLists lists(branch->RefFolders());
    lists.LoadReferenceData();
    const std::pair<const char*, const QList<CQXPanRefRow>*> named[] = {
        {"systemKeys", &lists.m_SysKeyList},
        {"freeFunctions", &lists.m_FreeFuncList},
        {"backgrounds", &lists.m_BgList},
        {"placedBitmaps", &lists.m_BmpList}};
    QJsonObject all;
    for (const auto& [name, rows] : named) {
        const QList<int> shown = Shown(rows->constFirst());
        const QStringList columns = Cells(rows->constFirst(), shown);
        QJsonArray cells;
        if (!args.Has(QStringLiteral("json")))
            io.Out() << '[' << name << "]\n" << columns.join(u'\t') << '\n';
        for (const CQXPanRefRow& row : rows->mid(1)) {
            const QStringList values = Cells(row, shown);
            if (args.Has(QStringLiteral("json")))
                cells.append(QJsonArray::fromStringList(values));
            else {
                QStringList escaped;
                for (const QString& cell : values)
                    escaped << CliTable::Escaped(cell);
                io.Out() << escaped.join(u'\t') << '\n';
            }
        }
        all.insert(QLatin1String(name),
                   QJsonObject{{"columns", QJsonArray::fromStringList(columns)}, {"rows", cells}});
    }
    if (args.Has(QStringLiteral("json")))
        io.Out() << QJsonDocument(all).toJson(QJsonDocument::Indented);
    io.Out().flush();
    return CliOk;
}
