// Catches: reference rows unlike the goldens, misordered bitmap lists, bad placeholder, stale
// lists. refresh.
#include "refdata/CQXPanBitmapLister.h"
#include "refdata/CQXPanFreeFuncReader.h"
#include "refdata/CQXPanFuncKeyReader.h"
#include "refdata/CQXPanRefLists.h"

#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using TestFiles::Read;

QString dataDir(const QString& sub)
{
    return QStringLiteral(QXPAN_TEST_DATA "/") + sub;
}

// The rows as "col1|col2|col3" lines, or only count columns from the column from.
QString rows(const QList<CQXPanRefRow>& list, int from = 0, int count = 3)
{
    QStringList lines;
    for (const CQXPanRefRow& row : list)
        lines
            << QStringList{row.m_strCol1, row.m_strCol2, row.m_strCol3}.mid(from, count).join('|');
    return lines.join('\n');
}

// Golden folders: funckey.txt or FILE002P.TXT next to the rows they must give. Among them: empty,
// comment-only, negative and huge record indexes (never looked up), a NUL ending a line or inside
// a record, and 1100 records of which the first 1023 are read.
TEST(RefReaders, GiveTheRowsOfTheGoldenFoldersAndReportAMissingFile)
{
    for (const bool keys : {true, false}) {
        const QString root = dataDir(keys ? "refdata-funckey" : "refdata-file002p");
        const QStringList cases = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        ASSERT_GE(cases.size(), keys ? 9 : 7);
        for (const QString& name : cases) {
            SCOPED_TRACE(name.toStdString());
            const QString dir = root + '/' + name;
            const CQXPanRefReadResult result =
                keys ? CQXPanFuncKeyReader::ReadFile(dir + "/funckey.txt")
                     : CQXPanFreeFuncReader::ReadFile(dir + "/FILE002P.TXT");
            ASSERT_TRUE(result.m_bOpened);
            EXPECT_TRUE(!keys || result.m_result) << qPrintable(result.m_result.Text());
            EXPECT_EQ(rows(result.m_rows, keys ? 1 : 0),
                      QString::fromLatin1(Read(dir + "/expected.txt")).trimmed());
        }
    }
    // A missing file is reported, not fatal.
    const QString missing = dataDir("no-such/funckey.txt");
    const CQXPanRefReadResult keys = CQXPanFuncKeyReader::ReadFile(missing);
    EXPECT_FALSE(keys.m_bOpened || !keys.m_rows.isEmpty());
    EXPECT_TRUE(keys.m_result.Text().startsWith(missing + ": "));
}

// Bitmap folders and the placeholder background.
class BitmapFolders : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const QString& path : {m_program, m_background, m_placed})
            ASSERT_TRUE(QDir().mkpath(path));
    }
    void touch(const QString& folder, const QString& name, const QByteArray& bytes = "x")
    {
        ASSERT_TRUE(TestFiles::Write(folder + '/' + name, bytes)) << qPrintable(name);
    }

    QTemporaryDir m_dir;
    const QString m_program = m_dir.filePath("program"),
                  m_background = m_dir.filePath("background"), m_placed = m_dir.filePath("placed");
};

