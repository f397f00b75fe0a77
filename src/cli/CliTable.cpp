#include "cli/CliTable.h"

#include "document/CQXPanKeyObj.h"
#include "image/BitmapTableFile.h"
#include "image/FileMessage.h"

#include <QFile>

bool CliTable::Read(const QString& path, QList<CQXPanKeyObj>& table, QString* error)
{
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open (%1)").arg(probe.errorString());
        return false;
    }
    probe.close();
    QString message;
    const BitmapTableFile::ReadResult result = BitmapTableFile::ReadFile(
        path, table, [&message](const FileMessage& m) { message = m.text; });
    if (result.eStatus != BitmapTableFile::ReadStatus::Read) {
        *error = message.isEmpty() ? BitmapTableFile::WrongFileText() : message;
        return false;
    }
    return true;
}

int CliTable::SliceOf(int index)
{
    static const int kSliceFiles[] = {798, 797, 799};
    return kSliceFiles[qBound(0, index / 80, 2)];
}

QString CliTable::ColourText(quint32 colour)
{
    return QString::asprintf("#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
                             (colour >> 16) & 0xFF);
}
