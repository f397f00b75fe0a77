#include "cli/CliExportCommand.h"

#include "cli/CliArgs.h"
#include "cli/CliBranch.h"
#include "cli/CliDesignJson.h"
#include "cli/CliIo.h"
#include "document/PanelFile.h"
#include "fileio/AtomicFile.h"
#include "fileio/InputFile.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>

QString CliExportCommand::Summary() const
{
    return QStringLiteral("Print a panel file as JSON, as the editor opens it.");
}

QString CliExportCommand::Details() const
{
    return QStringLiteral(
        "Opens DESIGN.pan for image type N on the configuration store's current branch as the\n"
        "editor's Open does and prints it as JSON (to standard output, or into FILE with -o):\n"
        "\"type\"; \"background\" (\"number\", the panel file's BG number as the editor saves\n"
        "it, and \"file\", the background row it chose); \"bitmapFolder\"; \"bitmaps\" (\"file\",\n"
        "\"row\" in the placed-bitmap list, register rectangle \"left\" \"top\" \"right\"\n"
        "\"bottom\"); \"keys\" (\"type\" code, \"shape\", the rectangle, \"fill\" and\n"
        "\"textColour\" as shown (#RRGGBB or \"none\"), \"number\", \"text1\", \"text2\", and\n"
        "\"record\", the 62 register bytes in hex); \"messages\", what opening it said and asked.\n"
        "A placed bitmap missing from the branch is skipped (--answer yes, the default) or ends\n"
        "the reading (--answer no), as the editor's two buttons do.\n"
        "Exit status: 0 done, 1 the store, the branch or the design cannot be read or the output\n"
        "cannot be written, 2 wrong arguments.");
}

int CliExportCommand::Run(const CliArgs& args, CliIo& io)
{
    int failed = CliOk;
    const std::unique_ptr<CliOpenedDesign> opened =
        OpenCliDesign(QStringLiteral("export"), args, io, failed);
    if (!opened)
        return failed;
    const CQXPanDocument& design = opened->design;
    const CliPanelHost& host = *opened->host;
    CliDesignJson::Panel panel;
    panel.nType = opened->nType;
    const QStringList names = host.BackgroundNames();
    panel.nBackground = PanelFile::BackgroundNumberForSave(names, host.ListSel());
    panel.strBackground = names.value(host.ListSel() + 1); // row 0 is the header
    panel.strPlacedFolder = opened->folders.placed;
    for (const CQXPanBmpObj& obj : design.m_BmpObjs)
        panel.bitmapRows.append(host.RowOfImage(obj.m_pImage));
    panel.messages = host.Messages();
    const QByteArray json =
        QJsonDocument(CliDesignJson::ToJson(design, panel)).toJson(QJsonDocument::Indented);
    if (!args.Has(QStringLiteral("output"))) {
        io.Out() << QString::fromUtf8(json);
        io.Out().flush();
        return CliOk;
    }
    if (const FileResult written = AtomicFile::Write(args.Value(QStringLiteral("output")), json);
        !written)
        return io.Fail(written.path, written.reason);
    return CliOk;
}

QString CliImportCommand::Summary() const
{
    return QStringLiteral("Write the panel file the editor saves for a design in JSON.");
}

QString CliImportCommand::Details() const
{
    return QStringLiteral(
        "Reads DESIGN.json as \"qxpan-cli export\" prints it and writes OUT.pan through the\n"
        "editor's own panel file writer (replacing OUT.pan whole or not at all). Export then\n"
        "import gives back the panel file the editor saved, byte for byte. A key's fields say\n"
        "what it is; its \"record\" (optional) keeps the register bytes no field names. A field\n"
        "that is missing, of the wrong kind, out of range or unknown is named on standard error\n"
        "and nothing is written.\n"
        "Exit status: 0 done, 1 the JSON cannot be read or is wrong, or OUT.pan cannot be\n"
        "written, 2 wrong arguments.");
}

int CliImportCommand::Run(const CliArgs& args, CliIo& io)
{
    const QString& in = args.Positional()[0];
    const QString& out = args.Positional()[1];
    if (const FileResult input = InputFile::Check(in); !input)
        return io.Fail(in, input.reason);
    QFile file(in);
    if (!file.open(QIODevice::ReadOnly))
        return io.Fail(in, file.errorString());
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.read(64 << 20), &parseError);
    if (!document.isObject())
        return io.Fail(in, parseError.error != QJsonParseError::NoError
                               ? QStringLiteral("not JSON: %1 at byte %2")
                                     .arg(parseError.errorString())
                                     .arg(parseError.offset)
                               : QStringLiteral("not a design: the document is no JSON object"));
    const CliDesignJson::Parsed parsed = CliDesignJson::FromJson(document.object());
    if (!parsed.error.isEmpty())
        return io.Fail(in, parsed.error);
    if (const FileResult written = PanelFile::Write(out, *parsed.design, parsed.panel.nBackground,
                                                    parsed.panel.strPlacedFolder, parsed.rows);
        !written)
        return io.Fail(written.path, written.reason);
    return CliOk;
}
