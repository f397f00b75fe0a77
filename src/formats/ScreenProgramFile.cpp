#include "formats/ScreenProgramFile.h"

#include "fileio/AtomicFile.h"
#include "fileio/InputFile.h"
#include "image/RegisterPixel.h"

#include <QFile>
#include <QFileInfo>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <memory>

namespace {

using namespace ScreenProgram;

// Upper-case digit pairs of every byte value, so each word costs two table look-ups.
struct HexPairs
{
    std::array<std::array<char, 2>, 256> pair{};
    constexpr HexPairs()
    {
        constexpr char digits[] = "0123456789ABCDEF";
        for (int i = 0; i < 256; ++i)
            pair[i] = {digits[i >> 4], digits[i & 15]};
    }
};
constexpr HexPairs hexPairs;

// The four digits of every register pixel word as stored (low byte first); bit 15 is always 0.
const std::array<std::array<char, 4>, 32768>& wordDigits()
{
    static const auto table = [] {
        auto t = std::make_unique<std::array<std::array<char, 4>, 32768>>();
        for (unsigned w = 0; w < 32768; ++w) {
            const auto& low = hexPairs.pair[w & 0xFF];
            const auto& high = hexPairs.pair[w >> 8];
            (*t)[w] = {low[0], low[1], high[0], high[1]};
        }
        return t;
    }();
    return *table;
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define QXPAN_ENCODE_SSSE3 1

// Four pixels per step with byte shuffles, for processors that have them (checked at run time):
// spread the pixels into 32-bit lanes, form the words, spread their nibbles into bytes in the
// stored order and turn each nibble into its digit with one table shuffle. Reads 16 bytes per
// step, so the caller keeps 16 bytes of source ahead.
template <int Bits>
__attribute__((target("ssse3"))) void encodeFourPixelSteps(const unsigned char* p, char* d,
                                                           qint64 steps)
{
    const __m128i spread =
        Bits == 24 ? _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1)
                   : _mm_setr_epi8(0, 1, 2, -1, 4, 5, 6, -1, 8, 9, 10, -1, 12, 13, 14, -1);
    const __m128i digitChars = _mm_setr_epi8('0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A',
                                             'B', 'C', 'D', 'E', 'F');
    const __m128i red = _mm_set1_epi32(0x7C00);
    const __m128i green = _mm_set1_epi32(0x03E0);
    const __m128i blue = _mm_set1_epi32(0x001F);
    const __m128i lowByteAndHigh = _mm_set1_epi32(0x00FF0000);
    const __m128i lowByte = _mm_set1_epi32(0x000000FF);
    const __m128i highNibbles = _mm_set1_epi32(0x000F000F);
    const __m128i lowNibbles = _mm_set1_epi32(0x0F000F00);
    for (qint64 i = 0; i < steps; ++i, p += Bits / 2, d += 16) {
        const __m128i v =
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), spread);
        const __m128i word = _mm_or_si128(_mm_or_si128(_mm_and_si128(_mm_srli_epi32(v, 9), red),
                                                       _mm_and_si128(_mm_srli_epi32(v, 6), green)),
                                          _mm_and_si128(_mm_srli_epi32(v, 3), blue));
        // Low byte in byte 0, high byte in byte 2; then each byte's nibbles into two bytes.
        const __m128i bytes = _mm_or_si128(_mm_and_si128(word, lowByte),
                                           _mm_and_si128(_mm_slli_epi32(word, 8), lowByteAndHigh));
        const __m128i nibbles = _mm_or_si128(_mm_and_si128(_mm_srli_epi32(bytes, 4), highNibbles),
                                             _mm_and_si128(_mm_slli_epi32(bytes, 8), lowNibbles));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_shuffle_epi8(digitChars, nibbles));
    }
}

