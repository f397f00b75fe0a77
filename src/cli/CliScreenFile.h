#pragma once

#include "fileio/FileResult.h"

#include <QImage>
#include <QString>

class CliIo;

/// A register screen program file decoded for the command-line tool.
class CliScreenFile
{
public:
    /// Decodes the screen file at path into a 1024 x 768 picture; false with *error (the reason,
    /// without the path) when the file cannot be opened or is broken.
    static bool Decode(const QString& path, QImage& picture, QString* error);
    /// The screen's file number (796..799): from a name like FILE797P.TXT (any case), else from
    /// the file's "C" line; 0 when neither tells.
    static int FileNumber(const QString& path);
    /// True when path ends in an extension QImage can write here (".png" or ".bmp").
    static bool IsPictureName(const QString& path);
    /// The start of the commands that save a decoded screen: checks that out names a picture
    /// (else a usage error of command) and decodes in; CliOk, or the exit status after the
    /// error line has been printed.
    static int DecodeForPicture(const QString& command, const QString& in, const QString& out,
                                QImage& picture, CliIo& io);
    /// Saves picture to out (PNG or BMP by its extension) through a temporary file, so an
    /// existing out is replaced only by a complete picture; false when that fails.
    static FileResult SavePicture(const QImage& picture, const QString& out);
};
