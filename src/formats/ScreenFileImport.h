#pragma once

#include "fileio/FileResult.h"

#include <QString>

class CDibImage;
class QIODevice;

/// The codes of ImportScreenFile's and decodeScreenProgram's results; the values are the register
/// editor's own and must not be renumbered.
enum ScreenImportResult
{
    ScreenImportOk = 0,             ///< decoded, or the background was kept or set to the empty one
    ScreenImportRefused = -1,       ///< not the background type, or the file ended too early
    ScreenImportNoBackground = -2,  ///< no file, no background and no empty background bitmap
    ScreenImportBrokenHeader = -3,  ///< length field 0 or fewer than four lines
    ScreenImportCannotCreate = -16, ///< the background image could not be created
};

/// Bytes of the decoded register screen: 1024 x 768 pixels of blue, green, red.
constexpr qsizetype ScreenPixelBytes = qsizetype(1024) * 768 * 3;

/// Decodes the screen program text read from in (header lines included) into pixels
/// (ScreenPixelBytes, top row first, blue-green-red), which the caller has cleared. Reads line by
/// line with a bounded buffer. The code is ScreenImportOk, ScreenImportRefused (the file ended
/// before the picture) or ScreenImportBrokenHeader (telling "broken header").
FileResult decodeScreenProgram(QIODevice& in, unsigned char* pixels);

/// Reads FILE%dP.TXT of programFolder into background as a 1024 x 768, 24-bit picture. objType
/// is the current object type (only 0, the background, imports); without the file, an empty
/// background gets Aempty.bmp of backgroundFolder. The code is a ScreenImportResult; only a
/// broken header tells the user something.
FileResult ImportScreenFile(int fileNumber, int objType, CDibImage& background,
                            const QString& programFolder, const QString& backgroundFolder);
