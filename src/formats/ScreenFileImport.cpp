#include "formats/ScreenFileImport.h"

#include "document/RegisterFiles.h"
#include "fileio/CQXPanFileFinder.h"
#include "fileio/InputFile.h"
#include "image/CDibImage.h"
#include "image/RegisterPixel.h"

#include <QFile>
#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr int screenWidth = 1024;
constexpr int screenHeight = 768;
constexpr unsigned char notHex = 0x10;

// Value of every character as a hexadecimal digit, notHex for the others.
struct HexValues
{
    std::array<unsigned char, 256> value{};
    constexpr HexValues()
    {
        for (int c = 0; c < 256; ++c) {
            if (c >= '0' && c <= '9')
                value[c] = static_cast<unsigned char>(c - '0');
            else if (c >= 'A' && c <= 'F')
                value[c] = static_cast<unsigned char>(c - 'A' + 10);
            else if (c >= 'a' && c <= 'f')
                value[c] = static_cast<unsigned char>(c - 'a' + 10);
            else
                value[c] = notHex;
        }
    }
};
constexpr HexValues hexValues;

inline unsigned digitOf(char c)
{
    return hexValues.value[static_cast<unsigned char>(c)];
}

// A group of N characters read the way "%X" reads it: leading white space skipped, then as many
// hexadecimal digits as follow; a group without any digit reads as 0.
template <int N> inline unsigned parseGroup(const char* group)
{
    unsigned value = 0;
    unsigned flags = 0;
    for (int i = 0; i < N; ++i) {
        const unsigned d = digitOf(group[i]);
        flags |= d;
        value = (value << 4) | (d & 0x0F);
    }
    if (!(flags & notHex))
        return value;
    int i = 0;
    while (i < N && (group[i] == ' ' || (group[i] >= '\t' && group[i] <= '\r')))
        ++i;
    value = 0;
    for (; i < N && digitOf(group[i]) != notHex; ++i)
        value = (value << 4) | digitOf(group[i]);
    return value;
}

// Byte value of every two-character pair (the first character is the high digit), or badPair
// when either character is not a hexadecimal digit; indexed by the two bytes as they lie in memory.
constexpr unsigned badPair = 0x100;

const std::vector<quint16>& pairValues()
{
    static const std::vector<quint16> table = [] {
        std::vector<quint16> t(65536);
        for (unsigned i = 0; i < 65536; ++i) {
            const unsigned first = digitOf(char(i & 0xFF));
            const unsigned second = digitOf(char(i >> 8));
            t[i] = quint16((first | second) & notHex ? badPair : (first << 4) | second);
        }
        return t;
    }();
    return table;
}

// Lines of at most 1023 characters, as a C line buffer of 1024 reads them (a longer line comes
// in pieces). The device is read in large chunks, so memory stays bounded whatever the file
// holds. Past a short line's end the record text reads as NUL characters.
class LineReader
{
public:
    explicit LineReader(QIODevice& in) : m_in(in), m_chunk(chunkSize) {}

    bool next()
    {
        qsizetype n = 0;
        while (n < lineLimit - 1) {
            if (m_pos == m_len && !refill())
                break;
            const qsizetype room = std::min(m_len - m_pos, lineLimit - 1 - n);
            const char* start = m_chunk.data() + m_pos;
            const auto* end = static_cast<const char*>(std::memchr(start, '\n', size_t(room)));
            const qsizetype take = end ? end - start + 1 : room;
            std::memcpy(m_line + n, start, size_t(take));
            n += take;
            m_pos += take;
            if (end)
                break;
        }
        if (n == 0)
            return false;
        if (n < recordEnd)
            std::memset(m_line + n, 0, size_t(recordEnd - n));
        return true;
    }

    // The record text: from the ninth character on (after "%06d,\"").
    const char* text() const { return m_line + 8; }

private:
    bool refill()
    {
        const qint64 got = m_in.read(m_chunk.data(), chunkSize);
        m_pos = 0;
        m_len = got > 0 ? qsizetype(got) : 0;
        return m_len > 0;
    }

