#include "cli/CliScreenFile.h"

#include "cli/CliIo.h"
#include "fileio/AtomicFile.h"
#include "fileio/InputFile.h"
#include "formats/ScreenFileImport.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstring>

bool CliScreenFile::Decode(const QString& path, QImage& picture, QString* error)
{
    if (const FileResult input = InputFile::Check(path); !input) {
        *error = input.reason;
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open (%1)").arg(file.errorString());
        return false;
    }
    QByteArray pixels(ScreenPixelBytes, '\0');
    const FileResult result =
        decodeScreenProgram(file, reinterpret_cast<unsigned char*>(pixels.data()));
    if (!result) {
        *error = !result.text.isEmpty()
                     ? result.text
                     : QStringLiteral("the file ends before the picture is complete (result %1)")
                           .arg(result.code);
        return false;
    }
    QImage image(1024, 768, QImage::Format_BGR888);
    if (image.isNull()) {
        *error = QStringLiteral("out of memory for the picture");
        return false;
    }
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), pixels.constData() + qsizetype(y) * 3 * 1024, 3 * 1024);
    // 96 dpi in the saved picture, as ever: the default follows the platform, and the tool may
    // run without one.
    constexpr int dotsPerMetreAt96Dpi = 3780;
    image.setDotsPerMeterX(dotsPerMetreAt96Dpi);
    image.setDotsPerMeterY(dotsPerMetreAt96Dpi);
    picture = image;
    return true;
}

int CliScreenFile::FileNumber(const QString& path)
{
    static const QRegularExpression byName(QStringLiteral("^FILE(79[6-9])P\\.TXT$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch nameMatch = byName.match(QFileInfo(path).fileName());
    if (nameMatch.hasMatch())
        return nameMatch.captured(1).toInt();
    QFile file(path);
    if (InputFile::IsSpecial(path))
        return 0;
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    // "C","n:P0797:"
    const QByteArray cLine = file.readLine(256);
    static const QRegularExpression byHeader(QStringLiteral("n:P0(79[6-9]):"));
    const QRegularExpressionMatch headerMatch = byHeader.match(QString::fromLatin1(cLine));
    return headerMatch.hasMatch() ? headerMatch.captured(1).toInt() : 0;
}

bool CliScreenFile::IsPictureName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("png") || suffix == QLatin1String("bmp");
}

int CliScreenFile::DecodeForPicture(const QString& command, const QString& in, const QString& out,
                                    QImage& picture, CliIo& io)
{
    if (!IsPictureName(out)) {
        io.Err() << "qxpan-cli " << command << ": OUT must end in .png or .bmp: " << out
                 << Qt::endl;
        return CliUsage;
    }
    QString error;
    if (!Decode(in, picture, &error))
        return io.Fail(in, error);
    return CliOk;
}

FileResult CliScreenFile::SavePicture(const QImage& picture, const QString& out)
{
    AtomicFile::RemoveLeftovers(QFileInfo(out).absolutePath());
    AtomicFile file(out);
    if (FileResult opened = file.Open(); !opened)
        return opened;
    const QByteArray format = QFileInfo(out).suffix().toLower().toLatin1();
    if (!picture.save(&file.Device(), format.constData())) {
        const QString writeError = file.WriteError();
        return FileResult::Failed(out, !writeError.isEmpty()
                                           ? writeError
                                           : QStringLiteral("cannot be encoded as %1")
                                                 .arg(QString::fromLatin1(format).toUpper()));
    }
    return file.Commit();
}
