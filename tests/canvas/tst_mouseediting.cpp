#include "canvas/CQXPanDesignDlg.h"

#include "DesignAreaFixture.h"

#include "../objdlg/ObjDlgTestBranch.h"
#include "ScriptedUserInteraction.h"
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "objdlg/CQXPanObjDlg.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr int kIdle = 4;
constexpr QRgb kRed = 0xFFFF0000u;

// A key given by its display rectangle; shape 1 (rectangle), white.
CQXPanKeyObj MakeKey(const QXPanRect& r)
{
    CQXPanKeyObj key;
    key.SetDisplayRect(r);
    key.SetShape(1);
    key.SetFillColour(0xFFFFFFu, true);
    key.SetText1(QStringLiteral("KEY"));
    return key;
}

// The design area on a small branch, shown, with the properties dialog and an idle mode.
class MouseEditing : public DesignAreaFixture
{
protected:
    void SetUp() override
    {
        m_branch.WriteBitmap("placed/big.bmp", 200, 100, Qt::red);
        ASSERT_NO_FATAL_FAILURE(WireDesignArea(true));
        m_design.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_design));
        m_objDlg.m_nMode = kIdle;
    }

    // The placed-bitmap row whose file name holds name.
    int RowNamed(const QString& name)
    {
        const CQXPanRefList* list = &m_objDlg.m_BmpList;
        for (size_t r = 1; list && r < list->size(); ++r) {
            const CQXPanRefItem& item = (*list)[r];
            if (item.m_strCol1.contains(name, Qt::CaseInsensitive) ||
                item.m_strCol2.contains(name, Qt::CaseInsensitive))
                return int(r);
        }
        ADD_FAILURE() << "no row " << name.toStdString();
        return -1;
    }
    void ChooseType(int type, int row = 1)
    {
        m_objDlg.m_nObjType = type;
        m_objDlg.SelectRow(row);
    }

    void Press(QPoint pt) { QTest::mousePress(&m_design, Qt::LeftButton, {}, pt); }
    void Move(QPoint pt) { QTest::mouseMove(&m_design, pt); }
    void Release(QPoint pt) { QTest::mouseRelease(&m_design, Qt::LeftButton, {}, pt); }
    void Drag(QPoint from, QPoint to)
    {
        Press(from);
        Move(to);
        Release(to);
    }
    // The editor's deselect on any left press in the main dialog, done here by hand.
    void Deselect() { m_design.Deselect(); }
    // A row dropped from the item list: the drag mode, the grab, a release at pt.
    void Drop(QPoint pt)
    {
        m_objDlg.m_nMode = 3;
        m_design.grabMouse();
        Release(pt);
    }
    // A right press at pt that picks the context menu entry with the given identifier.
    void ContextCommand(QPoint pt, int id)
    {
        QTimer::singleShot(0, [id] {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(popup, nullptr);
            for (QAction* action : popup->actions()) {
                if (action->data().toInt() == id) {
                    popup->setActiveAction(action);
                    QTest::keyClick(popup, Qt::Key_Return);
                    return;
                }
            }
            popup->close();
            ADD_FAILURE() << "no entry " << id;
        });
        QTest::mousePress(&m_design, Qt::RightButton, {}, pt);
        QTest::mouseRelease(&m_design, Qt::RightButton, {}, pt);
    }
    QImage Grab() { return m_design.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    CQXPanBmpObj PlacedBitmap(const char* name, const QXPanRect& r)
    {
        ChooseType(CQXPanObjDlg::TypePlaceBitmap, RowNamed(QString::fromLatin1(name)));
        CQXPanBmpObj bmp;
        EXPECT_EQ(m_objDlg.ApplyItemToBitmap(bmp), 1);
        bmp.SetDisplayRect(r);
        return bmp;
    }
};

// --- Hit test: which object a press selects -----------------------------------------------

struct HitCase
{
    const char* name;
    QXPanRect key;    // empty: no key
    QXPanRect bitmap; // empty: no bitmap
    QPoint press;
    int kind; // expected: 2 key, 1 bitmap, 0 nothing
};

class HitTest : public MouseEditing, public ::testing::WithParamInterface<HitCase>
{};

