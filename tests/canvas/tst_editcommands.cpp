#include "../app/AppTestEnvironment.h"

#include "canvas/CQXPanDesignDlg.h"
#include "objdlg/CQXPanObjDlg.h"

#include <QAction>
#include <QColor>
#include <QComboBox>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// The editor on check window 22 with one placed bitmap in the branch, driven with the mouse.
class EditorMouse : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QImage image(64, 32, QImage::Format_RGB888);
        image.fill(QColor(200, 0, 0));
        ASSERT_TRUE(image.save(env.Folder("placed") + "/logo.bmp", "BMP"));
        ASSERT_TRUE(dlg.OnInitDialog());
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        dlg.m_cbImageType->setCurrentIndex(1);
        dlg.OnImageTypeChange();
    }

    void ChooseObjectType(int type)
    {
        dlg.m_cbObjectType->setCurrentIndex(type);
        dlg.OnObjectTypeChange();
    }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(design(), Qt::LeftButton, {}, from);
        QTest::mouseMove(design(), to);
        QTest::mouseRelease(design(), Qt::LeftButton, {}, to);
    }
    void Click(QPoint pt) { Drag(pt, pt); }
    void MenuCommand(int id)
    {
        for (QAction* top : dlg.findChild<QMenuBar*>()->actions()) {
            for (QAction* action : top->menu()->actions()) {
                if (action->data().toInt() == id) {
                    action->trigger();
                    return;
                }
            }
        }
        ADD_FAILURE() << "no menu command " << id;
    }
    CQXPanDesignDlg* design() { return &dlg.m_DesignDlg; }

    AppTestEnvironment env;
    CQXPanMainDlg dlg{env.app.get()};
};

TEST_F(EditorMouse, DrawnTableIsCopiedFromTheMenuBarToTheCorner)
{
    ChooseObjectType(CQXPanObjDlg::TypeTableRect);
    const qsizetype before = design()->m_KeyObjs.size();
    Drag({300, 200}, {400, 260});
    ASSERT_EQ(design()->m_KeyObjs.size(), before + 1);
    EXPECT_EQ(design()->m_KeyObjs.last().DisplayRect(), (QXPanRect{300, 200, 400, 260}));
    EXPECT_EQ(design()->m_KeyObjs.last().TypeCode(), kQXPanTableCode);

    MenuCommand(ID_EDIT_COPY);
    design()->m_ptPaste = QPoint(600, 500); // the menu bar moves it to (5, 5)
    MenuCommand(ID_EDIT_PASTE);
    ASSERT_EQ(design()->m_KeyObjs.size(), before + 2);
    EXPECT_EQ(design()->m_KeyObjs.last().DisplayRect(), (QXPanRect{5, 5, 105, 65}));
}

TEST_F(EditorMouse, PressOnAnObjectInTheDialogKeepsItSelectedForTheMove)
{
    ChooseObjectType(CQXPanObjDlg::TypeTableRect);
    Drag({300, 200}, {400, 260});
    const qsizetype index = design()->m_KeyObjs.size() - 1;
    // The press reaches the dialog's own deselect first, then selects and moves the table.
    Drag({350, 230}, {450, 330});
    EXPECT_EQ(design()->m_KeyObjs[index].DisplayRect(), (QXPanRect{400, 300, 500, 360}));
    EXPECT_EQ(design()->m_SelRect.m_nObjIndex, index);
    EXPECT_TRUE(design()->m_SelRect.isVisible());
}

TEST_F(EditorMouse, DeleteButtonRemovesTheSelectedObjectOnly)
{
    ChooseObjectType(CQXPanObjDlg::TypeTableRect);
    const qsizetype before = design()->m_KeyObjs.size();
    Drag({300, 200}, {400, 260});
    ASSERT_EQ(design()->m_KeyObjs.size(), before + 1);
    auto* deleteButton = qobject_cast<QPushButton*>(dlg.GetDlgItem(CQXPanMainDlg::IDC_DELETE));
    QTest::mouseClick(deleteButton, Qt::LeftButton);
    EXPECT_EQ(design()->m_KeyObjs.size(), before);
    EXPECT_FALSE(design()->m_SelRect.isVisible());

    // A press elsewhere in the dialog drops the selection, so Delete then removes nothing.
    Drag({300, 200}, {400, 260});
    QTest::mouseClick(dlg.m_lcItems->viewport(), Qt::LeftButton, {}, QPoint(5, 100));
    QTest::mouseClick(deleteButton, Qt::LeftButton);
    EXPECT_EQ(design()->m_KeyObjs.size(), before + 1);
}

TEST_F(EditorMouse, RowDraggedFromTheItemListIsDroppedWhereReleased)
{
    ChooseObjectType(CQXPanObjDlg::TypePlaceBitmap);
    dlg.m_ObjDlg.m_nMode = 4;
    dlg.OnBeginDrag(0);
    ASSERT_EQ(dlg.m_ObjDlg.m_nMode, 3);
    QTest::mouseMove(design(), {200, 150});
    QTest::mouseRelease(design(), Qt::LeftButton, {}, {200, 150});
    ASSERT_EQ(design()->m_BmpObjs.size(), 1);
    EXPECT_EQ(design()->m_BmpObjs[0].DisplayRect(), (QXPanRect{200, 150, 250, 175}));
    EXPECT_EQ(dlg.m_ObjDlg.m_nMode, 4);
    EXPECT_TRUE(design()->m_bModified);
    const QImage shot = design()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(225, 160)), QColor(200, 0, 0));
}

} // namespace