bool hasSsse3()
{
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#endif

std::atomic<bool> scalarOnly{false};

constexpr qint64 pixelWordCount = qint64(RecordCount) * WordsPerRecord - 8;

inline void putByte(char* out, unsigned value)
{
    std::memcpy(out, hexPairs.pair[value & 0xFF].data(), 2);
}

// Increments a six-digit decimal counter in place.
inline void incrementNumber(char* digits)
{
    for (int i = 5; i >= 0; --i) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
}

// Writes the record lines first to first + count - 1 (0-based) to out.
template <int Bits>
void encodeWords(const unsigned char* raw, qsizetype rawSize, const unsigned char* header,
                 int first, int count, char* out)
{
    constexpr int pixelBytes = Bits / 8;
    const qint64 full = std::min<qint64>(pixelWordCount, rawSize / pixelBytes);
    // A last pixel cut short by the end of the data is completed with zero bytes.
    unsigned char tail[4] = {0, 0, 0, 0};
    const bool hasTail = full < pixelWordCount && rawSize > full * pixelBytes;
    if (hasTail)
        std::memcpy(tail, raw + full * pixelBytes, size_t(rawSize - full * pixelBytes));
    const auto& digits = wordDigits();
#ifdef QXPAN_ENCODE_SSSE3
    // Steps start at multiples of four pixels (records hold 72 and 80) and read 16 bytes.
    const qint64 simdEnd =
        hasSsse3() && !scalarOnly.load(std::memory_order_relaxed) && rawSize >= 16
            ? std::min<qint64>(full, (rawSize - 16) / pixelBytes + 4)
            : 0;
#endif
    // Record r holds the pixels from r * 80 - 8 on (the first one the header, then 72 pixels).
    qint64 index = first == 0 ? 0 : qint64(first) * WordsPerRecord - 8;
    const unsigned char* p = raw + std::min(index, full) * pixelBytes;
    char number[6];
    for (int i = 5, n = first; i >= 0; --i, n /= 10)
        number[i] = char('0' + n % 10);

    for (int record = first; record < first + count; ++record) {
        char* line = out + qsizetype(record - first) * RecordLineBytes;
        incrementNumber(number);
        std::memcpy(line, number, 6);
        line[6] = ',';
        line[7] = '"';
        char* d = line + 8;
        if (record == 0) {
            for (int i = 0; i < 16; ++i, d += 2)
                putByte(d, header[i]);
        }
        const qint64 recordEnd = qint64(record + 1) * WordsPerRecord - 8;
#ifdef QXPAN_ENCODE_SSSE3
        if constexpr (Bits != 16) {
            if (simdEnd > index) {
                const qint64 steps = (std::min(recordEnd, simdEnd) - index) / 4;
                encodeFourPixelSteps<Bits>(p, d, steps);
                index += steps * 4;
                p += steps * 4 * pixelBytes;
                d += steps * 16;
            }
        }
#endif
        // The portable path, and whatever the four-pixel steps left.
        const qint64 fastEnd = std::min(recordEnd, full);
        for (; index < fastEnd; ++index, p += pixelBytes, d += 4)
            std::memcpy(d, digits[RgbToRegisterWord(p, Bits)].data(), 4);
        for (; index < recordEnd; ++index, d += 4) {
            const unsigned word = (hasTail && index == full) ? RgbToRegisterWord(tail, Bits) : 0;
            putByte(d, word);
            putByte(d + 2, word >> 8);
        }
        line[328] = '"';
        line[329] = '\r';
        line[330] = '\n';
    }
}

// A header line longer than this is not looked at further: a broken target of gigabytes without
// a line end must not make Convert read all of it before replacing it.
constexpr qint64 maxHeaderSkip = qint64(1) << 20;

// One line of an existing file for the header check: the whole line with its line end when it
// fits the 1023-character line buffer, otherwise nothing (a longer line is skipped to its end, so
// it can never be copied half; past maxHeaderSkip bytes the rest of the file is not read).
QByteArray readHeaderLine(QIODevice& in)
{
    if (!in.isOpen())
        return {};
    char buffer[1024];
    const qint64 n = in.readLine(buffer, sizeof buffer);
    if (n <= 0)
        return {};
    if (buffer[n - 1] == '\n' || in.atEnd())
        return QByteArray(buffer, n);
    for (qint64 skipped = n; !in.atEnd();) {
        if (skipped > maxHeaderSkip) {
            in.close();
            break;
        }
        const qint64 more = in.readLine(buffer, sizeof buffer);
        if (more <= 0 || buffer[more - 1] == '\n')
            break;
        skipped += more;
    }
    return {};
}

// A kept header line begins with a double quote and the line's letter in either case.
bool isHeaderLine(const QByteArray& line, char letter)
{
    return line.size() >= 2 && line[0] == '"' && (line[1] | 0x20) == letter;
}

QByteArray keptOrFresh(const QByteArray& line, char letter, const QByteArray& fresh)
{
    if (!isHeaderLine(line, letter))
        return fresh;
    // A last line without its line end still ends before the next line starts.
    return line.endsWith('\n') ? line : line + "\r\n";
}

} // namespace

