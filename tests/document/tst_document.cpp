// Catches: table slices loaded or stored in the wrong records, keys cleared with the bitmaps.
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
    QList<CQXPanKeyObj> table;
    for (int i = 0; i < 240; ++i)
        table << Key(quint16(i + 1), i);
    return table;
}

// Windows 798, 797 and 799 own records 1, 81 and 161 on; the logo (796) and others own none.
TEST(TableSlice, LoadsUpToTheFirstFreeRecordAndStoresIntoItsSliceFreeingTheRest)
{
    const QList<CQXPanKeyObj> original = Table();
    for (const auto& [file, start] : {std::pair{798, 0}, std::pair{797, 80}, std::pair{799, 160},
                                      std::pair{796, -1}, std::pair{800, -1}}) {
        SCOPED_TRACE(file);
        QList<CQXPanKeyObj> table = original;
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
        table = original;
        doc.m_nKeyCapacity = 80;
        doc.m_KeyObjs = {Key(41, 0), Key(42, 0), Key(43, 0)};
        EXPECT_EQ(doc.StoreTableSlice(table, file), start < 0 ? 0 : 3);
        for (int i = 0; i < 240; ++i) {
            const bool outside = start < 0 || i < start || i >= start + 80;
            EXPECT_EQ(table[i].m_Record, outside         ? original[i].m_Record
                                         : i < start + 3 ? doc.m_KeyObjs[i - start].m_Record
                                                         : ScreenObjectRecord{})
                << i;
        }
    }
    // A free first record gives no keys; no more than the capacity is stored.
    QList<CQXPanKeyObj> table = original;
    table[80].SetShape(ScreenObjectRecord::ShapeFree);
    CQXPanDocument doc;
    doc.LoadTableSlice(table, 797);
    EXPECT_TRUE(doc.m_KeyObjs.isEmpty());
    doc.m_KeyObjs = QList<CQXPanKeyObj>(5, Key(42, 0));
    doc.m_nKeyCapacity = 2;
    EXPECT_EQ(doc.StoreTableSlice(table, 798), 2);
    EXPECT_TRUE(table[1].TypeCode() == 42 && table[2].IsFree());
    // A full window takes its own 80 records, not the next window's first.
    doc.LoadTableSlice(original, 798);
    EXPECT_EQ(doc.m_KeyObjs.size(), 80);
    // Clearing the bitmaps only (bitmaps rebound) keeps the keys and the modified mark.
    doc.AddBmpObj(CQXPanBmpObj());
    doc.m_bModified = true;
    doc.ClearObjects(true);
    EXPECT_TRUE(doc.m_BmpObjs.isEmpty() && doc.m_KeyObjs.size() == 80 && doc.m_bModified);
}

} // namespace
