// Catches: a committed demo branch that our own readers refuse or read only in part.
#include "document/CQXPanKeyObj.h"
#include "formats/BitmapTableFile.h"
#include "formats/ScreenFileImport.h"
#include "image/CDibImage.h"
#include "refdata/CQXPanFreeFuncReader.h"
#include "refdata/CQXPanFuncKeyReader.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <vector>

namespace {

QString demoPath(const QString& rel)
{
    return QStringLiteral(QXPAN_SOURCE_DIR "/examples/demo-branch/") + rel;
}

TEST(DemoBranch, EveryFileReadsWholeThroughTheEditorsReaders)
{
    for (const auto& [read, lowest, highest] :
         {std::tuple{CQXPanFuncKeyReader::ReadFile(demoPath("data/funckey.txt")), 20, 40},
          std::tuple{CQXPanFreeFuncReader::ReadFile(demoPath("program/FILE002P.TXT")), 30, 60}}) {
        EXPECT_TRUE(read.m_result) << qPrintable(read.m_result.Text());
        EXPECT_TRUE(read.m_rows.size() >= lowest && read.m_rows.size() <= highest)
            << read.m_rows.size();
    }

    // Keys in check windows 21 and 22, none in 23, each window's keys first in its slice.
    QList<CQXPanKeyObj> table;
    const BitmapTableFile::ReadResult read =
        BitmapTableFile::ReadFile(demoPath("program/FILE795P.TXT"), table);
    ASSERT_EQ(read.eStatus, BitmapTableFile::ReadStatus::Read) << qPrintable(read.result.Text());
    EXPECT_EQ(read.nRecords, BitmapTableFile::kTableSize);
    ASSERT_EQ(table.size(), BitmapTableFile::kTableSize);
    int used[3] = {0, 0, 0};
    for (int i = 0; i < table.size(); ++i) {
        if (table[i].IsFree())
            continue;
        EXPECT_EQ(used[i / 80], i % 80) << "record " << i + 1 << " after a free one";
        ++used[i / 80];
    }
    EXPECT_TRUE(used[0] > 0 && used[1] > 0 && used[2] == 0)
        << used[0] << " " << used[1] << " " << used[2];
    for (const int number : {796, 797}) {
        QFile screen(demoPath(QStringLiteral("program/FILE%1P.TXT").arg(number)));
        ASSERT_TRUE(screen.open(QIODevice::ReadOnly));
        std::vector<unsigned char> pixels(size_t(ScreenPixelBytes), 0);
        const FileResult decoded = decodeScreenProgram(screen, pixels.data());
        EXPECT_TRUE(decoded) << number << ": " << qPrintable(decoded.Text());
        EXPECT_TRUE(screen.atEnd()) << number << ": lines after the picture";
    }

    for (const char* folder : {"backgrounds", "bitmaps"}) {
        const QDir dir(demoPath(QLatin1String(folder)));
        const QStringList names = dir.entryList({QStringLiteral("*.bmp")}, QDir::Files);
        EXPECT_GE(names.size(), 3) << folder;
        for (const QString& name : names) {
            CDibImage image;
            EXPECT_TRUE(image.Load(dir.filePath(name))) << qPrintable(name);
            EXPECT_EQ(image.BitsPerPixel(), 8) << qPrintable(name);
        }
    }
}

} // namespace
