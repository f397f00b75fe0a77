// Catches: capacity not enforced, bitmaps cleared with keys, table slices loaded or stored wrongly.
#include "document/CQXPanDocument.h"

#include <gtest/gtest.h>

namespace {

CQXPanKeyObj Key(quint16 type, int left)
{
    CQXPanKeyObj obj;
    obj.SetRegisterRect(left, 10, left + 40, 50);
    obj.SetTypeCode(type);
    obj.SetShape(ScreenObjectRecord::ShapeRectangle);
    return obj;
}

QList<CQXPanKeyObj> Table()
{
    QList<CQXPanKeyObj> table(240);
    for (int i = 0; i < 240; ++i)
        table[i] = Key(quint16(i + 1), i);
    return table;
}

TEST(Document, AddKeyObjRefusesBeyondCapacity)
{
    CQXPanDocument doc;
    EXPECT_EQ(doc.AddKeyObj(), -1); // no slice loaded yet
    doc.m_nKeyCapacity = 2;
    const CQXPanKeyObj key = Key(7, 100);
    EXPECT_EQ(doc.AddKeyObj(&key), 0);
    EXPECT_EQ(doc.AddKeyObj(), 1);
    EXPECT_EQ(doc.AddKeyObj(&key), -1);
    ASSERT_EQ(doc.m_KeyObjs.size(), 2);
    EXPECT_EQ(doc.m_KeyObjs[0].m_Record, key.m_Record);
    EXPECT_TRUE(doc.m_KeyObjs[1].IsFree());
}

TEST(Document, ClearObjectsBitmapsOnlyKeepsKeysAndModifiedMark)
{
    CQXPanDocument doc;
    doc.m_nKeyCapacity = 80;
    doc.AddKeyObj();
    EXPECT_EQ(doc.AddBmpObj(CQXPanBmpObj()), 0);
    EXPECT_EQ(doc.AddBmpObj(CQXPanBmpObj()), 1);
    doc.m_bModified = true;
    doc.ClearObjects(true);
    EXPECT_TRUE(doc.m_BmpObjs.isEmpty());
    EXPECT_EQ(doc.m_KeyObjs.size(), 1);
    EXPECT_TRUE(doc.m_bModified);
    doc.ClearObjects(false);
    EXPECT_TRUE(doc.m_KeyObjs.isEmpty());
    EXPECT_FALSE(doc.m_bModified);
    EXPECT_EQ(doc.m_nKeyCapacity, 80);
}

class TableSlice : public ::testing::TestWithParam<std::pair<int, int>> // file, start (-1: none)
{};

TEST_P(TableSlice, LoadsUpToTheFirstFreeRecord)
{
    const auto [file, start] = GetParam();
    QList<CQXPanKeyObj> table = Table();
    if (start >= 0)
        table[start + 5].SetShape(ScreenObjectRecord::ShapeFree); // in-use records follow it
    CQXPanDocument doc;
    doc.m_KeyObjs.append(Key(1, 1));
    doc.LoadTableSlice(table, file);
    // A screen without a slice (the logo) has no room for keys at all.
    EXPECT_EQ(doc.m_nKeyCapacity, start < 0 ? 0 : 80);
    ASSERT_EQ(doc.m_KeyObjs.size(), start < 0 ? 0 : 5);
    for (int i = 0; i < doc.m_KeyObjs.size(); ++i)
        EXPECT_EQ(doc.m_KeyObjs[i].m_Record, table[start + i].m_Record);
}

TEST_P(TableSlice, StoresIntoItsSliceAndFreesTheRest)
{
    const auto [file, start] = GetParam();
    const QList<CQXPanKeyObj> original = Table();
    QList<CQXPanKeyObj> table = original;
    CQXPanDocument doc;
    doc.m_nKeyCapacity = 80;
    for (int i = 0; i < 3; ++i)
        doc.AddKeyObj(&original[0]);
    doc.m_KeyObjs[2].SetText1(QStringLiteral("third"));
    EXPECT_EQ(doc.StoreTableSlice(table, file), start < 0 ? 0 : 3);
    for (int i = 0; i < 240; ++i) {
        SCOPED_TRACE(i);
        if (start < 0 || i < start || i >= start + 80)
            EXPECT_EQ(table[i].m_Record, original[i].m_Record);
        else if (i < start + 3)
            EXPECT_EQ(table[i].m_Record, doc.m_KeyObjs[i - start].m_Record);
        else
            EXPECT_EQ(table[i].m_Record, ScreenObjectRecord{});
    }
}

INSTANTIATE_TEST_SUITE_P(Files, TableSlice,
                         ::testing::Values(std::pair{798, 0}, std::pair{797, 80},
                                           std::pair{799, 160}, std::pair{796, -1},
                                           std::pair{800, -1}));

TEST(TableSliceEdge, FreeFirstRecordAndCapacityLimit)
{
    QList<CQXPanKeyObj> table = Table();
    table[80].SetShape(ScreenObjectRecord::ShapeFree);
    CQXPanDocument doc;
    doc.LoadTableSlice(table, 797);
    EXPECT_TRUE(doc.m_KeyObjs.isEmpty());

    doc.m_KeyObjs = QList<CQXPanKeyObj>(5, Key(42, 0));
    doc.m_nKeyCapacity = 2;
    EXPECT_EQ(doc.StoreTableSlice(table, 798), 2);
    EXPECT_EQ(table[1].TypeCode(), 42);
    EXPECT_TRUE(table[2].IsFree());
}

} // namespace
