#include "FuzzReaders.h"

#include "FuzzEnvironment.h"
#include "FuzzPanelHost.h"
#include "document/CQXPanDocument.h"
#include "document/PanelFile.h"
#include "fileio/CQXPanLineReader.h"
#include "formats/BitmapTableFile.h"
#include "formats/ScreenFileImport.h"
#include "image/CDibImage.h"
#include "refdata/CQXPanFreeFuncReader.h"
#include "refdata/CQXPanFuncKeyReader.h"
#include "reglib/CDefBaseInfo.h"
#include "reglib/CDefScrInfo.h"
#include "reglib/CQxCtrlApi.h"
#include "reglib/QxCtrlIni.h"
#include "reglib/QxCtrlStore.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <vector>

namespace {

// A read-only device over the input, without copying it.
class InputDevice
{
public:
    InputDevice(const std::uint8_t* data, std::size_t size)
        : m_bytes(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)))
    {
        m_buffer.setBuffer(&m_bytes);
        m_buffer.open(QIODevice::ReadOnly);
    }
    QIODevice& device() { return m_buffer; }

private:
    QByteArray m_bytes;
    QBuffer m_buffer;
};

// What a reader's result tells the user, as the editor's box would show it.
void told(FuzzOutcome& out, const FileResult& result)
{
    if (const QString text = result.Message().text; !text.isEmpty())
        out.messages.append(text);
}

bool wide(const QXPanRect& r)
{
    return qint64(r.right) - r.left >= 30 && qint64(r.bottom) - r.top >= 30;
}

// ---- panel file --------------------------------------------------------------------------

void checkDesign(const CQXPanDocument& doc, int imageType, FuzzOutcome& out)
{
    out.Expect(doc.m_KeyObjs.size() <= doc.m_nKeyCapacity, QStringLiteral("more keys than room"));
    out.Expect(imageType != 796 || doc.m_KeyObjs.isEmpty(), QStringLiteral("keys on the logo"));
    out.Expect(doc.m_BmpObjs.size() <= PanelFile::kMaxPlacedBitmaps,
               QStringLiteral("more placed bitmaps than the limit"));
    for (const CQXPanBmpObj& obj : doc.m_BmpObjs) {
        out.Expect(obj.m_pImage != nullptr, QStringLiteral("placed bitmap without image"));
        out.Expect(wide(obj.m_rcRegister), QStringLiteral("placed bitmap below 30 pixels"));
    }
    for (const CQXPanKeyObj& obj : doc.m_KeyObjs) {
        const bool table = obj.TypeCode() == kQXPanTableCode;
        const int number = obj.GetNumber();
        out.Expect(obj.Shape() == 1 || obj.Shape() == 2, QStringLiteral("key with a bad shape"));
        out.Expect(number >= (table ? 1 : 0) && number <= 999999,
                   QStringLiteral("key number %1 out of range").arg(number));
        out.Expect(obj.GetText1().size() <= 20 && obj.GetText2().size() <= 20,
                   QStringLiteral("key text longer than 20"));
    }
}

