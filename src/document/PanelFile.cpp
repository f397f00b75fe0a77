#include "document/PanelFile.h"

#include "document/CQXPanDocument.h"
#include "document/PanelReadHost.h"
#include "document/RegisterFiles.h"
#include "fileio/AtomicFile.h"
#include "fileio/CQXPanLineReader.h"
#include "fileio/InputFile.h"

#include <QFile>

#include <climits>
#include <cstdio>

namespace {

// Lines are read with a buffer of 1024 bytes, the terminator included.
constexpr int kMaxLineBytes = 1023;
constexpr int kMinObjectSize = 30;
constexpr int kFieldCount = 10;
constexpr int kLogoFileNumber = 796;

// Panel file kinds; they are stored in files: do not renumber.
enum Kind : int
{
    KindBitmap = 1,
    KindKeyEllipse = 2,
    KindKeyRectangle = 3,
    KindTableEllipse = 4,
    KindTableRectangle = 5,
};

bool EndsWithBmp(const QString& name)
{
    return name.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive);
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// One number as "%d" reads it: blanks skipped, an optional sign, at least one digit.
// Values beyond the int range saturate.
bool ParseInt(const QByteArray& text, qsizetype& pos, int& value)
{
    qsizetype i = pos;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size() || !IsDigit(text[i]))
        return false;
    qint64 v = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (v <= qint64(INT_MAX) + 1)
            v = v * 10 + (text[i] - '0');
    }
    if (negative)
        v = -v;
    value = int(qBound(qint64(INT_MIN), v, qint64(INT_MAX)));
    pos = i;
    return true;
}

// The leading number of a text as atoi reads it; 0 without digits.
int AtoI(const QByteArray& text)
{
    qsizetype pos = 0;
    int value = 0;
    return ParseInt(text, pos, value) ? value : 0;
}

QByteArray Field(int value)
{
    char buffer[16];
    const int n = std::snprintf(buffer, sizeof buffer, "%04d", value);
    return QByteArray(buffer, n);
}

void AppendFields(QByteArray& out, const int (&fields)[kFieldCount])
{
    for (int i = 0; i < kFieldCount; ++i) {
        if (i > 0)
            out += ' ';
        out += Field(fields[i]);
    }
    out += "\r\n";
}

QByteArray TrimLineEnd(QByteArray line)
{
    while (!line.isEmpty() && (line.back() == '\r' || line.back() == '\n'))
        line.chop(1);
    while (!line.isEmpty() && (line.front() == '\r' || line.front() == '\n'))
        line.remove(0, 1);
    return line;
}

// The file-name part of a bitmap path: what follows its last "\" or "/".
QString FileNamePart(const QByteArray& line)
{
    QByteArray path = line;
    while (!path.isEmpty() && IsSpace(path.back()))
        path.chop(1);
    const qsizetype cut = std::max(path.lastIndexOf('\\'), path.lastIndexOf('/'));
    return QString::fromUtf8(path.mid(cut + 1));
}

} // namespace

int PanelFile::BackgroundNumberForSave(const QStringList& backgroundNames, int nListSel)
{
    const int count = int(backgroundNames.size());
    int f = 1;
    if (count >= 2) {
        f = count;
        for (int i = 1; i < count; ++i) {
            if (EndsWithBmp(backgroundNames[i])) {
                f = i;
                break;
            }
        }
    }
    return nListSel - f + 1;
}

