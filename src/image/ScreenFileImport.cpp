#include "image/ScreenFileImport.h"

#include "image/CDibImage.h"
#include "image/FileNameNoCase.h"
#include "image/RegisterPixel.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

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

// Lines of at most 1023 characters, as a C line buffer of 1024 reads them (a longer line comes
// in pieces). Past a short line's end the record text reads as NUL characters.
class LineReader
{
public:
    explicit LineReader(QIODevice& in) : m_in(in) {}

    bool next()
    {
        if (m_in.atEnd())
            return false;
        const qint64 n = m_in.readLine(m_buffer, lineLimit);
        if (n <= 0)
            return false;
        if (n < recordEnd)
            std::memset(m_buffer + n, 0, size_t(recordEnd - n));
        return true;
    }

    // The record text: from the ninth character on (after "%06d,\"").
    const char* text() const { return m_buffer + 8; }

private:
    static constexpr int lineLimit = 1024;
    static constexpr int recordEnd = 8 + 320;
    QIODevice& m_in;
    char m_buffer[lineLimit + recordEnd] = {};
};

void reportBrokenHeader(const FileMessageSink& messages)
{
    if (messages)
        messages(FileMessage{QStringLiteral("broken header"), QString(), FileMessage::NoIcon});
}

} // namespace

int decodeScreenProgram(QIODevice& in, unsigned char* pixels, const FileMessageSink& messages)
{
    LineReader lines(in);
    // "C", "h" and "f" lines are not examined; the fourth line is record 1.
    for (int i = 0; i < 4; ++i) {
        if (!lines.next()) {
            reportBrokenHeader(messages);
            return ScreenImportBrokenHeader;
        }
    }
    const char* text = lines.text();
    unsigned char header[16];
    for (int i = 0; i < 16; ++i)
        header[i] = static_cast<unsigned char>(parseGroup<2>(text + 2 * i));

    if ((header[1] | header[2] | header[3] | header[4]) == 0) {
        reportBrokenHeader(messages);
        return ScreenImportBrokenHeader;
    }
    if (header[14] * 256 + header[15] < 1)
        return ScreenImportOk;

    const quint64 length = (quint64(header[1]) << 24) | (quint64(header[2]) << 16) |
                           (quint64(header[3]) << 8) | quint64(header[4]);
    const quint64 records = (2 * length + 319) / 320;
    // The width and height fields are not used: the picture always fills the screen in row order.
    const qint64 screenPixels = qint64(screenWidth) * screenHeight;
    qint64 pixel = 0;
    unsigned char* out = pixels;
    for (quint64 record = 0; record < records; ++record) {
        for (int at = record == 0 ? 32 : 0; at <= 316 && pixel < screenPixels;
             at += 4, ++pixel, out += 3) {
            const unsigned stored = parseGroup<4>(text + at);
            // Stored low byte first.
            const auto word = static_cast<std::uint16_t>((stored >> 8) | ((stored & 0xFF) << 8));
            RegisterWordToRgb(word, out);
        }
        if (!lines.next())
            return ScreenImportRefused;
    }
    return ScreenImportOk;
}

int ImportScreenFile(int fileNumber, int objType, CDibImage& background,
                     const QString& programFolder, const QString& backgroundFolder,
                     const FileMessageSink& messages)
{
    if (objType != 0)
        return ScreenImportRefused;

    QFile file(FindFileNoCase(programFolder, QStringLiteral("FILE%1P.TXT").arg(fileNumber)));
    if (!file.open(QIODevice::ReadOnly)) {
        if (!background.IsEmpty())
            return ScreenImportOk;
        const QString empty = FindFileNoCase(backgroundFolder, QStringLiteral("Aempty.bmp"));
        if (!QFileInfo::exists(empty))
            return ScreenImportNoBackground;
        background.Load(empty);
        return ScreenImportOk;
    }

    background.Destroy();
    if (!background.Create(screenWidth, screenHeight, 24))
        return ScreenImportCannotCreate;

    std::vector<unsigned char> pixels(size_t(ScreenPixelBytes), 0);
    const int result = decodeScreenProgram(file, pixels.data(), messages);
    if (result == ScreenImportOk)
        background.SetBits(ScreenPixelBytes, pixels.data());
    return result;
}
