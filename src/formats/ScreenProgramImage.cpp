#include "formats/ScreenProgramFile.h"

#include "document/RegisterFiles.h"
#include "image/CDibImage.h"

// The screen file of a picture held as a CDibImage: its rows in the layout the encoder reads.

namespace {

using namespace ScreenProgram;

// Raw rows of image as 16, 24 or 32 bits: the image's own memory when its rows already have the
// raw layout, otherwise a copy in storage. Paletted images are taken by their colours.
const unsigned char* rawRows(const CDibImage& image, QByteArray& storage, qsizetype& size,
                             int& bits)
{
    size = 0;
    bits = image.BitsPerPixel();
    if (image.IsEmpty()) {
        bits = 24;
        return nullptr;
    }
    if (bits == 16 || bits == 24 || bits == 32) {
        size = image.RawSize();
        // The image's own memory serves when its rows have no padding at all; padding bytes
        // of raw rows must read as zero.
        const qsizetype used = qsizetype(image.Width()) * bits / 8;
        if (image.Image().bytesPerLine() == used && used == image.RawRowBytes())
            return image.Image().constBits();
        storage.resize(size);
        image.GetBits(size, storage.data());
        return reinterpret_cast<const unsigned char*>(storage.constData());
    }
    CDibImage colours;
    if (!colours.Create(image.Width(), image.Height(), 24) ||
        !image.BitBlt(colours, 0, 0, image.Width(), image.Height(), 0, 0)) {
        bits = 24;
        return nullptr;
    }
    bits = 24;
    size = colours.RawSize();
    storage.resize(size);
    colours.GetBits(size, storage.data());
    return reinterpret_cast<const unsigned char*>(storage.constData());
}

// Appends the record lines for image to text, encoding in place.
void appendRecords(QByteArray& text, const CDibImage& image)
{
    QByteArray storage;
    qsizetype size = 0;
    int bits = 24;
    const unsigned char* raw = rawRows(image, storage, size, bits);
    const qsizetype at = text.size();
    text.resize(at + RecordsBytes);
    encodeRecords(raw, size, image.Width(), image.Height(), bits, text.data() + at);
}

} // namespace

namespace ScreenProgram {

QByteArray buildFileText(const CDibImage& image, int fileNumber, const QDateTime& written)
{
    QByteArray text;
    text.reserve(256 + RecordsBytes);
    text += cLine(fileNumber);
    text += hLine(written);
    text += fLine(fileNumber);
    appendRecords(text, image);
    return text;
}

} // namespace ScreenProgram

FileResult WriteScreenFileTo(const CDibImage& image, int fileNumber, const QString& path,
                             const QDateTime& written)
{
    QByteArray storage;
    ScreenProgram::RawPicture picture;
    picture.rows = rawRows(image, storage, picture.size, picture.bitsPerPixel);
    picture.width = image.Width();
    picture.height = image.Height();
    return WriteScreenFileTo(picture, fileNumber, path, written);
}

FileResult WriteScreenProgramFile(const CDibImage& image, int fileNumber,
                                  const QString& programFolder, const QDateTime& written)
{
    // A file of the name in another letter case is the one replaced.
    const QString path = RegisterFilePath(programFolder, fileNumber);
    // Only the logo and the three check windows are screens; 795 is the key table.
    if (fileNumber < ScreenProgram::FirstFileNumber || fileNumber > ScreenProgram::LastFileNumber)
        return FileResult::Failed(path, QString(), ScreenProgram::WriteFailed)
            .Told(QStringLiteral("%1 is not a screen file of the register (796 to 799); nothing "
                                 "was written.")
                      .arg(RegisterFileName(fileNumber)),
                  FileMessage::StopIcon);
    FileResult result = WriteScreenFileTo(image, fileNumber, path, written);
    if (result)
        return result;
    result.code = ScreenProgram::WriteFailed;
    return result.Told(QStringLiteral("Could not write %1").arg(result.Text()),
                       FileMessage::StopIcon);
}