QByteArray PanelFile::Serialize(const CQXPanDocument& doc, int backgroundNumber,
                                const QString& placedFolder, const QList<BitmapRow>& placedRows)
{
    QByteArray out = "BG:" + QByteArray::number(backgroundNumber) + "\r\n";
    for (const CQXPanBmpObj& obj : doc.m_BmpObjs) {
        // Without an image the record would match the header row or a row not loaded yet and be
        // saved under a wrong name, so it counts as not in the list.
        qsizetype j = obj.m_pImage ? placedRows.size() - 1 : -1;
        while (j >= 0 && placedRows[j].pImage != obj.m_pImage)
            --j;
        if (j < 0)
            continue; // not in the placed-bitmap list: left out
        const QXPanRect& r = obj.m_rcRegister;
        AppendFields(out, {r.left, r.right, r.top, r.bottom, int(j - 1), KindBitmap, 0, 0, 0, 0});
        // File names are kept in UTF-8 so that any name of the folder survives a round trip.
        out += (placedFolder + QLatin1Char('\\') + placedRows[j].strName).toUtf8();
        out += " \r\n \r\n \r\n";
    }
    for (const CQXPanKeyObj& obj : doc.m_KeyObjs) {
        const QXPanRect r = obj.RegisterRect();
        const quint16 type = obj.TypeCode();
        const int kind = obj.Shape() % 2 + (type == kQXPanTableCode ? 4 : 2);
        AppendFields(out, {r.left, r.right, r.top, r.bottom, 0, kind, type,
                           int(obj.m_Cell.m_clrFill), int(obj.m_Cell.m_clrLabel), obj.GetNumber()});
        // Key texts are register bytes (Latin-1).
        out += " \r\n";
        out += obj.GetText1().toLatin1() + " \r\n";
        out += obj.GetText2().toLatin1() + " \r\n";
    }
    return out;
}

FileResult PanelFile::Write(const QString& path, const CQXPanDocument& doc, int backgroundNumber,
                            const QString& placedFolder, const QList<BitmapRow>& placedRows)
{
    return AtomicFile::Write(path, Serialize(doc, backgroundNumber, placedFolder, placedRows));
}

QString PanelFile::CantOpenText(const QString& path)
{
    return QStringLiteral("can't open \"%1\"").arg(path);
}

QString PanelFile::MissingBitmapText(const QString& fileName)
{
    return QStringLiteral("There isn't \"%1\" in this branch. Are you continue?").arg(fileName);
}

PanelFile::ReadResult PanelFile::Read(const QString& path, int imageType, CQXPanDocument& doc,
                                      PanelReadHost& host)
{
    // A pipe would block, a device never ends, and no design is megabytes long.
    if (const FileResult input = InputFile::Check(path, InputFile::kMaxTextBytes);
        !input && QFile::exists(path))
        return {FileResult::Failed(path, input.reason)
                    .Told(CantOpenText(path) + QStringLiteral(": ") + input.reason),
                Stop::NotOpened};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {FileResult::Failed(path, file.errorString()).Told(CantOpenText(path)),
                Stop::NotOpened};
    ReadResult read = Read(file, imageType, doc, host);
    if (!read.result)
        read.result.path = path;
    return read;
}

