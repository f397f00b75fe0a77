#include "ObjDlgTestBranch.h"

#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "image/CDibImage.h"
#include "objdlg/CQXPanObjDlg.h"

#include <QFileInfo>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

QStringList Rows(const CQXPanRefList& list)
{
    QStringList rows;
    for (const CQXPanRefItem& item : list)
        rows << item.m_strCol1 + QLatin1Char('|') + item.m_strCol2 + QLatin1Char('|') +
                    item.m_strCol3;
    return rows;
}

class RefListsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dlg.SetApplication(m_branch.Folders(), nullptr);
        ASSERT_EQ(m_dlg.LoadReferenceData(nullptr), 1);
    }

    ObjDlgTestBranch m_branch;
    CQXPanObjDlg m_dlg;
};

} // namespace

TEST(RefListsNoApp, LoadReferenceDataWithoutApplicationLoadsNothing)
{
    CQXPanObjDlg dlg;
    EXPECT_EQ(dlg.LoadReferenceData(nullptr), 0);
    EXPECT_TRUE(dlg.m_SysKeyList.empty());
    EXPECT_TRUE(dlg.m_TableList.empty());
    EXPECT_TRUE(dlg.m_BgList.empty());
}

TEST_F(RefListsTest, ListsHoldHeaderRowsAndBranchRows)
{
    const QString name = QStringLiteral("File Name         ");
    EXPECT_EQ(Rows(m_dlg.m_SysKeyList),
              QStringList({"|Character|FC  ", "|CLERK|045", "|PLU|012", "|SUBTOTAL|100"}));
    EXPECT_EQ(Rows(m_dlg.m_FreeFuncList),
              QStringList({"Rec|Character|FC  ", "001|DEPT 1          |061",
                           "002|DEPT 2          |062", "003|CASH            |063"}));
    EXPECT_EQ(Rows(m_dlg.m_TableList), QStringList({"||FC  ", "||093"}));
    EXPECT_EQ(Rows(m_dlg.m_BgList), QStringList({name + "||", "FILE797P.TXT||", "Aempty.bmp||"}));
    EXPECT_EQ(Rows(m_dlg.m_BmpList), QStringList({name + "||", "first.bmp||", "second.bmp||"}));
    EXPECT_TRUE(QFileInfo::exists(m_branch.Path("bg/Aempty.bmp")));
}

TEST_F(RefListsTest, ImagesLoadOnFirstUseAndStayWithTheRow)
{
    for (const CQXPanRefItem& item : m_dlg.m_BmpList)
        EXPECT_EQ(item.Image(), nullptr);

    m_dlg.m_nObjType = CQXPanObjDlg::TypePlaceBitmap;
    m_dlg.SelectRow(1);
    CQXPanBmpObj first;
    ASSERT_EQ(m_dlg.ApplyItemToBitmap(first), 1);
    ASSERT_NE(first.m_pImage, nullptr);
    EXPECT_EQ(first.m_pImage, m_dlg.m_BmpList[1].Image());
    EXPECT_EQ(first.m_pImage->Width(), 40);
    EXPECT_EQ(first.m_strFileName, QStringLiteral("first.bmp"));
    EXPECT_EQ(m_dlg.m_BmpList[2].Image(), nullptr);

    CQXPanBmpObj again;
    ASSERT_EQ(m_dlg.ApplyItemToBitmap(again), 1);
    EXPECT_EQ(again.m_pImage, first.m_pImage);
}

