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
    const CQXPanRefReadResult keys =
        CQXPanFuncKeyReader::ReadFile(demoPath(QStringLiteral("data/funckey.txt")));
    EXPECT_TRUE(keys.m_result) << qPrintable(keys.m_result.Text());
    EXPECT_TRUE(keys.m_rows.size() >= 20 && keys.m_rows.size() <= 40) << keys.m_rows.size();
    const CQXPanRefReadResult free =
        CQXPanFreeFuncReader::ReadFile(demoPath(QStringLiteral("program/FILE002P.TXT")));
    EXPECT_TRUE(free.m_result) << qPrintable(free.m_result.Text());
    EXPECT_TRUE(free.m_rows.size() >= 30 && free.m_rows.size() <= 60) << free.m_rows.size();

    // Keys in check windows 21 and 22, none in 23, each window's keys first in its slice.
    QList<CQXPanKeyObj> table;
    const BitmapTableFile::ReadResult read =
        BitmapTableFile::ReadFile(demoPath(QStringLiteral("program/FILE795P.TXT")), table);
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
    EXPECT_GT(used[0], 0);
    EXPECT_GT(used[1], 0);
    EXPECT_EQ(used[2], 0);

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
