#pragma once

#include <QString>

class CDibImage;
class CliIo;

/// Writes a rendered register screen to any path through the editor's screen file writer.
class CliScreenWriter
{
public:
    /// Writes screen as the screen program file of fileNumber to out. The "h" and "f" lines of an
    /// existing out are kept by the writer's rules; out is replaced only when the new file is
    /// complete. Messages go to io; returns a CliExit value.
    static int Write(const CDibImage& screen, int fileNumber, const QString& out, CliIo& io);
};