TEST_F(RefListsTest, ApplyItemToBitmapRefusesBadRowsTypesAndFiles)
{
    CQXPanBmpObj bitmap;
    m_dlg.m_nObjType = CQXPanObjDlg::TypePlaceBitmap;
    m_dlg.m_nSel[0] = 0; // the header row
    EXPECT_EQ(m_dlg.ApplyItemToBitmap(bitmap), 0);
    m_dlg.m_nSel[0] = 3; // past the end
    EXPECT_EQ(m_dlg.ApplyItemToBitmap(bitmap), 0);
    m_dlg.m_nSel[0] = 1;
    m_dlg.m_nObjType = CQXPanObjDlg::TypeSysKeyRect;
    EXPECT_EQ(m_dlg.ApplyItemToBitmap(bitmap), 0);

    QFile broken(m_branch.Path("placed/first.bmp"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("BM garbage");
    broken.close();
    m_dlg.m_nObjType = CQXPanObjDlg::TypePlaceBitmap;
    EXPECT_EQ(m_dlg.ApplyItemToBitmap(bitmap), 0);
    EXPECT_EQ(m_dlg.m_BmpList[1].Image(), nullptr);
    EXPECT_EQ(bitmap.m_pImage, nullptr);
}

TEST_F(RefListsTest, RefreshBitmapListsRebuildsOnlyTheChosenList)
{
    m_dlg.m_nObjType = CQXPanObjDlg::TypePlaceBitmap;
    m_dlg.SelectRow(1);
    CQXPanBmpObj bitmap;
    ASSERT_EQ(m_dlg.ApplyItemToBitmap(bitmap), 1);

    m_branch.WriteBitmap("bg/sky.bmp", 8, 8, Qt::cyan);
    m_branch.WriteBitmap("placed/another.bmp", 8, 8, Qt::green);

    m_dlg.RefreshBitmapLists(0);
    EXPECT_EQ(m_dlg.m_BgList.back().m_strCol1, QStringLiteral("sky.bmp"));
    EXPECT_EQ(m_dlg.m_BmpList.size(), 3u); // untouched, image kept
    EXPECT_EQ(m_dlg.m_BmpList[1].Image(), bitmap.m_pImage);

    m_dlg.RefreshBitmapLists(1);
    EXPECT_EQ(Rows(m_dlg.m_BmpList).mid(1),
              QStringList({"another.bmp||", "first.bmp||", "second.bmp||"}));
    for (const CQXPanRefItem& item : m_dlg.m_BmpList)
        EXPECT_EQ(item.Image(), nullptr);
}

struct KeyTypeCase
{
    quint16 typeCode;
    quint32 number;
    quint8 shape;
    int expected;
};

class ObjectTypeOfTest : public ::testing::TestWithParam<KeyTypeCase>
{};

TEST_P(ObjectTypeOfTest, TypeFollowsCodeNumberAndShape)
{
    const KeyTypeCase& c = GetParam();
    CQXPanKeyObj key;
    key.SetTypeCode(c.typeCode);
    key.SetNumber(c.number);
    key.SetShape(c.shape);
    EXPECT_EQ(CQXPanObjDlg::ObjectTypeOf(key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, ObjectTypeOfTest,
                         ::testing::Values(KeyTypeCase{93, 5, 1, 2}, KeyTypeCase{93, 0, 2, 3},
                                           KeyTypeCase{93, 0, 0, 2}, KeyTypeCase{45, 0, 1, 4},
                                           KeyTypeCase{45, 0, 2, 5}, KeyTypeCase{61, 12, 1, 6},
                                           KeyTypeCase{61, 12, 2, 7}));

TEST_F(RefListsTest, SetEditObjectFindsTheRowOfAKey)
{
    CQXPanKeyObj sysKey;
    sysKey.SetShape(1);
    sysKey.SetTypeCode(12);
    m_dlg.SetEditObject(&sysKey);
    EXPECT_EQ(m_dlg.m_nObjType, CQXPanObjDlg::TypeSysKeyRect);
    EXPECT_EQ(m_dlg.m_nSel[2], 2); // "012" is row 2

    sysKey.SetTypeCode(777); // no such row: the selection stays
    m_dlg.SetEditObject(&sysKey);
    EXPECT_EQ(m_dlg.m_nSel[2], 2);

    CQXPanKeyObj freeKey;
    freeKey.SetShape(2);
    freeKey.SetNumber(2);
    freeKey.SetTypeCode(62);
    m_dlg.SetEditObject(&freeKey);
    EXPECT_EQ(m_dlg.m_nObjType, CQXPanObjDlg::TypeFreeFuncRound);
    EXPECT_EQ(m_dlg.m_nSel[3], 2);

    freeKey.SetTypeCode(63); // record 2 carries 062: the row with 063 wins
    m_dlg.SetEditObject(&freeKey);
    EXPECT_EQ(m_dlg.m_nSel[3], 3);

    freeKey.SetNumber(9); // beyond the list
    m_dlg.SetEditObject(&freeKey);
    EXPECT_EQ(m_dlg.m_nSel[3], -1);
}

TEST_F(RefListsTest, ApplyItemToKeyTurnsATableIntoTheSelectedSystemKey)
{
    CQXPanKeyObj key;
    key.SetRegisterRect(100, 100, 200, 150);
    key.SetShape(1);
    key.SetTypeCode(93);
    key.SetNumber(4711);
    key.SetText1(QStringLiteral("TABLE"));
    const QXPanRect before = key.RegisterRect();

    m_dlg.m_nObjType = CQXPanObjDlg::TypeSysKeyRound;
    m_dlg.SelectRow(3);
    m_dlg.ApplyItemToKey(key);
    EXPECT_EQ(key.TypeCode(), 100);
    EXPECT_EQ(key.GetNumber(), 0);
    EXPECT_EQ(key.GetText1(), QStringLiteral("SUBTOTAL"));
    EXPECT_EQ(key.GetText2(), QString());
    EXPECT_EQ(key.Shape(), 2);
    EXPECT_EQ(key.m_Record.Colour(ScreenObjectRecord::FillColour), 0xFFFFFFu);
    EXPECT_EQ(key.m_Record.Colour(ScreenObjectRecord::TextColour), 0u);
    EXPECT_EQ(key.RegisterRect(), before);
}

TEST_F(RefListsTest, ApplyItemToKeyForFreeFunctionsAndTables)
{
    CQXPanKeyObj key;
    m_dlg.m_nObjType = CQXPanObjDlg::TypeFreeFuncRect;
    m_dlg.SelectRow(2);
    m_dlg.ApplyItemToKey(key);
    EXPECT_EQ(key.TypeCode(), 62);
    EXPECT_EQ(key.GetNumber(), 2);
    EXPECT_EQ(key.GetText1(), QStringLiteral("DEPT 2"));
    EXPECT_EQ(key.Shape(), 1);

    key.SetNumber(33);
    key.m_Record.SetColour(ScreenObjectRecord::FillColour, 0x123456u);
    m_dlg.m_nObjType = CQXPanObjDlg::TypeTableRound;
    m_dlg.ApplyItemToKey(key);
    EXPECT_EQ(key.TypeCode(), 93);
    EXPECT_EQ(key.GetNumber(), 33); // a table keeps its number
    EXPECT_EQ(key.m_Cell.m_clrFill, kQXPanTableFill);
    EXPECT_EQ(key.m_Record.Colour(ScreenObjectRecord::FillColour), 0x123456u);
    EXPECT_EQ(key.GetText1(), QString());
    EXPECT_EQ(key.Shape(), 2);
}

TEST_F(RefListsTest, ClipboardSlotsFollowTheLastCopy)
{
    EXPECT_FALSE(m_dlg.HasKeyInClipboard());
    CQXPanKeyObj key;
    key.SetRegisterRect(128, 128, 256, 192);
    key.SetShape(2);
    key.SetTypeCode(45);
    m_dlg.CopyKeyToClipboard(key);
    EXPECT_TRUE(m_dlg.HasKeyInClipboard());
    EXPECT_EQ(m_dlg.m_KeyClip.m_Record, key.m_Record);

    m_dlg.m_nObjType = CQXPanObjDlg::TypePlaceBitmap;
    m_dlg.SelectRow(2);
    CQXPanBmpObj bitmap;
    ASSERT_EQ(m_dlg.ApplyItemToBitmap(bitmap), 1);
    bitmap.SetDisplayRect({10, 20, 50, 60});
    m_dlg.CopyBmpToClipboard(bitmap);
    EXPECT_FALSE(m_dlg.HasKeyInClipboard());

    CQXPanBmpObj pasted;
    m_dlg.PasteBmpFromClipboard(pasted);
    EXPECT_EQ(pasted.m_pImage, bitmap.m_pImage);
    EXPECT_EQ(pasted.m_strFileName, QStringLiteral("second.bmp"));
    EXPECT_EQ(pasted.DisplayRect(), (QXPanRect{10, 20, 50, 60}));

    // Loading the reference data again empties both slots.
    m_dlg.CopyKeyToClipboard(key);
    ASSERT_EQ(m_dlg.LoadReferenceData(nullptr), 1);
    EXPECT_FALSE(m_dlg.HasKeyInClipboard());
    EXPECT_EQ(m_dlg.m_BmpClip.m_pImage, nullptr);
}