TEST_P(HitTest, PressSelectsTheRightObject)
{
    const HitCase& c = GetParam();
    if (!c.bitmap.IsRectEmpty()) {
        m_design.m_BmpObjs.append(PlacedBitmap("first", c.bitmap));
        m_objDlg.m_nObjType = CQXPanObjDlg::TypeTableRect;
    }
    if (!c.key.IsRectEmpty() || c.key.left > 0)
        m_design.m_KeyObjs.append(MakeKey(c.key));
    Press(c.press);
    EXPECT_EQ(m_design.m_SelRect.m_nObjIndex, c.kind == 0 ? -1 : 0);
    EXPECT_EQ(m_design.m_SelRect.isVisible(), c.kind != 0);
    if (c.kind != 0) {
        EXPECT_EQ(m_objDlg.m_nObjType == CQXPanObjDlg::TypePlaceBitmap, c.kind == 1);
    }
    EXPECT_EQ(m_objDlg.m_nMode, c.kind == 0 ? kIdle : 5);
    Release(c.press);
    EXPECT_EQ(m_objDlg.m_nMode, kIdle);
}

INSTANTIATE_TEST_SUITE_P(
    MouseEditing, HitTest,
    ::testing::Values(
        HitCase{"FiveWideKeyCannotBeHit", {100, 100, 105, 150}, {}, {102, 125}, 0},
        HitCase{"TwoLeftOfMiddleHitsKey", {100, 100, 200, 150}, {}, {98, 123}, 2},
        HitCase{"TwoLeftAwayFromMiddleMisses", {100, 100, 200, 150}, {}, {98, 110}, 0},
        HitCase{"CornerSquareOutsideHits", {100, 100, 200, 150}, {}, {202, 152}, 2},
        HitCase{"KeyOverLaterBitmapFirst", {100, 100, 200, 150}, {90, 90, 250, 200}, {150, 120}, 2},
        HitCase{"BitmapWhereNoKey", {100, 100, 200, 150}, {90, 90, 250, 200}, {240, 190}, 1}),
    [](const ::testing::TestParamInfo<HitCase>& info) { return std::string(info.param.name); });

// --- Move and resize --------------------------------------------------------------------

TEST_F(MouseEditing, MoveStopsAtTheRightEdgeAndComesBackAtOnce)
{
    m_design.m_KeyObjs.append(MakeKey({100, 100, 150, 150}));
    Press({125, 125});
    Move({500, 125});
    Move({900, 125}); // far beyond the edge: right edge stops at 799
    Move({880, 125}); // the first step back moves it at once
    Release({880, 125});
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect(), (QXPanRect{729, 100, 779, 150}));
    EXPECT_TRUE(m_design.m_bModified);
    EXPECT_TRUE(m_design.m_SelRect.isVisible());
}

TEST_F(MouseEditing, MoveToTheEdgeEndsThere)
{
    m_design.m_KeyObjs.append(MakeKey({100, 100, 150, 150}));
    Press({125, 125});
    Move({900, 125});
    Release({900, 125});
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect().right, 799);
    EXPECT_EQ(m_objDlg.m_nMode, 0); // released outside the design area
}

TEST_F(MouseEditing, PressWithoutMovementMarksModified)
{
    m_design.m_KeyObjs.append(MakeKey({100, 100, 150, 150}));
    Press({125, 125});
    Release({125, 125});
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect(), (QXPanRect{100, 100, 150, 150}));
    EXPECT_TRUE(m_design.m_bModified);
}

TEST_F(MouseEditing, ResizeKeepsTheMinimumAndTheUntouchedEdges)
{
    m_design.m_KeyObjs.append(MakeKey({100, 100, 200, 160}));
    // Bottom-right handle up and left past the opposite corner: 24 x 24 against the anchor.
    Press({200, 160});
    Move({150, 130});
    Move({50, 40});
    Release({50, 40});
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect(), (QXPanRect{100, 100, 124, 124}));

    // Top edge handle: only the top changes.
    Deselect();
    m_design.m_KeyObjs[0].SetDisplayRect(QXPanRect{100, 100, 200, 160});
    Press({150, 98});
    Move({170, 70});
    Release({170, 70});
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect(), (QXPanRect{100, 70, 200, 160}));
}

TEST_F(MouseEditing, CursorFollowsHandlesAndObjects)
{
    m_design.m_KeyObjs.append(MakeKey({100, 100, 200, 160}));
    Move({300, 300});
    EXPECT_EQ(m_design.cursor().shape(), Qt::ArrowCursor);
    Move({150, 130});
    EXPECT_EQ(m_design.cursor().shape(), Qt::SizeAllCursor);
    Press({150, 130});
    Release({150, 130});
    Move({201, 161});
    EXPECT_EQ(m_design.cursor().shape(), Qt::SizeFDiagCursor);
    Move({201, 99});
    EXPECT_EQ(m_design.cursor().shape(), Qt::SizeBDiagCursor);
    Move({150, 99});
    EXPECT_EQ(m_design.cursor().shape(), Qt::SizeVerCursor);
}

