#include "cli/CliQuickEncode.h"

#include "cli/CliArgs.h"
#include "cli/CliEncodeCommand.h"
#include "cli/CliIo.h"
#include "fileio/InputFile.h"
#include "formats/ScreenProgramFile.h"
#include "image/PlainBmp.h"

#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstring>
#include <memory>

#include <sys/mman.h>

namespace {

// Memory for the picture in huge pages where the system gives them: touching 2.3 MB of fresh
// small pages for the first time costs more than encoding them.
class PictureMemory
{
public:
    explicit PictureMemory(qsizetype size) : m_size(size + HugePage)
    {
        void* at = ::mmap(nullptr, size_t(m_size), PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (at == MAP_FAILED)
            return;
        m_mapped = static_cast<uchar*>(at);
        const auto aligned =
            (reinterpret_cast<std::uintptr_t>(at) + HugePage - 1) & ~std::uintptr_t(HugePage - 1);
        m_data = reinterpret_cast<uchar*>(aligned);
        ::madvise(m_data, size_t(size), MADV_HUGEPAGE);
    }
    ~PictureMemory()
    {
        if (m_mapped != nullptr)
            ::munmap(m_mapped, size_t(m_size));
    }
    PictureMemory(const PictureMemory&) = delete;
    PictureMemory& operator=(const PictureMemory&) = delete;

    uchar* Data() const { return m_data; }

private:
    static constexpr qsizetype HugePage = qsizetype(2) << 20;
    qsizetype m_size;
    uchar* m_mapped = nullptr;
    uchar* m_data = nullptr;
};

} // namespace

namespace CliQuickEncode {

std::optional<int> Run(int argc, char* argv[])
{
    if (argc < 2 || std::strcmp(argv[1], "encode") != 0)
        return std::nullopt;
    QStringList arguments;
    for (int i = 2; i < argc; ++i) {
        const QString argument = QFile::decodeName(argv[i]);
        if (QFile::encodeName(argument) != QByteArray(argv[i]))
            return std::nullopt;
        arguments << argument;
    }
    CliArgs args;
    QString error;
    if (!args.Parse(arguments, CliEncodeCommand::Options(), {}, &error) || args.HelpRequested() ||
        args.Positional().size() != 2)
        return std::nullopt;
    bool ok = false;
    const int number = args.Value(QStringLiteral("number")).toInt(&ok);
    if (!ok || number < ScreenProgram::FirstFileNumber || number > ScreenProgram::LastFileNumber)
        return std::nullopt;
    const QString& in = args.Positional()[0];
    const QString& out = args.Positional()[1];

    // The editor takes a file by this name for a BMP without asking the decoders first.
    if (QFileInfo(in).suffix().compare(u"bmp", Qt::CaseInsensitive) != 0 ||
        InputFile::IsSpecial(in))
        return std::nullopt;
    QFile file(in);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    const std::optional<PlainBmp::Layout> layout =
        PlainBmp::Plain24(file.read(54), ScreenProgram::ScreenWidth);
    if (!layout || layout->width != ScreenProgram::ScreenWidth ||
        layout->height != ScreenProgram::ScreenHeight)
        return std::nullopt;
    // Rows of 3072 bytes have no padding: the rows read are the encoder's input as they are.
    const qsizetype size = layout->rowBytes * layout->height;
    const PictureMemory rows(size);
    if (rows.Data() == nullptr || !PlainBmp::ReadRows(file, *layout, rows.Data(), layout->rowBytes))
        return std::nullopt;
    file.close();

    ScreenProgram::RawPicture picture;
    picture.rows = rows.Data();
    picture.size = size;
    picture.width = layout->width;
    picture.height = layout->height;
    CliIo io;
    if (const FileResult written = WriteScreenFileTo(picture, number, out); !written)
        return io.Fail(written.path, written.reason);
    return CliOk;
}

} // namespace CliQuickEncode