// Screen files of a screen, then the placeholder, then the bitmaps without regard to case. A
// placeholder already there is kept as it is; missing folders give only the placeholder's name.
TEST_F(BitmapFolders, BackgroundListOrderFiltersAndPlaceholder)
{
    for (const char* name : {"file797p.txt", "FILE799P.TXT", "FILE795P.TXT"}) // 795: no screen
        touch(m_program, name);
    for (const char* name : {"b.bmp", "A.BMP", "c.Bmp", ".hidden.bmp", "notes.txt", "bmp"})
        touch(m_background, name);
    ASSERT_TRUE(QDir(m_background).mkdir("folder.bmp"));
    const QList<CQXPanRefRow> list = CQXPanBitmapLister::ListBackgrounds(m_program, m_background);
    EXPECT_EQ(rows(list, 0, 1), "file797p.txt\nFILE799P.TXT\nAempty.bmp\nA.BMP\nb.bmp\nc.Bmp");
    ASSERT_EQ(list.size(), 6);
    EXPECT_EQ(QList<int>({list[0].m_nScreenNo, list[1].m_nScreenNo, list[2].m_nScreenNo}),
              QList<int>({797, 799, 0}));
    EXPECT_EQ(list[0].m_strFilePath + list[3].m_strFilePath,
              m_program + "/file797p.txt" + m_background + "/A.BMP");
    EXPECT_TRUE(QFile::exists(m_background + "/Aempty.bmp"));

    touch(m_placed, "AEMPTY.BMP", "mine");
    touch(m_placed, "z.bmp");
    const QString missing = m_dir.filePath("missing");
    EXPECT_EQ(rows(CQXPanBitmapLister::ListBackgrounds(missing, m_placed), 0, 1),
              "AEMPTY.BMP\nz.bmp");
    EXPECT_EQ(Read(m_placed + "/AEMPTY.BMP"), QByteArray("mine"));
    EXPECT_FALSE(QFile::exists(m_placed + "/Aempty.bmp"));
    EXPECT_TRUE(CQXPanBitmapLister::ListPlacedBitmaps(missing).isEmpty());
    EXPECT_EQ(rows(CQXPanBitmapLister::ListBackgrounds(missing, missing), 0, 1), "Aempty.bmp");
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(BitmapFolders, PlaceholderIsAReadOnlyWhiteScreenBitmap)
{
    const QString path = m_background + "/Aempty.bmp";
    ASSERT_TRUE(CQXPanBitmapLister::CreateEmptyBackground(path));
    // BITMAPFILEHEADER + BITMAPINFOHEADER, little-endian, written out by hand, then white pixels.
    const QByteArray header = QByteArray::fromHex("424d 36002400 0000 0000 36000000 28000000 "
                                                  "00040000 00030000 0100 1800 00000000 00002400");
    EXPECT_TRUE(Read(path) == header + QByteArray(16, '\0') + QByteArray(3 * 1024 * 768, '\xFF'));
    EXPECT_FALSE(QFile::permissions(path) &
                 (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
}

TEST_F(BitmapFolders, ReferenceListsOfABranch)
{
    const QString data = m_dir.filePath("data");
    ASSERT_TRUE(QDir().mkpath(data));
    touch(data, "FUNCKEY.TXT", Read(dataDir("refdata-funckey/gap/funckey.txt")));
    touch(m_program, "file002p.txt", Read(dataDir("refdata-file002p/short-header/FILE002P.TXT")));
    touch(m_program, "FILE798P.TXT");
    touch(m_placed, "logo.bmp");
    CQXPanRefLists lists({data, m_program, m_placed, m_background});
    lists.LoadReferenceData();
    // Each list starts with its heading row; tables are one row of their own.
    EXPECT_EQ(rows(lists.m_TableList), "||FC  \n||093");
    EXPECT_EQ(rows(lists.m_FreeFuncList), "Rec|Character|FC  \n004|LF ONLY LINE   0|044");
    EXPECT_EQ(rows(lists.m_SysKeyList.first(1)), "|Character|FC  ");
    EXPECT_EQ(lists.m_SysKeyList.size(), 4);
    const QString bgHead = "File Name         \nFILE798P.TXT\nAempty.bmp";
    EXPECT_EQ(rows(lists.m_BgList, 0, 1), bgHead);
    EXPECT_EQ(rows(lists.m_BmpList, 0, 1), "File Name         \nlogo.bmp");
    // After the folders change, a refresh shows the new files.
    touch(m_placed, "added.bmp");
    touch(m_background, "sky.bmp");
    lists.RefreshBitmapLists(1);
    EXPECT_EQ(rows(lists.m_BmpList, 0, 1), "File Name         \nadded.bmp\nlogo.bmp");
    lists.RefreshBitmapLists(0);
    EXPECT_EQ(rows(lists.m_BgList, 0, 1), bgHead + "\nsky.bmp");
}

} // namespace
