#pragma once

#include "fileio/FileResult.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class CDibImage;
class CQXPanDocument;
class PanelReadHost;
class QIODevice;

/// The panel file (".pan"): one design as text, written by Save and read by Open.
class PanelFile
{
public:
    /// One row of the placed-bitmap list as the writer needs it.
    struct BitmapRow
    {
        QString strName;
        const CDibImage* pImage = nullptr;
    };

    /// Why reading ended.
    enum class Stop
    {
        EndOfFile,      ///< every object was read
        NotOpened,      ///< the file could not be opened
        WrongFile,      ///< the first line does not begin with "BG"
        Declined,       ///< the user chose not to go on after a missing bitmap
        ScreenFull,     ///< the key objects of the screen are full
        NotAnObject,    ///< a line without ten numbers where an object was expected
        TooManyBitmaps, ///< the design holds kMaxPlacedBitmaps placed bitmaps
    };

    /// Reading stops once the design holds this many placed bitmaps, far more than a 1024 x 768
    /// screen can show, so that a forged file cannot fill memory or make every repaint crawl.
    static constexpr int kMaxPlacedBitmaps = 4096;

    struct ReadResult
    {
        /// Code 0 read (also when stopped early), -1 not opened or not a panel file, telling the
        /// user "can't open ..." or "Wrong PAN file.".
        FileResult result;
        Stop eStop = Stop::EndOfFile;
    };

    /// Background number to save: nListSel - f + 1, f being the first bitmap entry of the list.
    static int BackgroundNumberForSave(const QStringList& backgroundNames, int nListSel);

    /// The complete file text of a design (lines ended by CR LF). placedRows is the placed-bitmap
    /// list with its header row at index 0; placed bitmaps whose image is not in it are left out.
    static QByteArray Serialize(const CQXPanDocument& doc, int backgroundNumber,
                                const QString& placedFolder, const QList<BitmapRow>& placedRows);
    /// Writes the design to path, replacing the file only when all of it was written; fails
    /// naming the file and the reason.
    static FileResult Write(const QString& path, const CQXPanDocument& doc, int backgroundNumber,
                            const QString& placedFolder, const QList<BitmapRow>& placedRows);

    /// Reads a panel file into doc for the screen file imageType (796..799).
    static ReadResult Read(const QString& path, int imageType, CQXPanDocument& doc,
                           PanelReadHost& host);
    /// Reads a panel file from an open device.
    static ReadResult Read(QIODevice& device, int imageType, CQXPanDocument& doc,
                           PanelReadHost& host);

    /// Text of the open failure message.
    static QString CantOpenText(const QString& path);
    /// Text of the question for a missing placed bitmap.
    static QString MissingBitmapText(const QString& fileName);
};
