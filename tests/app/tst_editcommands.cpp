// Catches: menu-bar Edit commands, Delete button or item-list drag not acting on the area.
#include "EditorFixture.h"

namespace {

const QString kEdit = QStringLiteral("Edit(&E)");

class EditorCommands : public EditorFixture
{};

TEST_F(EditorCommands, MenuBarAndDeleteButtonActOnTheSelectedObject)
{
    Start(kWindow22);
    DrawTable({300, 200}, {400, 260});
    ASSERT_EQ(design().m_KeyObjs.size(), 1);
    EXPECT_EQ(design().m_KeyObjs[0].TypeCode(), kQXPanTableCode);
    // The press reaches the dialog's own deselect first, then selects and moves the table.
    Drag({350, 230}, {450, 330});
    EXPECT_EQ(design().m_KeyObjs[0].DisplayRect(), (QXPanRect{400, 300, 500, 360}));
    EXPECT_TRUE(design().m_SelRect.isVisible());

    ASSERT_TRUE(ChooseMenu(kEdit, "Copy(&C)"));
    design().m_ptPaste = QPoint(600, 500); // the menu bar pastes to the corner instead
    ASSERT_TRUE(ChooseMenu(kEdit, "Paste(&P)"));
    ASSERT_EQ(design().m_KeyObjs.size(), 2);
    EXPECT_EQ(design().m_KeyObjs[1].DisplayRect(), (QXPanRect{5, 5, 105, 65}));
    ASSERT_TRUE(ChooseMenu(kEdit, "Cut(&X)")); // the moved table is still selected
    ASSERT_EQ(design().m_KeyObjs.size(), 1);
    EXPECT_EQ(design().m_KeyObjs[0].DisplayRect().left, 5);

    Drag({50, 30}, {50, 30});
    ClickButton(CQXPanMainDlg::IDC_DELETE);
    EXPECT_TRUE(design().m_KeyObjs.isEmpty());
    EXPECT_FALSE(design().m_SelRect.isVisible());
    // A press elsewhere in the dialog drops the selection: Delete then removes nothing.
    DrawTable({300, 200}, {400, 260});
    QTest::mouseClick(dlg.m_lcItems->viewport(), Qt::LeftButton, {}, QPoint(5, 100));
    ClickButton(CQXPanMainDlg::IDC_DELETE);
    EXPECT_EQ(design().m_KeyObjs.size(), 1);
}

TEST_F(EditorCommands, BitmapRowDraggedFromTheItemListLandsWhereReleased)
{
    Start(kWindow22);
    ChooseObjectType(kPlaceBitmap);
    DragRowTo(QStringLiteral("logo.bmp"), {200, 150});
    ASSERT_EQ(design().m_BmpObjs.size(), 1);
    EXPECT_EQ(design().m_BmpObjs[0].DisplayRect(), (QXPanRect{200, 150, 250, 175})); // 64 x 32
    EXPECT_EQ(dlg.m_ObjDlg.m_nMode, QXPanObj::ModeIdle);
    EXPECT_TRUE(design().m_bModified);
    EXPECT_EQ(QColor(design().grab().toImage().pixel(225, 160)), QColor(200, 0, 0));
}

} // namespace