// --- Drawing new objects ----------------------------------------------------------------

TEST_F(MouseEditing, RubberBandBelowTheMinimumCreatesNothing)
{
    ChooseType(CQXPanObjDlg::TypeFreeFuncRect);
    Drag({100, 100}, {130, 110});
    EXPECT_TRUE(m_design.m_KeyObjs.isEmpty());
    EXPECT_FALSE(m_design.m_SelRect.isVisible());
    EXPECT_FALSE(m_design.m_bModified);
}

TEST_F(MouseEditing, DrawnRectangleCreatesAKeyFromTheRow)
{
    ChooseType(CQXPanObjDlg::TypeFreeFuncRound, 2);
    Drag({300, 200}, {200, 100}); // drawn up and left
    ASSERT_EQ(m_design.m_KeyObjs.size(), 1);
    const CQXPanKeyObj& key = m_design.m_KeyObjs[0];
    EXPECT_EQ(key.DisplayRect(), (QXPanRect{200, 100, 300, 200}));
    EXPECT_EQ(key.Shape(), 2);
    EXPECT_EQ(key.GetText1(), m_objDlg.m_FreeFuncList[2].m_strCol2.trimmed());
    EXPECT_EQ(m_design.m_SelRect.m_nObjIndex, 0);
    EXPECT_TRUE(m_design.m_SelRect.isVisible());
    EXPECT_TRUE(m_design.m_bModified);
    // The ellipse is white inside; its bounding corner shows what lies beneath.
    const QImage image = Grab();
    EXPECT_EQ(image.pixel(250, 150), 0xFFFFFFFFu);
}

TEST_F(MouseEditing, KeyAtCapacityIsNotCreated)
{
    m_design.m_nKeyCapacity = 1;
    m_design.m_KeyObjs.append(MakeKey({500, 500, 550, 550}));
    ChooseType(CQXPanObjDlg::TypeTableRect);
    Drag({100, 100}, {200, 200});
    EXPECT_EQ(m_design.m_KeyObjs.size(), 1);
    EXPECT_FALSE(m_design.m_SelRect.isVisible());
    EXPECT_EQ(m_design.m_SelRect.m_nObjIndex, -1);
}

TEST_F(MouseEditing, DrawnBitmapIsStretchedToTheRectangle)
{
    ChooseType(CQXPanObjDlg::TypePlaceBitmap, RowNamed(QStringLiteral("second")));
    Drag({100, 100}, {200, 150});
    ASSERT_EQ(m_design.m_BmpObjs.size(), 1);
    EXPECT_EQ(m_design.m_BmpObjs[0].DisplayRect(), (QXPanRect{100, 100, 200, 150}));
    const QImage image = Grab();
    EXPECT_EQ(image.pixel(105, 105), 0xFF0000FFu);
    EXPECT_EQ(image.pixel(195, 145), 0xFF0000FFu);
}

TEST_F(MouseEditing, DrawnBitmapReleasedOutsideCreatesNothing)
{
    ChooseType(CQXPanObjDlg::TypePlaceBitmap, RowNamed(QStringLiteral("second")));
    Drag({700, 500}, {900, 650});
    EXPECT_TRUE(m_design.m_BmpObjs.isEmpty());
}

// --- Drops from the item list ----------------------------------------------------------------

TEST_F(MouseEditing, DroppedBitmapMustFitEntirely)
{
    ChooseType(CQXPanObjDlg::TypePlaceBitmap, RowNamed(QStringLiteral("big")));
    QSignalSpy refusals(&m_design, &CQXPanDesignDlg::Refused);
    Drop({700, 100}); // 700 + 156 reaches the edge
    EXPECT_TRUE(m_design.m_BmpObjs.isEmpty());
    // The drop is over and says why it placed nothing.
    EXPECT_EQ(m_objDlg.m_nMode, kIdle);
    ASSERT_EQ(refusals.count(), 1);
    EXPECT_TRUE(refusals[0][0].toString().startsWith("The bitmap does not fit here"));
    EXPECT_EQ(m_design.m_SelRect.m_nObjIndex, -1);

    Drop({100, 100});
    ASSERT_EQ(m_design.m_BmpObjs.size(), 1);
    EXPECT_EQ(m_design.m_BmpObjs[0].DisplayRect(), (QXPanRect{100, 100, 256, 178}));
    EXPECT_EQ(m_objDlg.m_nMode, kIdle);
    EXPECT_TRUE(m_design.m_bModified);
    EXPECT_TRUE(m_design.m_SelRect.isVisible());
    EXPECT_EQ(Grab().pixel(250, 170), kRed);
}