// Saving what was read and reading it again must give the same objects, except those the
// clamping to the screen changed or made too small to be read.
void checkPanelRoundTrip(const CQXPanDocument& doc, unsigned char settings, int imageType,
                         FuzzOutcome& out)
{
    FuzzOutcome again;
    FuzzPanelHost host(settings & ~0x0C, imageType, again); // take every bitmap, answer Yes
    QList<PanelFile::BitmapRow> rows;
    for (const CQXPanBmpObj& obj : doc.m_BmpObjs)
        rows.append({obj.m_strFileName, obj.m_pImage});
    rows.prepend({QString(), nullptr});
    const QByteArray text = PanelFile::Serialize(doc, 0, QStringLiteral("C:\\b"), rows);

    CQXPanDocument copy;
    copy.m_nKeyCapacity = doc.m_nKeyCapacity;
    QByteArray bytes = text;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    PanelFile::Read(buffer, imageType, copy, host);

    QList<QPair<QXPanRect, QString>> wantBitmaps, gotBitmaps;
    for (const CQXPanBmpObj& obj : doc.m_BmpObjs)
        wantBitmaps.append({obj.m_rcRegister, obj.m_strFileName.toLower()});
    for (const CQXPanBmpObj& obj : copy.m_BmpObjs)
        gotBitmaps.append({obj.m_rcRegister, obj.m_strFileName.toLower()});
    out.Expect(wantBitmaps == gotBitmaps, QStringLiteral("placed bitmaps change when saved"));

    // The getters trim blanks and the reader trims CR and LF, so texts are compared without
    // either at their ends; the other bytes of the record must survive unchanged.
    const auto ends = [](QString text) {
        static const QRegularExpression edges(QStringLiteral("^[ \\r\\n]+|[ \\r\\n]+$"));
        return text.remove(edges);
    };
    const auto keyView = [&ends](const CQXPanKeyObj& obj) {
        QByteArray bytes(reinterpret_cast<const char*>(obj.m_Record.data()), kQXPanRecordSize);
        bytes.remove(ScreenObjectRecord::Text2, ScreenObjectRecord::kTextLength);
        bytes.remove(ScreenObjectRecord::Text1, ScreenObjectRecord::kTextLength);
        return QStringList{QString::fromLatin1(bytes.toHex()), ends(obj.GetText1()),
                           ends(obj.GetText2())};
    };
    QList<QStringList> wantKeys, gotKeys;
    for (const CQXPanKeyObj& obj : doc.m_KeyObjs) {
        // The record's corners are 16-bit: a negative right or bottom comes back from the file
        // as a large value, which reading clamps to the screen again.
        CQXPanKeyObj reread = obj;
        const QXPanRect r = obj.RegisterRect();
        reread.SetRegisterRect(r.left, r.top, r.right, r.bottom);
        if (wide(reread.RegisterRect()))
            wantKeys.append(keyView(reread));
    }
    for (const CQXPanKeyObj& obj : copy.m_KeyObjs)
        gotKeys.append(keyView(obj));
    if (wantKeys != gotKeys) {
        QStringList detail;
        for (const QStringList& key : wantKeys)
            detail << QStringLiteral("read ") + key.join(QLatin1Char('|'));
        for (const QStringList& key : gotKeys)
            detail << QStringLiteral("again ") + key.join(QLatin1Char('|'));
        out.problems.append(QStringLiteral("key records change when saved: ") +
                            detail.join(QStringLiteral("; ")));
    }
    out.problems += again.problems;
}

// ---- funckey.txt, the slow way: every record looked up from the start of the file ------------

QList<CQXPanRefRow> funcKeyByLookup(const std::uint8_t* data, std::size_t size)
{
    InputDevice input(data, size);
    CQXPanLineReader reader(input.device(), CQXPanLineReader::kRefLineBytes,
                            CQXPanLineReader::DropCr | CQXPanLineReader::StopAtNul);
    QList<QByteArray> lines;
    QList<int> indexes;
    QByteArray line;
    while (reader.ReadLine(line)) {
        lines.append(line);
        indexes.append(CQXPanLineReader::NumberAt(line, 5));
    }
    QList<CQXPanRefRow> rows;
    // The reader looks at records 0 to kMaxRecords - 1 only.
    for (int k = 0; k < CQXPanFuncKeyReader::kMaxRecords; ++k) {
        const qsizetype first = indexes.indexOf(k);
        if (first < 0)
            break;
        qsizetype found = -1;
        for (qsizetype i = first; i < lines.size() && indexes[i] == k; ++i) {
            if (CQXPanFuncKeyReader::FitsKey402(CQXPanLineReader::NumberAt(lines[i], 0))) {
                found = i;
                break;
            }
        }
        if (found < 0)
            break;
        const QByteArray text = CQXPanLineReader::TrimmedRight(lines[found]);
        if (text.startsWith('#'))
            continue;
        if (CQXPanLineReader::NumberAt(text, 0) != 402 && CQXPanLineReader::NumberAt(text, 2) != 0)
            continue;
        CQXPanRefRow row;
        row.m_nFuncCode = CQXPanLineReader::NumberAt(text, 11, 3);
        row.m_strCol2 = QString::fromLatin1(text.mid(20));
        row.m_strCol3 = QString::asprintf("%03d", row.m_nFuncCode);
        rows.append(row);
    }
    return rows;
}

