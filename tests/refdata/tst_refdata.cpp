// Catches: reference rows unlike the goldens, misordered or unbounded bitmap lists, stale refresh.
#include "refdata/CQXPanBitmapLister.h"
#include "refdata/CQXPanFreeFuncReader.h"
#include "refdata/CQXPanFuncKeyReader.h"
#include "refdata/CQXPanRefLists.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Readable failure output for Qt strings.
void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

QString dataDir(const char* sub)
{
    return QStringLiteral(QXPAN_TEST_DATA "/") + QLatin1String(sub);
}

using TestFiles::Read;

// The rows of an expected.txt: one line per row, columns separated by "|", Latin-1.
QStringList expectedLines(const QString& path)
{
    return QString::fromLatin1(Read(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList rowLines(const QList<CQXPanRefRow>& rows, bool withCol1)
{
    QStringList lines;
    for (const CQXPanRefRow& row : rows) {
        QStringList cols{row.m_strCol2, row.m_strCol3};
        if (withCol1)
            cols.prepend(row.m_strCol1);
        lines.append(cols.join(QLatin1Char('|')));
    }
    return lines;
}

QStringList names(const QList<CQXPanRefRow>& rows)
{
    QStringList list;
    for (const CQXPanRefRow& row : rows)
        list.append(row.m_strCol1);
    return list;
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
            const QString dir = root + QLatin1Char('/') + name;
            const CQXPanRefReadResult result =
                keys ? CQXPanFuncKeyReader::ReadFile(dir + QStringLiteral("/funckey.txt"))
                     : CQXPanFreeFuncReader::ReadFile(dir + QStringLiteral("/FILE002P.TXT"));
            ASSERT_TRUE(result.m_bOpened);
            EXPECT_TRUE(!keys || result.m_result) << qPrintable(result.m_result.Text());
            EXPECT_EQ(rowLines(result.m_rows, !keys),
                      expectedLines(dir + QStringLiteral("/expected.txt")));
            for (const CQXPanRefRow& row : result.m_rows) {
                EXPECT_EQ(row.m_strCol1,
                          keys ? QString() : QString::asprintf("%03d", row.m_nRecordNo));
                EXPECT_EQ(row.m_strCol3, QString::asprintf("%03d", row.m_nFuncCode));
            }
        }
    }
    // A missing file is reported, not fatal.
    const CQXPanRefReadResult keys = CQXPanFuncKeyReader::ReadFile(dataDir("no-such/funckey.txt"));
    EXPECT_FALSE(keys.m_bOpened);
    EXPECT_EQ(keys.m_result.Text(), dataDir("no-such/funckey.txt") + ": No such file or directory");
    EXPECT_TRUE(keys.m_rows.isEmpty());
    EXPECT_FALSE(CQXPanFreeFuncReader::ReadFile(dataDir("no-such/FILE002P.TXT")).m_bOpened);
}

// Bitmap folders and the placeholder background.
class BitmapFolders : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_program = m_dir.filePath(QStringLiteral("program"));
        m_background = m_dir.filePath(QStringLiteral("background"));
        m_placed = m_dir.filePath(QStringLiteral("placed"));
        for (const QString& path : {m_program, m_background, m_placed})
            ASSERT_TRUE(QDir().mkpath(path));
    }
    void touch(const QString& folder, const QString& name, const QByteArray& bytes = "x")
    {
        ASSERT_TRUE(TestFiles::Write(folder + QLatin1Char('/') + name, bytes)) << qPrintable(name);
    }

    QTemporaryDir m_dir;
    QString m_program, m_background, m_placed;
};