PanelFile::ReadResult PanelFile::Read(QIODevice& device, int imageType, CQXPanDocument& doc,
                                      PanelReadHost& host)
{
    CQXPanLineReader reader(device, kMaxLineBytes, CQXPanLineReader::Raw);
    host.BeginRead();

    QByteArray line;
    reader.ReadLine(line);
    if (line.size() < 2 || line[0] != 'B' || line[1] != 'G')
        return {FileResult::Failed(QString(), QString()).Told(QStringLiteral("Wrong PAN file.")),
                Stop::WrongFile};
    const int background = AtoI(line.mid(3));

    // Background: a position among the bitmap entries of the list, or the screen file itself.
    const QStringList bgNames = host.BackgroundNames();
    const int bgCount = int(bgNames.size());
    // 64 bits: the number comes from the file and may be as large as an int goes.
    qint64 nListSel = background;
    const auto listSel = [&nListSel] {
        return int(qBound(qint64(INT_MIN), nListSel, qint64(INT_MAX)));
    };
    if (background >= 0) {
        int taken = bgCount;
        for (int i = 1; i < bgCount; ++i) {
            if (!EndsWithBmp(bgNames[i])) {
                ++nListSel;
                continue;
            }
            if (qint64(i) + background > bgCount - 1) {
                nListSel = 0;
                taken = i;
            } else {
                taken = i + background;
            }
            break;
        }
        host.SelectBackgroundItem(listSel(), taken - 1);
    } else {
        const QString screenName = RegisterFileName(imageType);
        int found = bgCount;
        bool emptyLoaded = false;
        for (int i = 1; i < bgCount; ++i) {
            if (bgNames[i].compare(screenName, Qt::CaseInsensitive) == 0) {
                found = i;
                break;
            }
            if (EndsWithBmp(bgNames[i])) {
                nListSel = 0;
                host.LoadEmptyBackground(0);
                emptyLoaded = true;
                break;
            }
            ++nListSel;
        }
        if (!emptyLoaded) {
            nListSel = found - 1;
            host.ImportScreenBackground(listSel(), imageType);
        }
    }

    bool haveLine = reader.ReadLine(line);
    doc.ClearObjects(false);
    const QStringList placedNames = host.PlacedBitmapNames();
    ReadResult result;
    QByteArray skipped;
    auto skipLines = [&](int count) {
        for (int i = 0; i < count; ++i)
            reader.ReadLine(skipped);
    };

    while (haveLine) {
        int f[kFieldCount] = {};
        qsizetype pos = 0;
        int parsed = 0;
        while (parsed < kFieldCount && ParseInt(line, pos, f[parsed]))
            ++parsed;
        if (parsed < kFieldCount) {
            // Not written by Save: keep what was read so far.
            result.eStop = Stop::NotAnObject;
            break;
        }
        const int x1 = f[0], x2 = f[1], y1 = f[2], y2 = f[3], kind = f[5], type = f[6];
        const bool tooSmall = qint64(x2) - x1 < kMinObjectSize || qint64(y2) - y1 < kMinObjectSize;
        if (tooSmall || (kind > KindBitmap && imageType == kLogoFileNumber)) {
            skipLines(3);
            haveLine = reader.ReadLine(line);
            continue;
        }
        QByteArray line2;
        reader.ReadLine(line2);
        if (kind <= KindBitmap) {
            QString name = FileNamePart(line2);
            if (!name.isEmpty()) {
                if (!EndsWithBmp(name))
                    name += QLatin1String(".bmp");
                int j = int(placedNames.size()) - 1;
                while (j >= 1 && placedNames[j].compare(name, Qt::CaseInsensitive) != 0)
                    --j;
                if (j >= 1) {
                    if (doc.m_BmpObjs.size() >= kMaxPlacedBitmaps) {
                        result.eStop = Stop::TooManyBitmaps;
                        break;
                    }
                    CQXPanBmpObj obj;
                    if (host.TakePlacedBitmap(j, obj)) {
                        obj.SetRegisterRect({x1, y1, x2, y2});
                        doc.AddBmpObj(obj);
                    }
                } else if (!host.AskContinue(name, MissingBitmapText(name))) {
                    result.eStop = Stop::Declined;
                    break;
                }
            }
            skipLines(2);
        } else {
            CQXPanKeyObj obj;
            const bool isTable = quint16(type) == kQXPanTableCode;
            quint32 number = quint32(f[9]);
            if (isTable) {
                // Compared as unsigned, so a negative number counts as too large.
                if (number == 0)
                    number = 1;
                else if (number > 999999)
                    number = 999999;
            }
            obj.SetRegisterRect(x1, y1, x2, y2);
            obj.SetTypeCode(quint16(type));
            obj.SetNumber(number);
            obj.SetShape(kind % 2 == 0 ? ScreenObjectRecord::ShapeEllipse
                                       : ScreenObjectRecord::ShapeRectangle);
            if (!isTable) {
                obj.SetFillColour(QXPanColor(f[7]), true);
                obj.SetTextColour(QXPanColor(f[8]), true);
            } else {
                obj.SetFillColour(kQXPanTableFill, false);
                obj.SetTextColour(0, false);
            }
            QByteArray text;
            reader.ReadLine(text);
            obj.SetText1(QString::fromLatin1(TrimLineEnd(text)));
            reader.ReadLine(text);
            obj.SetText2(QString::fromLatin1(TrimLineEnd(text)));
            if (doc.AddKeyObj(&obj) < 0) {
                result.eStop = Stop::ScreenFull;
                break;
            }
        }
        haveLine = reader.ReadLine(line);
    }
    host.EndRead();
    return result;
}