// ---- configuration store -------------------------------------------------------------------

struct StoreView
{
    QString branch, ecr;
    int has12 = 0, has4 = 0;
    _ScreenDefinition_InterfaceTable tab12, tab4;
    std::array<int, 5> folderOk{};
    std::array<QString, 5> folders;
    QList<_ECRFile_Information> files;
    QString exchange;
    quint32 capabilities = 0;

    bool operator==(const StoreView&) const = default;
};

StoreView viewStore(const QxCtrlStore& store)
{
    StoreView v;
    CDefScrInfo info(store);
    info.GetCurrBrnAndECR(v.branch, v.ecr);
    v.has12 = info.GetScrIFTab(nullptr, DEFSCR_SCRNO_PANELEDITOR, v.tab12);
    v.has4 = info.GetScrIFTab(nullptr, DEFSCR_SCRNO_BMPEDITOR, v.tab4);
    CQxCtrlApi api(store);
    const DEFBS_TYPE_ENVSTR kinds[5] = {DEFBS_ENV_DATA, DEFBS_ENV_WORK, DEFBS_ENV_PROGRAM,
                                        DEFBS_ENV_PLACEDBMP, DEFBS_ENV_BACKGROUND};
    for (int i = 0; i < 5; ++i)
        v.folderOk[size_t(i)] = api.GetActFolPath(kinds[i], v.folders[size_t(i)]);
    api.GetECRFileList(1, v.branch, v.files);
    v.exchange = api.ExchangeFolder();
    CDefBaseInfo(store).GetECRQX27Func(v.ecr, v.capabilities);
    return v;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

FuzzOutcome FuzzReaders::Panel(const std::uint8_t* data, std::size_t size)
{
    FuzzOutcome out;
    const unsigned char settings = size > 0 ? data[size - 1] : 0;
    const int imageType = 796 + (settings & 3);
    CQXPanDocument doc;
    doc.m_nKeyCapacity = (settings & 0x80) ? 3 : 80;
    FuzzPanelHost host(settings, imageType, out);
    InputDevice input(data, size);
    const PanelFile::ReadResult result = PanelFile::Read(input.device(), imageType, doc, host);
    out.nResult = result.result.code;
    told(out, result.result);

    const bool panel = size >= 2 && data[0] == 'B' && data[1] == 'G';
    out.Expect(out.nResult == (panel ? 0 : -1), QStringLiteral("wrong result"));
    out.Expect((result.eStop == PanelFile::Stop::WrongFile) == !panel,
               QStringLiteral("wrong reason to stop"));
    if (!panel) {
        out.Expect(out.messages == QStringList{QStringLiteral("Wrong PAN file.")},
                   QStringLiteral("no \"Wrong PAN file.\""));
        out.Expect(doc.m_KeyObjs.isEmpty() && doc.m_BmpObjs.isEmpty(),
                   QStringLiteral("objects read from a wrong file"));
        return out;
    }
    out.Expect(result.eStop != PanelFile::Stop::Declined || (settings & 0x04),
               QStringLiteral("stopped without a No"));
    out.Expect(result.eStop != PanelFile::Stop::ScreenFull ||
                   doc.m_KeyObjs.size() == doc.m_nKeyCapacity,
               QStringLiteral("full before the screen was full"));
    checkDesign(doc, imageType, out);
    checkPanelRoundTrip(doc, settings, imageType, out);
    return out;
}

FuzzOutcome FuzzReaders::BitmapTable(const std::uint8_t* data, std::size_t size)
{
    FuzzOutcome out;
    QList<CQXPanKeyObj> table;
    InputDevice input(data, size);
    const BitmapTableFile::ReadResult result = BitmapTableFile::ReadDevice(input.device(), table);
    out.nResult = result.nRecords;
    told(out, result.result);

    out.Expect(table.size() == BitmapTableFile::kTableSize, QStringLiteral("table not 240"));
    out.Expect(result.nRecords >= 0 && result.nRecords <= BitmapTableFile::kTableSize,
               QStringLiteral("record count out of range"));
    const int n = result.nRecords;
    if (result.eStatus == BitmapTableFile::ReadStatus::Read) {
        out.Expect(n == 90 || n == 150 || n == 240, QStringLiteral("odd record count accepted"));
        out.Expect(out.messages.isEmpty(), QStringLiteral("message for a good file"));
    } else {
        out.Expect(result.eStatus == BitmapTableFile::ReadStatus::Wrong,
                   QStringLiteral("an open device reported missing"));
        out.Expect(out.messages == QStringList{BitmapTableFile::WrongFileText()},
                   QStringLiteral("wrong file without its one message"));
    }
    for (qsizetype k = std::max(n, 0); k < table.size(); ++k)
        out.Expect(table[k].IsFree(), QStringLiteral("record %1 not read but in use").arg(k));

    // The table written as a file reads back as the same records.
    QByteArray file;
    for (const QByteArray& line :
         BitmapTableFile::FreshHeader(QDateTime(QDate(2026, 1, 2), QTime(3, 4))))
        file += line;
    for (qsizetype k = 0; k < table.size(); ++k)
        file += BitmapTableFile::RecordLine(int(k), table[k]);
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    QList<CQXPanKeyObj> back;
    const BitmapTableFile::ReadResult again = BitmapTableFile::ReadDevice(buffer, back);
    out.Expect(again.eStatus == BitmapTableFile::ReadStatus::Read && again.nRecords == 240,
               QStringLiteral("own file not read back"));
    for (qsizetype k = 0; k < std::min(table.size(), back.size()); ++k) {
        const bool same =
            table[k].IsFree() ? back[k].IsFree() : back[k].m_Record == table[k].m_Record;
        out.Expect(same, QStringLiteral("record %1 changes when written").arg(k));
    }

    // HexToBytes: only the codes "0" to "F" count, the last digit fills the last byte.
    const char* text = reinterpret_cast<const char*>(data);
    QByteArray digits;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] >= 0x30 && data[i] <= 0x46)
            digits += text[i];
    }
    for (const int count : {kQXPanRecordSize, int(size % 9)}) {
        // Exactly count bytes on the heap, so a write past them is caught.
        std::vector<quint8> bytes(static_cast<size_t>(count));
        std::vector<quint8> fromDigits(static_cast<size_t>(count));
        BitmapTableFile::HexToBytes(text, qsizetype(size), bytes.data(), count);
        BitmapTableFile::HexToBytes(digits, fromDigits.data(), count);
        out.Expect(bytes == fromDigits, QStringLiteral("HexToBytes reads a non-digit"));
        const bool plainHex = std::all_of(digits.cbegin(), digits.cend(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        });
        if (plainHex) {
            QByteArray tail = digits.right(2 * qsizetype(count));
            if (tail.size() % 2)
                tail.prepend('0');
            const QByteArray decoded = QByteArray::fromHex(tail);
            std::vector<quint8> want(static_cast<size_t>(count), 0);
            std::copy(decoded.cbegin(), decoded.cend(), want.end() - decoded.size());
            out.Expect(bytes == want, QStringLiteral("HexToBytes differs from plain hex"));
        }
    }
    return out;
}

