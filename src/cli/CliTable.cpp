#include "cli/CliTable.h"

#include "document/CQXPanKeyObj.h"
#include "fileio/InputFile.h"
#include "formats/BitmapTableFile.h"

#include <QFile>

bool CliTable::Read(const QString& path, QList<CQXPanKeyObj>& table, QString* error, int* pKept)
{
    if (pKept)
        *pKept = 0;
    if (const FileResult input = InputFile::Check(path); !input) {
        *error = input.reason;
        return false;
    }
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open (%1)").arg(probe.errorString());
        return false;
    }
    probe.close();
    const BitmapTableFile::ReadResult read = BitmapTableFile::ReadFile(path, table);
    if (read.eStatus != BitmapTableFile::ReadStatus::Read) {
        *error = read.result.text.isEmpty() ? BitmapTableFile::WrongFileText() : read.result.text;
        if (pKept)
            *pKept = read.nRecords;
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

QString CliTable::Escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        default:
            if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}