    static constexpr qsizetype chunkSize = 1 << 16;
    static constexpr qsizetype lineLimit = 1024;
    static constexpr qsizetype recordEnd = 8 + 320;
    QIODevice& m_in;
    std::vector<char> m_chunk;
    qsizetype m_pos = 0;
    qsizetype m_len = 0;
    char m_line[lineLimit + recordEnd] = {};
};

FileResult Failed(int code)
{
    return FileResult::Failed(QString(), QString(), code);
}

FileResult BrokenHeader()
{
    return Failed(ScreenImportBrokenHeader).Told(QStringLiteral("broken header"));
}

} // namespace

FileResult decodeScreenProgram(QIODevice& in, unsigned char* pixels)
{
    LineReader lines(in);
    // "C", "h" and "f" lines are not examined; the fourth line is record 1.
    for (int i = 0; i < 4; ++i) {
        if (!lines.next())
            return BrokenHeader();
    }
    const char* text = lines.text();
    unsigned char header[16];
    for (int i = 0; i < 16; ++i)
        header[i] = static_cast<unsigned char>(parseGroup<2>(text + 2 * i));

    if ((header[1] | header[2] | header[3] | header[4]) == 0)
        return BrokenHeader();
    if (header[14] * 256 + header[15] < 1)
        return FileResult::Done();

    const quint64 length = (quint64(header[1]) << 24) | (quint64(header[2]) << 16) |
                           (quint64(header[3]) << 8) | quint64(header[4]);
    const quint64 records = (2 * length + 319) / 320;
    // The width and height fields are not used: the picture always fills the screen in row order.
    const qint64 screenPixels = qint64(screenWidth) * screenHeight;
    qint64 pixel = 0;
    unsigned char* out = pixels;
    const quint16* pairs = pairValues().data();
    for (quint64 record = 0; record < records; ++record) {
        for (int at = record == 0 ? 32 : 0; at <= 316 && pixel < screenPixels;
             at += 4, ++pixel, out += 3) {
            // Stored low byte first.
            quint16 first, second;
            std::memcpy(&first, text + at, 2);
            std::memcpy(&second, text + at + 2, 2);
            const unsigned low = pairs[qFromLittleEndian(first)];
            const unsigned high = pairs[qFromLittleEndian(second)];
            unsigned word = low | (high << 8);
            if ((low | high) & badPair) {
                const unsigned stored = parseGroup<4>(text + at);
                word = (stored >> 8) | ((stored & 0xFF) << 8);
            }
            RegisterWordToRgb(static_cast<std::uint16_t>(word), out);
        }
        if (!lines.next())
            return Failed(ScreenImportRefused);
    }
    return FileResult::Done();
}

FileResult ImportScreenFile(int fileNumber, int objType, CDibImage& background,
                            const QString& programFolder, const QString& backgroundFolder)
{
    if (objType != 0)
        return Failed(ScreenImportRefused);

    const QString path = CQXPanFileFinder::FindPath(programFolder, RegisterFileName(fileNumber));
    QFile file(path);
    // A pipe or a device counts as no file: it would block or never end.
    if (path.isEmpty() || InputFile::IsSpecial(path) || !file.open(QIODevice::ReadOnly)) {
        if (!background.IsEmpty())
            return FileResult::Done();
        const QString empty =
            CQXPanFileFinder::FindPath(backgroundFolder, QStringLiteral("Aempty.bmp"));
        if (empty.isEmpty())
            return Failed(ScreenImportNoBackground);
        background.Load(empty);
        return FileResult::Done();
    }

    background.Destroy();
    if (!background.Create(screenWidth, screenHeight, 24))
        return Failed(ScreenImportCannotCreate);

    std::vector<unsigned char> pixels(size_t(ScreenPixelBytes), 0);
    FileResult result = decodeScreenProgram(file, pixels.data());
    if (result)
        background.SetBits(ScreenPixelBytes, pixels.data());
    else
        result.path = path;
    return result;
}