FuzzOutcome FuzzReaders::ScreenImport(const std::uint8_t* data, std::size_t size)
{
    FuzzOutcome out;
    static std::vector<unsigned char> pixels(static_cast<size_t>(ScreenPixelBytes));
    std::fill(pixels.begin(), pixels.end(), 0);
    InputDevice input(data, size);
    const FileResult result = decodeScreenProgram(input.device(), pixels.data());
    out.nResult = result.code;
    told(out, result);

    out.Expect(out.nResult == ScreenImportOk || out.nResult == ScreenImportRefused ||
                   out.nResult == ScreenImportBrokenHeader,
               QStringLiteral("unexpected result %1").arg(out.nResult));
    const bool broken = out.nResult == ScreenImportBrokenHeader;
    out.Expect(out.messages ==
                   (broken ? QStringList{QStringLiteral("broken header")} : QStringList()),
               QStringLiteral("messages do not match the result"));
    // Register words carry five bits a channel, so the lower three bits of every byte are 0.
    const auto end = pixels.begin() + std::min<qsizetype>(ScreenPixelBytes, 1 << 16);
    out.Expect(std::all_of(pixels.begin(), end, [](unsigned char b) { return (b & 7) == 0; }),
               QStringLiteral("a pixel byte with its lower bits set"));
    return out;
}