TEST_F(MouseEditing, DroppedRowReassignsTheKeyUnderIt)
{
    m_design.m_KeyObjs.append(MakeKey({100, 100, 200, 160}));
    ChooseType(CQXPanObjDlg::TypeFreeFuncRect, 3);
    QSignalSpy refusals(&m_design, &CQXPanDesignDlg::Refused);
    Drop({400, 400}); // empty space: nothing, with a word why
    EXPECT_EQ(m_design.m_KeyObjs.size(), 1);
    EXPECT_EQ(m_design.m_KeyObjs[0].GetText1(), QStringLiteral("KEY"));
    ASSERT_EQ(refusals.count(), 1);
    EXPECT_TRUE(refusals[0][0].toString().startsWith("Dropped on no key"));

    Drop({150, 130});
    ASSERT_EQ(m_design.m_KeyObjs.size(), 1);
    EXPECT_EQ(m_design.m_KeyObjs[0].GetText1(), m_objDlg.m_FreeFuncList[3].m_strCol2.trimmed());
    EXPECT_EQ(m_design.m_SelRect.m_nObjIndex, 0);
    EXPECT_FALSE(m_design.m_bModified);
    EXPECT_EQ(refusals.count(), 1);
    // The drop is over: the edit commands act on the key it changed at once.
    QTest::keyClick(&m_design, Qt::Key_Delete);
    EXPECT_TRUE(m_design.m_KeyObjs.isEmpty());
}

// --- Double-click ---------------------------------------------------------------------------

TEST_F(MouseEditing, DoubleClickEditsTheKeyInTheDialog)
{
    m_design.m_KeyObjs.append(MakeKey({100, 100, 200, 160}));
    bool shown = false;
    int modeWhileShown = -1;
    QTimer::singleShot(0, [&] {
        shown = m_objDlg.isVisible();
        modeWhileShown = m_objDlg.m_nMode;
        m_objDlg.reject();
    });
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(150, 130),
                    m_design.mapToGlobal(QPointF(150, 130)), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(&m_design, &dbl);
    EXPECT_TRUE(shown);
    EXPECT_EQ(modeWhileShown, 5);
    EXPECT_EQ(m_objDlg.EditObject(), &m_design.m_KeyObjs[0]);
    EXPECT_EQ(m_objDlg.m_nMode, kIdle);
    EXPECT_TRUE(m_design.m_SelRect.isVisible());
}

// --- The edited key while the key list changes ------------------------------------------------

// While the properties dialog edits key 1 of three, keys are appended (enough to move the list's
// storage) or one is deleted; the accepted text must land on the key being edited, wherever it
// is by then, and on no other.
struct ListChangeCase
{
    const char* name;
    int appended; // keys appended while the dialog is open
    int deleted;  // key deleted while the dialog is open, -1 for none
    int edited;   // index of the edited key afterwards, -1 when it was deleted
};

class EditedKeyTest : public MouseEditing, public ::testing::WithParamInterface<ListChangeCase>
{};