TEST_F(BitmapFolders, BackgroundListOrderAndFilters)
{
    for (const char* name : {"file797p.txt", "FILE799P.TXT", "FILE795P.TXT"}) // 795: no screen
        touch(m_program, name);
    for (const char* name : {"b.bmp", "A.BMP", "c.Bmp", ".hidden.bmp", "notes.txt", "bmp"})
        touch(m_background, name);
    ASSERT_TRUE(QDir(m_background).mkdir(QStringLiteral("folder.bmp")));
    const QList<CQXPanRefRow> rows = CQXPanBitmapLister::ListBackgrounds(m_program, m_background);
    EXPECT_EQ(names(rows), QStringList({"file797p.txt", "FILE799P.TXT", "Aempty.bmp", "A.BMP",
                                        "b.bmp", "c.Bmp"}));
    ASSERT_EQ(rows.size(), 6);
    EXPECT_EQ(QList<int>({rows[0].m_nScreenNo, rows[1].m_nScreenNo, rows[2].m_nScreenNo}),
              QList<int>({797, 799, 0}));
    EXPECT_EQ(rows[0].m_strFilePath, m_program + QStringLiteral("/file797p.txt"));
    EXPECT_EQ(rows[3].m_strFilePath, m_background + QStringLiteral("/A.BMP"));
    EXPECT_TRUE(QFile::exists(m_background + QStringLiteral("/Aempty.bmp")));
}

TEST_F(BitmapFolders, ListsStopAt500Rows)
{
    for (int i = 0; i < 600; ++i)
        touch(m_placed, QString::asprintf("P%03d.bmp", 599 - i));
    const QList<CQXPanRefRow> placed = CQXPanBitmapLister::ListPlacedBitmaps(m_placed);
    ASSERT_EQ(placed.size(), 500);
    EXPECT_EQ(placed.first().m_strCol1, QStringLiteral("P000.bmp"));
    EXPECT_EQ(placed.last().m_strCol1, QStringLiteral("P499.bmp"));

    // Screen files and the placeholder count against the same limit.
    touch(m_program, QStringLiteral("FILE796P.TXT"));
    const QList<CQXPanRefRow> backgrounds =
        CQXPanBitmapLister::ListBackgrounds(m_program, m_placed);
    ASSERT_EQ(backgrounds.size(), 500);
    EXPECT_EQ(backgrounds[1].m_strCol1, QStringLiteral("Aempty.bmp"));
    EXPECT_EQ(backgrounds.last().m_strCol1, QStringLiteral("P497.bmp"));
}

TEST_F(BitmapFolders, APlaceholderThereIsKeptListedOnceAMissingFolderGivesOnlyItsName)
{
    touch(m_background, QStringLiteral("AEMPTY.BMP"), "mine");
    touch(m_background, QStringLiteral("z.bmp"));
    EXPECT_EQ(names(CQXPanBitmapLister::ListBackgrounds(m_program, m_background)),
              QStringList({"AEMPTY.BMP", "z.bmp"}));
    EXPECT_EQ(Read(m_background + QStringLiteral("/AEMPTY.BMP")), QByteArray("mine"));
    EXPECT_FALSE(QFile::exists(m_background + QStringLiteral("/Aempty.bmp")));
    // Missing folders give only the placeholder's name, and it cannot be made there.
    const QString missing = m_dir.filePath(QStringLiteral("missing"));
    EXPECT_TRUE(CQXPanBitmapLister::ListPlacedBitmaps(missing).isEmpty());
    EXPECT_TRUE(CQXPanBitmapLister::ListPlacedBitmaps(QString()).isEmpty());
    EXPECT_EQ(names(CQXPanBitmapLister::ListBackgrounds(missing, missing)),
              QStringList({"Aempty.bmp"}));
    EXPECT_FALSE(QFileInfo::exists(missing));
    const FileResult created =
        CQXPanBitmapLister::CreateEmptyBackground(missing + QStringLiteral("/Aempty.bmp"));
    EXPECT_FALSE(created);
    EXPECT_TRUE(created.Text().startsWith(missing)) << qPrintable(created.Text());
}

