#include "cli/CliTableCommand.h"

#include "cli/CliArgs.h"
#include "cli/CliIo.h"
#include "cli/CliTable.h"
#include "document/CQXPanKeyObj.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QString CliTableCommand::Summary() const
{
    return QStringLiteral("List the key and table records in use in a bitmap table file.");
}

QString CliTableCommand::Details() const
{
    return QStringLiteral(
        "One line per record in use (shape byte not 0), tab-separated after a heading line:\n"
        "slice (798: records 1-80, 797: 81-160, 799: 161-240), record number, type code\n"
        "(093 marks a table), register rectangle left top right bottom, shape (1 rectangle,\n"
        "2 ellipse), fill and text colour as stored (#RRGGBB), number, text 1, text 2.\n"
        "--json prints {\"file\": ..., \"records\": [...]} with the same fields instead.\n"
        "A file the editor rejects after some records (too few or too many, a broken line) is\n"
        "said so on standard error with the editor's message, and the records it keeps are\n"
        "listed.\n"
        "Exit status: 0 done, 1 the file is missing, rejected or not a bitmap table file, 2 wrong "
        "arguments.");
}

int CliTableCommand::Run(const CliArgs& args, CliIo& io)
{
    const QString& path = args.Positional()[0];
    QList<CQXPanKeyObj> table;
    QString error;
    int kept = 0;
    const bool whole = CliTable::Read(path, table, &error, &kept);
    if (!whole && kept == 0)
        return io.Fail(path, error);
    // A table the editor rejects part way: what it keeps of it is listed, and the exit status
    // still says the file is wrong.
    if (!whole)
        io.Note(path + QStringLiteral(": ") + error +
                QStringLiteral(" The editor keeps the %1 records read before that; they are "
                               "listed.")
                    .arg(kept));

    const bool json = args.Has(QStringLiteral("json"));
    QJsonArray records;
    if (!json)
        io.Out() << "slice\trecord\ttype\tleft\ttop\tright\tbottom\tshape\tfill\ttext\tnumber"
                    "\ttext1\ttext2\n";
    for (int i = 0; i < table.size(); ++i) {
        const CQXPanKeyObj& key = table[i];
        if (key.IsFree())
            continue;
        const ScreenObjectRecord& r = key.m_Record;
        const QString fill = CliTable::ColourText(r.Colour(ScreenObjectRecord::FillColour));
        const QString text = CliTable::ColourText(r.Colour(ScreenObjectRecord::TextColour));
        if (json) {
            records.append(QJsonObject{
                {QStringLiteral("slice"), CliTable::SliceOf(i)},
                {QStringLiteral("record"), i + 1},
                {QStringLiteral("type"), key.TypeCode()},
                {QStringLiteral("left"), r.Word(ScreenObjectRecord::Left)},
                {QStringLiteral("top"), r.Word(ScreenObjectRecord::Top)},
                {QStringLiteral("right"), r.Word(ScreenObjectRecord::Right)},
                {QStringLiteral("bottom"), r.Word(ScreenObjectRecord::Bottom)},
                {QStringLiteral("shape"), key.Shape()},
                {QStringLiteral("fill"), fill},
                {QStringLiteral("textColour"), text},
                {QStringLiteral("number"), key.GetNumber()},
                {QStringLiteral("text1"), key.GetText1()},
                {QStringLiteral("text2"), key.GetText2()},
            });
            continue;
        }
        io.Out() << CliTable::SliceOf(i) << '\t' << (i + 1) << '\t'
                 << QString::asprintf("%03d", key.TypeCode()) << '\t'
                 << r.Word(ScreenObjectRecord::Left) << '\t' << r.Word(ScreenObjectRecord::Top)
                 << '\t' << r.Word(ScreenObjectRecord::Right) << '\t'
                 << r.Word(ScreenObjectRecord::Bottom) << '\t' << int(key.Shape()) << '\t' << fill
                 << '\t' << text << '\t' << key.GetNumber() << '\t'
                 << CliTable::Escaped(key.GetText1()) << '\t' << CliTable::Escaped(key.GetText2())
                 << '\n';
    }
    if (json) {
        const QJsonObject document{{QStringLiteral("file"), path},
                                   {QStringLiteral("records"), records}};
        io.Out() << QJsonDocument(document).toJson(QJsonDocument::Indented);
    }
    if (!whole) {
        io.Out().flush();
        return CliBadInput;
    }
    io.Out().flush();
    return CliOk;
}