TEST_P(EditedKeyTest, AcceptedTextReachesTheKeyBeingEdited)
{
    const ListChangeCase& c = GetParam();
    m_design.m_nKeyCapacity = 400;
    for (int k = 0; k < 3; ++k) {
        CQXPanKeyObj key = MakeKey({100 + 200 * k, 100, 180 + 200 * k, 160});
        key.SetTypeCode(kQXPanTableCode); // a table needs no function row to be accepted
        key.SetText1(QStringLiteral("KEY%1").arg(k));
        m_design.m_KeyObjs.append(key);
    }
    const CQXPanKeyObj* storageBefore = m_design.m_KeyObjs.constData();
    bool closed = true;
    QTimer::singleShot(0, [&] {
        for (int n = 0; n < c.appended; ++n)
            ASSERT_GE(m_design.AddKeyObj(), 0);
        if (c.deleted >= 0) {
            // Delete is ignored while the double-click holds the mode; step out of it briefly.
            const int mode = m_objDlg.m_nMode;
            m_objDlg.m_nMode = kIdle;
            m_design.m_SelRect.m_nObjIndex = c.deleted;
            m_design.EditCommand(CQXPanDesignDlg::kKeyDelete, 0);
            m_objDlg.m_nMode = mode;
        }
        m_objDlg.m_edLine1->setText(QStringLiteral("EDITED"));
        m_objDlg.m_btnOk->click();
        if (m_objDlg.isVisible()) {
            closed = false;
            m_objDlg.reject();
        }
    });
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(340, 130),
                    m_design.mapToGlobal(QPointF(340, 130)), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(&m_design, &dbl);
    ASSERT_TRUE(closed) << "OK did not close the dialog";

    if (c.appended > 0) {
        EXPECT_NE(m_design.m_KeyObjs.constData(), storageBefore) << "the list did not move";
    }
    ASSERT_EQ(m_design.m_KeyObjs.size(), 3 + c.appended - (c.deleted >= 0 ? 1 : 0));
    int survivor = 0;
    for (int k = 0; k < 3; ++k) {
        if (k == c.deleted)
            continue;
        const QString expected =
            survivor == c.edited ? QStringLiteral("EDITED") : QStringLiteral("KEY%1").arg(k);
        EXPECT_EQ(m_design.m_KeyObjs[survivor].GetText1().trimmed(), expected) << "key " << k;
        ++survivor;
    }
    if (c.edited >= 0) {
        EXPECT_EQ(m_objDlg.EditObject(), &m_design.m_KeyObjs[c.edited]);
        EXPECT_EQ(m_design.m_SelRect.m_nObjIndex, c.edited);
    } else {
        EXPECT_EQ(m_objDlg.EditObject(), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(MouseEditing, EditedKeyTest,
                         ::testing::Values(ListChangeCase{"AppendsMoveTheList", 200, -1, 1},
                                           ListChangeCase{"EarlierKeyDeleted", 0, 0, 0},
                                           ListChangeCase{"LaterKeyDeleted", 0, 2, 1},
                                           ListChangeCase{"EditedKeyDeleted", 0, 1, -1}),
                         [](const ::testing::TestParamInfo<ListChangeCase>& info) {
                             return std::string(info.param.name);
                         });

// --- Edit commands ------------------------------------------------------------------------

TEST_F(MouseEditing, DeleteRemovesOnlyASelectedObject)
{
    m_design.m_KeyObjs.append(MakeKey({100, 100, 200, 160}));
    m_design.m_KeyObjs.append(MakeKey({300, 100, 400, 160}));
    m_design.EditCommand(CQXPanDesignDlg::kKeyDelete, 0); // nothing selected
    EXPECT_EQ(m_design.m_KeyObjs.size(), 2);

    Press({150, 130});
    Release({150, 130});
    m_design.m_bModified = false;
    m_design.EditCommand(CQXPanDesignDlg::kKeyDelete, 0);
    ASSERT_EQ(m_design.m_KeyObjs.size(), 1);
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect().left, 300);
    EXPECT_FALSE(m_design.m_SelRect.isVisible());
    EXPECT_EQ(m_design.m_SelRect.m_nObjIndex, -1);
    EXPECT_FALSE(m_design.m_bModified);
}

TEST_F(MouseEditing, CopyAndPasteFromTheContextMenu)
{
    m_design.m_KeyObjs.append(MakeKey({100, 100, 200, 160}));
    ContextCommand({150, 130}, ID_EDIT_COPY);  // Copy
    ContextCommand({600, 300}, ID_EDIT_PASTE); // Paste at the press point
    ASSERT_EQ(m_design.m_KeyObjs.size(), 2);
    EXPECT_EQ(m_design.m_KeyObjs[1].DisplayRect(), (QXPanRect{600, 300, 700, 360}));
    EXPECT_EQ(m_design.m_KeyObjs[1].GetText1(), QStringLiteral("KEY"));

    ContextCommand({700, 300}, ID_EDIT_PASTE); // 700 + 100 is not below 800
    EXPECT_EQ(m_design.m_KeyObjs.size(), 2);

    // From the menu bar the paste point is (5, 5).
    m_design.m_ptPaste = QPoint(5, 5);
    m_design.OnCommand(ID_EDIT_PASTE);
    ASSERT_EQ(m_design.m_KeyObjs.size(), 3);
    EXPECT_EQ(m_design.m_KeyObjs[2].DisplayRect(), (QXPanRect{5, 5, 105, 65}));
    EXPECT_FALSE(m_design.m_bModified);
}

TEST_F(MouseEditing, CopyOnEmptySpaceDoesNothingAndCutRemoves)
{
    m_design.m_KeyObjs.append(MakeKey({100, 100, 200, 160}));
    ContextCommand({150, 130}, ID_EDIT_CUT); // Cut
    EXPECT_TRUE(m_design.m_KeyObjs.isEmpty());
    EXPECT_TRUE(m_objDlg.HasKeyInClipboard());

    m_design.m_KeyObjs.append(MakeKey({300, 300, 340, 340}));
    ContextCommand({320, 320}, ID_EDIT_COPY); // selects and copies the small key
    ContextCommand({600, 500}, ID_EDIT_COPY); // empty space: index -1, nothing copied
    ContextCommand({10, 10}, ID_EDIT_PASTE);
    ASSERT_EQ(m_design.m_KeyObjs.size(), 2);
    EXPECT_EQ(m_design.m_KeyObjs[1].DisplayRect(), (QXPanRect{10, 10, 50, 50}));
}

TEST_F(MouseEditing, LastCopiedKindIsPasted)
{
    m_design.m_BmpObjs.append(PlacedBitmap("second", {400, 400, 440, 440}));
    m_design.m_KeyObjs.append(MakeKey({100, 100, 200, 160}));
    ContextCommand({150, 130}, ID_EDIT_COPY); // key
    ContextCommand({420, 420}, ID_EDIT_COPY); // then bitmap: the key slot empties
    ContextCommand({10, 10}, ID_EDIT_PASTE);
    EXPECT_EQ(m_design.m_KeyObjs.size(), 1);
    ASSERT_EQ(m_design.m_BmpObjs.size(), 2);
    EXPECT_EQ(m_design.m_BmpObjs[1].DisplayRect(), (QXPanRect{10, 10, 50, 50}));
    EXPECT_EQ(m_design.m_BmpObjs[1].m_pImage, m_design.m_BmpObjs[0].m_pImage);

    ContextCommand({150, 130}, ID_EDIT_COPY); // key again: the key wins
    ContextCommand({600, 10}, ID_EDIT_PASTE);
    EXPECT_EQ(m_design.m_BmpObjs.size(), 2);
    EXPECT_EQ(m_design.m_KeyObjs.size(), 2);
}

class IgnoredCommand : public MouseEditing,
                       public ::testing::WithParamInterface<std::tuple<int, int>>
{};

TEST_P(IgnoredCommand, WhileDraggingOrPressed)
{
    const auto [mode, command] = GetParam();
    m_design.m_KeyObjs.append(MakeKey({100, 100, 200, 160}));
    Press({150, 130});
    Release({150, 130});
    m_objDlg.CopyKeyToClipboard(m_design.m_KeyObjs[0]);
    m_objDlg.m_nMode = mode;
    m_design.m_ptPaste = QPoint(400, 400);
    m_design.EditCommand(command,
                         command == CQXPanDesignDlg::kKeyDelete ? 0 : CQXPanDesignDlg::kEditFlag);
    m_design.OnCommand(ID_EDIT_PASTE);
    EXPECT_EQ(m_design.m_KeyObjs.size(), 1);
    EXPECT_TRUE(m_design.m_SelRect.isVisible());
}

INSTANTIATE_TEST_SUITE_P(MouseEditing, IgnoredCommand,
                         ::testing::Combine(::testing::Values(3, 5),
                                            ::testing::Values(CQXPanDesignDlg::kKeyDelete,
                                                              CQXPanDesignDlg::kKeyCut,
                                                              CQXPanDesignDlg::kKeyPaste)));

TEST_F(MouseEditing, CutAndPasteNeedTheMenuFlag)
{
    m_design.m_KeyObjs.append(MakeKey({100, 100, 200, 160}));
    Press({150, 130});
    Release({150, 130});
    m_design.EditCommand(CQXPanDesignDlg::kKeyCut, 0);
    EXPECT_EQ(m_design.m_KeyObjs.size(), 1);
    EXPECT_FALSE(m_objDlg.HasKeyInClipboard());
    m_design.EditCommand(CQXPanDesignDlg::kKeyCut, CQXPanDesignDlg::kEditFlag);
    EXPECT_TRUE(m_design.m_KeyObjs.isEmpty());
    m_design.m_ptPaste = QPoint(20, 20);
    m_design.EditCommand(CQXPanDesignDlg::kKeyPaste, 0);
    EXPECT_TRUE(m_design.m_KeyObjs.isEmpty());
}

} // namespace
