#include "cli/CliScreenWriter.h"

#include "cli/CliExit.h"
#include "cli/CliIo.h"
#include "formats/ScreenProgramFile.h"

int CliScreenWriter::Write(const CDibImage& screen, int fileNumber, const QString& out, CliIo& io)
{
    if (const FileResult written = WriteScreenFileTo(screen, fileNumber, out); !written)
        return io.Fail(written.path, written.reason);
    return CliOk;
}