FuzzOutcome FuzzReaders::FuncKey(const std::uint8_t* data, std::size_t size)
{
    FuzzOutcome out;
    InputDevice input(data, size);
    const CQXPanRefReadResult result = CQXPanFuncKeyReader::Read(input.device());
    out.nResult = int(result.m_rows.size());
    out.Expect(result.m_bOpened, QStringLiteral("an open device reported not opened"));
    out.Expect(result.m_rows == funcKeyByLookup(data, size),
               QStringLiteral("rows differ from the record-by-record lookup"));
    return out;
}

FuzzOutcome FuzzReaders::FreeFunc(const std::uint8_t* data, std::size_t size)
{
    FuzzOutcome out;
    InputDevice input(data, size);
    const CQXPanRefReadResult result = CQXPanFreeFuncReader::Read(input.device());
    out.nResult = int(result.m_rows.size());
    out.Expect(result.m_bOpened, QStringLiteral("an open device reported not opened"));
    out.Expect(result.m_rows.size() <= CQXPanFreeFuncReader::kMaxRecords,
               QStringLiteral("more rows than the list holds"));
    for (const CQXPanRefRow& row : result.m_rows) {
        out.Expect(row.m_strCol2.size() <= 16, QStringLiteral("description longer than 16"));
        out.Expect(!row.m_strCol2.contains(QLatin1Char('\n')) && !row.m_strCol2.contains(QChar(0)),
                   QStringLiteral("line end or NUL in a description"));
    }
    return out;
}

FuzzOutcome FuzzReaders::Store(const std::uint8_t* data, std::size_t size)
{
    FuzzOutcome out;
    // A new name for every input: the INI parser caches files by name and modification time.
    static quint64 counter = 0;
    const QString path =
        FuzzEnvironment::WriteFile(QStringLiteral("store-%1.ini").arg(++counter), data, size);
    if (path.isEmpty()) {
        out.problems.append(QStringLiteral("cannot write the store"));
        return out;
    }
    const QxCtrlStore store(path);
    const bool readable = store.File() != nullptr;
    out.nResult = readable ? 1 : 0;
    const StoreView before = viewStore(store);
    if (!readable) {
        out.Expect(before.branch.isEmpty() && !before.has12 && !before.has4,
                   QStringLiteral("values taken from an unreadable store"));
    }

    // Closing the editor stores its window rectangle in its screen table.
    _ScreenDefinition_InterfaceTable tab = before.tab12;
    if (!before.has12)
        tab.dwMode = 2;
    tab.rcWindow = QxRect{11, 22, 833, 644};
    const int written = CDefScrInfo(store).SetScrIFTab(nullptr, DEFSCR_SCRNO_PANELEDITOR, tab);
    if (!readable) {
        out.Expect(written == 0, QStringLiteral("an unreadable store was written"));
        out.Expect(fileBytes(path) ==
                       QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
                   QStringLiteral("an unreadable store changed"));
    } else if (written == 0) {
        // The store refuses a write whose result would not read back as meant; the file must
        // then be as it was.
        out.Expect(fileBytes(path) ==
                       QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
                   QStringLiteral("a refused write changed the store"));
    } else {
        StoreView after = viewStore(store);
        out.Expect(after.has12 && after.tab12 == tab,
                   QStringLiteral("the screen table does not read back"));
        after.has12 = before.has12;
        after.tab12 = before.tab12;
        out.Expect(after == before, QStringLiteral("writing the screen table changed others"));
    }
    QFile::remove(path);
    return out;
}