TEST_F(BitmapFolders, PlaceholderIsAReadOnlyWhiteScreenBitmap)
{
    const QString path = m_background + QStringLiteral("/Aempty.bmp");
    ASSERT_TRUE(CQXPanBitmapLister::CreateEmptyBackground(path));
    const QByteArray bytes = Read(path);
    ASSERT_EQ(bytes.size(), 2359350);
    // BITMAPFILEHEADER + BITMAPINFOHEADER, little-endian, written out by hand.
    const QByteArray header = QByteArray::fromHex("424d 36002400 0000 0000 36000000 28000000 "
                                                  "00040000 00030000 0100 1800 00000000 00002400") +
                              QByteArray(16, '\0');
    ASSERT_EQ(header.size(), 54);
    EXPECT_EQ(bytes.left(54), header);
    EXPECT_EQ(bytes.mid(54), QByteArray(3 * 1024 * 768, char(0xFF)));
    EXPECT_FALSE(QFile::permissions(path) &
                 (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
}

TEST_F(BitmapFolders, ReferenceListsOfABranch)
{
    const QString data = m_dir.filePath(QStringLiteral("data"));
    ASSERT_TRUE(QDir().mkpath(data));
    touch(data, "FUNCKEY.TXT", Read(dataDir("refdata-funckey/gap/funckey.txt")));
    touch(m_program, "file002p.txt", Read(dataDir("refdata-file002p/short-header/FILE002P.TXT")));
    touch(m_program, "FILE798P.TXT");
    touch(m_placed, "logo.bmp");
    CQXPanRefLists lists({data, m_program, m_placed, m_background});
    lists.LoadReferenceData();
    const auto header = [](const CQXPanRefRow& row) {
        return QStringList{row.m_strCol1, row.m_strCol2, row.m_strCol3};
    };
    EXPECT_EQ(header(lists.m_BmpList[0]), QStringList({"File Name         ", "", ""}));
    EXPECT_EQ(header(lists.m_TableList[0]), QStringList({"", "", "FC  "}));
    EXPECT_EQ(header(lists.m_SysKeyList[0]), QStringList({"", "Character", "FC  "}));
    EXPECT_EQ(header(lists.m_FreeFuncList[0]), QStringList({"Rec", "Character", "FC  "}));
    ASSERT_EQ(lists.m_TableList.size(), 2);
    EXPECT_EQ(header(lists.m_TableList[1]), QStringList({"", "", "093"}));
    EXPECT_EQ(lists.m_TableList[1].m_nFuncCode, 93);
    EXPECT_EQ(lists.m_SysKeyList.size(), 4);
    EXPECT_EQ(rowLines(lists.m_FreeFuncList.mid(1), true),
              QStringList({"004|LF ONLY LINE   0|044"}));
    EXPECT_EQ(names(lists.m_BgList.mid(1)), QStringList({"FILE798P.TXT", "Aempty.bmp"}));
    EXPECT_EQ(names(lists.m_BmpList.mid(1)), QStringList({"logo.bmp"}));

    // After the folders change, a refresh of one list leaves the other as it was.
    touch(m_placed, "added.bmp");
    touch(m_background, "sky.bmp");
    lists.RefreshBitmapLists(1);
    EXPECT_EQ(names(lists.m_BmpList.mid(1)), QStringList({"added.bmp", "logo.bmp"}));
    EXPECT_EQ(names(lists.m_BgList.mid(1)), QStringList({"FILE798P.TXT", "Aempty.bmp"}));
    lists.RefreshBitmapLists(0);
    EXPECT_EQ(names(lists.m_BgList),
              QStringList({"File Name         ", "FILE798P.TXT", "Aempty.bmp", "sky.bmp"}));

    // Without any reference files the lists keep only their headers (and the table row).
    CQXPanRefLists empty({m_dir.filePath(QStringLiteral("none")), m_placed, m_placed, m_placed});
    empty.LoadReferenceData();
    EXPECT_EQ(empty.m_SysKeyList.size(), 1);
    EXPECT_EQ(empty.m_FreeFuncList.size(), 1);
    EXPECT_EQ(empty.m_TableList.size(), 2);
}

} // namespace