namespace ScreenProgram {

QByteArray cLine(int fileNumber)
{
    return QByteArray("\"C\",\"n:P") + QByteArray::number(fileNumber).rightJustified(4, '0') +
           ":\"\r\n";
}

QByteArray hLine(const QDateTime& written)
{
    const QDate date = written.date();
    const QTime time = written.time();
    const auto two = [](int value) {
        return QByteArray::number(value).rightJustified(2, '0');
    };
    return "\"h\",\"36\",\"01\",\"0000\",\"" + two(date.year() % 100) + two(date.month()) +
           two(date.day()) + "\",\"" + two(time.hour()) + two(time.minute()) +
           "\",\"0001\",\"01\",\"02\",\"9999\"\r\n";
}

QByteArray fLine(int fileNumber)
{
    return "\"f\",\"FILE" + QByteArray::number(fileNumber).rightJustified(3, '0') +
           "\",\"P\",\"P\",\"0001\"\r\n";
}

void forceScalarEncode(bool on)
{
    scalarOnly.store(on, std::memory_order_relaxed);
}

void encodeRecords(const unsigned char* raw, qsizetype rawSize, int width, int height,
                   int bitsPerPixel, char* out)
{
    encodeRecordRange(raw, rawSize, width, height, bitsPerPixel, 0, RecordCount, out);
}

void encodeRecordRange(const unsigned char* raw, qsizetype rawSize, int width, int height,
                       int bitsPerPixel, int first, int count, char* out)
{
    first = std::clamp(first, 0, RecordCount);
    count = std::clamp(count, 0, RecordCount - first);
    const quint32 length = 16u + 2u * quint32(width) * quint32(height);
    const quint32 rowBytes = 2u * quint32(width);
    const unsigned char header[16] = {
        0,
        static_cast<unsigned char>(length >> 24),
        static_cast<unsigned char>(length >> 16),
        static_cast<unsigned char>(length >> 8),
        static_cast<unsigned char>(length),
        0,
        0,
        0,
        0,
        0,
        static_cast<unsigned char>(width >> 8),
        static_cast<unsigned char>(width),
        static_cast<unsigned char>(height >> 8),
        static_cast<unsigned char>(height),
        static_cast<unsigned char>(rowBytes >> 8),
        static_cast<unsigned char>(rowBytes),
    };
    if (raw == nullptr)
        rawSize = 0;
    switch (bitsPerPixel) {
    case 16:
        encodeWords<16>(raw, rawSize, header, first, count, out);
        break;
    case 32:
        encodeWords<32>(raw, rawSize, header, first, count, out);
        break;
    case 24:
        encodeWords<24>(raw, rawSize, header, first, count, out);
        break;
    default:
        encodeWords<24>(nullptr, 0, header, first, count, out);
        break;
    }
}

} // namespace ScreenProgram

FileResult WriteScreenFileTo(const ScreenProgram::RawPicture& picture, int fileNumber,
                             const QString& path, const QDateTime& written)
{
    // An existing file (only a regular one is read: a pipe would block) keeps its "h" and "f"
    // lines.
    QByteArray text = cLine(fileNumber);
    QFile existing(path);
    if (!InputFile::IsSpecial(path) && existing.open(QIODevice::ReadOnly)) {
        text += keptOrFresh(readHeaderLine(existing), 'h', hLine(written));
        text += keptOrFresh(readHeaderLine(existing), 'f', fLine(fileNumber));
        existing.close();
    } else {
        text += hLine(written) + fLine(fileNumber);
    }
    // What a killed write left here before goes now.
    AtomicFile::RemoveLeftovers(QFileInfo(path).absolutePath());
    AtomicFile file(path);
    if (FileResult opened = file.Open(); !opened)
        return opened;
    // The records are encoded a piece at a time into one small buffer: a whole file's worth of
    // fresh memory costs more than the encoding itself.
    constexpr int piece = 128;
    QByteArray lines(qsizetype(piece) * RecordLineBytes, Qt::Uninitialized);
    QIODevice& out = file.Device();
    // A failed write stops the loop; Commit then says why.
    bool ok = out.write(text) == text.size();
    for (int first = 0; ok && first < RecordCount; first += piece) {
        const int count = std::min(piece, RecordCount - first);
        encodeRecordRange(picture.rows, picture.size, picture.width, picture.height,
                          picture.bitsPerPixel, first, count, lines.data());
        ok = out.write(lines.constData(), qsizetype(count) * RecordLineBytes) ==
             qsizetype(count) * RecordLineBytes;
    }
    return file.Commit();
}