FuzzOutcome FuzzReaders::Image(const std::uint8_t* data, std::size_t size)
{
    FuzzOutcome out;
    const QString path = FuzzEnvironment::WriteFile(QStringLiteral("image.bmp"), data, size);
    if (path.isEmpty()) {
        out.problems.append(QStringLiteral("cannot write the image"));
        return out;
    }
    // An image that was there before, to see that a failed load leaves it alone.
    CDibImage image;
    image.Create(3, 2, 24);
    std::vector<quint8> before(static_cast<size_t>(image.RawSize()));
    for (size_t i = 0; i < before.size(); ++i)
        before[i] = quint8(i + 1);
    image.SetBits(qsizetype(before.size()), before.data());
    image.GetBits(qsizetype(before.size()), before.data()); // as the image keeps them

    out.nResult = image.Load(path).code;
    if (out.nResult != CDibImage::LoadOk) {
        out.Expect(out.nResult == CDibImage::LoadCannotDecode ||
                       out.nResult == CDibImage::LoadTooLarge,
                   QStringLiteral("unexpected load status %1").arg(out.nResult));
        std::vector<quint8> kept(before.size());
        image.GetBits(qsizetype(kept.size()), kept.data());
        out.Expect(image.Width() == 3 && image.Height() == 2 && image.BitsPerPixel() == 24 &&
                       kept == before,
                   QStringLiteral("a failed load changed the image"));
        return out;
    }

    const int w = image.Width(), h = image.Height(), bits = image.BitsPerPixel();
    out.Expect(w >= 1 && h >= 1 && w <= CDibImage::MaxDimension && h <= CDibImage::MaxDimension,
               QStringLiteral("size %1 x %2 accepted").arg(w).arg(h));
    out.Expect(bits == 1 || bits == 8 || bits == 16 || bits == 24 || bits == 32,
               QStringLiteral("depth %1").arg(bits));
    const QList<QRgb> colours = image.ColorTable();
    if (bits <= 8) {
        // A file may list more colours than its depth can index; they are kept as listed.
        out.Expect(!colours.isEmpty() && colours.size() <= 256,
                   QStringLiteral("colour table of %1 for %2 bits").arg(colours.size()).arg(bits));
        out.Expect(
            std::all_of(colours.cbegin(), colours.cend(), [](QRgb c) { return qAlpha(c) == 255; }),
            QStringLiteral("colour table with alpha"));
    } else {
        out.Expect(colours.isEmpty(), QStringLiteral("colour table on a direct-colour image"));
    }
    const qsizetype row = image.RawRowBytes();
    out.Expect(row % 2 == 0 && row >= (qsizetype(w) * bits + 7) / 8,
               QStringLiteral("raw row of %1 bytes").arg(row));

    // What the editor does with a picture: raw rows for the screen file, copies and stretches
    // into 24-bit images. Exactly sized buffers, so any overrun is caught.
    std::vector<quint8> raw(static_cast<size_t>(std::min<qsizetype>(image.RawSize(), 1 << 16)));
    out.Expect(image.GetBits(qsizetype(raw.size()), raw.data()) == qsizetype(raw.size()),
               QStringLiteral("GetBits copied less than asked"));
    CDibImage target;
    target.Create(64, 48, 24);
    image.BitBlt(target, -3, 5, 70, 70, 1, 2);
    image.BitBlt(target, 10, 10, w, h, w - 1, h - 1);
    image.StretchBlt(target, 0, 0, 64, 48, 0, 0, std::min(w, 512), std::min(h, 512));
    image.StretchBlt(target, 5, 40, 200, 3, w / 2, h / 2, w - w / 2, 1);
    image.StretchBlt(target, 70, 0, -4, 10, 0, 0, 2, 2);
    return out;
}
