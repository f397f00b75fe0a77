#include "canvas/CQXPanDesignDlg.h"

#include "DesignAreaFixture.h"

#include "../objdlg/ObjDlgTestBranch.h"
#include "ScriptedUserInteraction.h"
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "objdlg/CQXPanObjDlg.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

namespace {

constexpr int kIdle = 4;

// Everything undo must put back, taken field by field from the records.
struct KeyState
{
    QByteArray record;
    QXPanRect display;
    QXPanColor fill = 0;
    QXPanColor label = 0;
    QXPanColor labelBk = 0;
    bool operator==(const KeyState&) const = default;
};
struct BmpState
{
    const CDibImage* image = nullptr;
    QString name;
    QXPanRect reg;
    QXPanRect display;
    bool operator==(const BmpState&) const = default;
};
struct DesignSnapshot
{
    std::vector<KeyState> keys;
    std::vector<BmpState> bitmaps;
    bool modified = false;
    bool operator==(const DesignSnapshot&) const = default;
};

void PrintTo(const QXPanRect& r, std::ostream* os)
{
    *os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
void PrintTo(const DesignSnapshot& s, std::ostream* os)
{
    *os << "modified " << s.modified << "; keys:";
    for (const KeyState& k : s.keys) {
        *os << " [" << k.record.toHex().constData() << " ";
        PrintTo(k.display, os);
        *os << "]";
    }
    *os << "; bitmaps:";
    for (const BmpState& b : s.bitmaps) {
        *os << " [" << b.name.toStdString() << " ";
        PrintTo(b.reg, os);
        PrintTo(b.display, os);
        *os << "]";
    }
}

DesignSnapshot Snap(const CQXPanDesignDlg& design)
{
    DesignSnapshot s;
    for (const CQXPanKeyObj& key : design.m_KeyObjs)
        s.keys.push_back({QByteArray(reinterpret_cast<const char*>(key.m_Record.data()), 62),
                          key.DisplayRect(), key.m_Cell.m_clrFill, key.m_Cell.m_clrLabel,
                          key.m_Cell.m_clrLabelBk});
    for (const CQXPanBmpObj& bmp : design.m_BmpObjs)
        s.bitmaps.push_back({bmp.m_pImage, bmp.m_strFileName, bmp.m_rcRegister, bmp.DisplayRect()});
    s.modified = design.m_bModified;
    return s;
}

// The design area on a small branch with two free-function keys and one placed bitmap, shown,
// with the properties dialog, an Edit popup and an idle mode; the history starts empty.
class Undo : public DesignAreaFixture
{
public:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(WireDesignArea(true));
        m_design.show();
        m_design.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_design));
        m_objDlg.m_nMode = kIdle;

        m_design.m_KeyObjs.append(FreeFunctionKey({100, 100, 200, 160}, 1));
        m_design.m_KeyObjs.append(FreeFunctionKey({300, 100, 400, 160}, 2));
        m_design.m_BmpObjs.append(PlacedBitmap("first", {500, 300, 540, 320}));
        m_objDlg.m_nObjType = CQXPanObjDlg::TypeBackground;
        m_design.m_bModified = false;
    }

    CQXPanKeyObj FreeFunctionKey(const QXPanRect& r, int row)
    {
        ChooseType(CQXPanObjDlg::TypeFreeFuncRect, row);
        CQXPanKeyObj key;
        m_objDlg.ApplyItemToKey(key);
        key.SetDisplayRect(r);
        return key;
    }
    CQXPanBmpObj PlacedBitmap(const char* name, const QXPanRect& r)
    {
        ChooseType(CQXPanObjDlg::TypePlaceBitmap, BitmapRow(name));
        CQXPanBmpObj bmp;
        EXPECT_EQ(m_objDlg.ApplyItemToBitmap(bmp), 1);
        bmp.SetDisplayRect(r);
        return bmp;
    }
    int BitmapRow(const char* name)
    {
        for (size_t r = 1; r < m_objDlg.m_BmpList.size(); ++r) {
            if (m_objDlg.m_BmpList[r].m_strCol1.contains(QString::fromLatin1(name)))
                return int(r);
        }
        ADD_FAILURE() << "no bitmap row " << name;
        return -1;
    }
    void ChooseType(int type, int row = 1)
    {
        m_objDlg.m_nObjType = type;
        m_objDlg.SelectRow(row);
    }

    // A left press as the editor delivers it: the main dialog drops the selection first.
    void Press(QPoint pt)
    {
        m_design.Deselect();
        QTest::mousePress(&m_design, Qt::LeftButton, {}, pt);
    }
    void Release(QPoint pt) { QTest::mouseRelease(&m_design, Qt::LeftButton, {}, pt); }
    void Drag(QPoint from, QPoint to, int steps = 1)
    {
        Press(from);
        for (int s = 1; s <= steps; ++s)
            QTest::mouseMove(&m_design, from + (to - from) * s / steps);
        Release(to);
    }
    void Click(QPoint pt) { Drag(pt, pt); }
    void Drop(QPoint pt)
    {
        m_objDlg.m_nMode = 3;
        m_design.grabMouse();
        Release(pt);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(&m_design, key, modifiers);
    }
    // A double-click on a selected key; the dialog gets the edits and OK.
    void DoubleClickAndAccept(QPoint pt, std::function<void()> edit)
    {
        QTimer::singleShot(0, [this, edit] {
            ASSERT_TRUE(m_objDlg.isVisible());
            edit();
            m_objDlg.m_btnOk->click();
        });
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(pt), m_design.mapToGlobal(QPointF(pt)),
                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&m_design, &dbl);
        Release(pt);
    }
    QUndoStack& History() { return m_design.UndoStack(); }
};

// --- Every verb undone and redone gives back the exact records --------------------------

struct VerbCase
{
    const char* name;
    std::function<void(Undo&)> prepare; // selections and copies, which are no changes
    std::function<void(Undo&)> act;     // the change itself: exactly one step
};

class UndoVerb : public Undo, public ::testing::WithParamInterface<VerbCase>
{};

void PrintTo(const VerbCase& c, std::ostream* os)
{
    *os << c.name;
}

TEST_P(UndoVerb, UndoAndRedoRestoreTheExactRecords)
{
    const VerbCase& c = GetParam();
    if (c.prepare)
        c.prepare(*this);
    m_design.ClearHistory();
    const DesignSnapshot before = Snap(m_design);

    c.act(*this);
    const DesignSnapshot after = Snap(m_design);
    ASSERT_TRUE(after.keys != before.keys || after.bitmaps != before.bitmaps)
        << "the verb changed no record";
    ASSERT_EQ(History().count(), 1);

    m_design.Undo();
    EXPECT_EQ(Snap(m_design), before);
    EXPECT_FALSE(History().canUndo());
    m_design.Redo();
    EXPECT_EQ(Snap(m_design), after);
    m_design.Undo();
    EXPECT_EQ(Snap(m_design), before);
}

const QPoint kKey0{150, 130};
const QPoint kKey1{350, 130};
const QPoint kBitmap{520, 310};

INSTANTIATE_TEST_SUITE_P(
    Verbs, UndoVerb,
    ::testing::Values(
        VerbCase{"DrawKey", nullptr,
                 [](Undo& t) {
                     t.ChooseType(CQXPanObjDlg::TypeFreeFuncRound, 2);
                     t.Drag({50, 400}, {150, 470});
                 }},
        VerbCase{"DrawBitmap", nullptr,
                 [](Undo& t) {
                     t.ChooseType(CQXPanObjDlg::TypePlaceBitmap, t.BitmapRow("second"));
                     t.Drag({50, 400}, {150, 470});
                 }},
        VerbCase{"DropBitmapRow", nullptr,
                 [](Undo& t) {
                     t.ChooseType(CQXPanObjDlg::TypePlaceBitmap, t.BitmapRow("first"));
                     t.Drop({600, 450});
                 }},
        VerbCase{"MoveKey", nullptr,
                 [](Undo& t) {
                     t.Drag(kKey0, {183, 171});
                 }},
        // The bottom-right handle of key 1 lies on its corner (400, 160).
        VerbCase{"ResizeKey", nullptr,
                 [](Undo& t) {
                     t.Drag({400, 160}, {437, 205});
                 }},
        VerbCase{"MoveBitmap", nullptr,
                 [](Undo& t) {
                     t.Drag(kBitmap, {611, 401});
                 }},
        VerbCase{"DeleteFirstKey", [](Undo& t) { t.Click(kKey0); },
                 [](Undo& t) {
                     t.m_design.EditCommand(CQXPanDesignDlg::kKeyDelete, 0);
                 }},
        VerbCase{"DeleteBitmap", [](Undo& t) { t.Click(kBitmap); },
                 [](Undo& t) {
                     t.m_design.EditCommand(CQXPanDesignDlg::kKeyDelete, 0);
                 }},
        VerbCase{"CutKey", [](Undo& t) { t.Click(kKey0); },
                 [](Undo& t) {
                     t.m_design.EditCommand(CQXPanDesignDlg::kKeyCut, CQXPanDesignDlg::kEditFlag);
                 }},
        VerbCase{"PasteKey",
                 [](Undo& t) {
                     t.Click(kKey1);
                     t.m_design.EditCommand(CQXPanDesignDlg::kKeyCopy, CQXPanDesignDlg::kEditFlag);
                     t.m_design.m_ptPaste = QPoint(600, 500);
                 },
                 [](Undo& t) {
                     t.m_design.EditCommand(CQXPanDesignDlg::kKeyPaste, CQXPanDesignDlg::kEditFlag);
                 }},
        VerbCase{"PasteBitmap",
                 [](Undo& t) {
                     t.Click(kBitmap);
                     t.m_design.EditCommand(CQXPanDesignDlg::kKeyCopy, CQXPanDesignDlg::kEditFlag);
                     t.m_design.m_ptPaste = QPoint(10, 500);
                 },
                 [](Undo& t) {
                     t.m_design.EditCommand(CQXPanDesignDlg::kKeyPaste, CQXPanDesignDlg::kEditFlag);
                 }},
        VerbCase{"DropRowOnKey", nullptr,
                 [](Undo& t) {
                     t.ChooseType(CQXPanObjDlg::TypeFreeFuncRect, 3);
                     t.Drop(kKey1);
                 }},
        VerbCase{"PropertiesAccepted", [](Undo& t) { t.Click(kKey0); },
                 [](Undo& t) {
                     t.DoubleClickAndAccept(kKey0, [&t] {
                         t.m_objDlg.m_edLeft->setText(QStringLiteral("111"));
                         t.m_objDlg.m_edLine1->setText(QStringLiteral("CHANGED"));
                         t.m_objDlg.m_edLine2->setText(QStringLiteral("LINE 2"));
                     });
                 }},
        VerbCase{"NudgeBurst", [](Undo& t) { t.Click(kKey1); },
                 [](Undo& t) {
                     t.Key(Qt::Key_Right);
                     t.Key(Qt::Key_Right, Qt::ShiftModifier);
                     t.Key(Qt::Key_Down);
                     t.Key(Qt::Key_Up, Qt::ShiftModifier);
                 }}),
    [](const ::testing::TestParamInfo<VerbCase>& info) { return std::string(info.param.name); });

// --- Steps: a drag is one, a burst of arrow presses is one -------------------------------

TEST_F(Undo, DragOfTenMouseStepsIsOneStep)
{
    const DesignSnapshot before = Snap(m_design);
    Drag(kKey0, kKey0 + QPoint(100, 50), 10);
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect(), (QXPanRect{200, 150, 300, 210}));
    EXPECT_EQ(History().count(), 1);
    m_design.Undo();
    EXPECT_EQ(Snap(m_design), before);
}

TEST_F(Undo, PressWithoutMovementIsNoStep)
{
    Click(kKey0);
    EXPECT_TRUE(m_design.m_bModified);
    EXPECT_EQ(History().count(), 0);
}

TEST_F(Undo, UndoFollowsTheObjectAndDropsTheSelectionOfARemovedOne)
{
    Drag(kBitmap, {611, 401});
    Click(kKey1);
    m_design.EditCommand(CQXPanDesignDlg::kKeyDelete, 0);
    ASSERT_EQ(History().count(), 2);

    m_design.Undo(); // the key is back and selected, its type current
    EXPECT_TRUE(m_design.m_SelRect.isVisible());
    EXPECT_EQ(m_design.m_SelRect.m_nObjIndex, 1);
    EXPECT_EQ(m_objDlg.m_nObjType, CQXPanObjDlg::TypeFreeFuncRect);
    EXPECT_EQ(m_objDlg.EditObject(), &m_design.m_KeyObjs[1]);
    m_design.EditCommand(CQXPanDesignDlg::kKeyDelete, 0); // deletes the key, not a bitmap
    EXPECT_EQ(m_design.m_KeyObjs.size(), 1);
    EXPECT_EQ(m_design.m_BmpObjs.size(), 1);
    m_design.Undo();

    m_design.Undo(); // the move of the bitmap: it follows as the selected bitmap
    EXPECT_EQ(m_objDlg.m_nObjType, CQXPanObjDlg::TypePlaceBitmap);
    EXPECT_EQ(m_design.m_SelRect.m_nObjIndex, 0);
    EXPECT_EQ(m_objDlg.EditObject(), nullptr);

    m_design.Redo();
    m_design.Redo(); // the delete again: nothing left to select
    EXPECT_FALSE(m_design.m_SelRect.isVisible());
    EXPECT_EQ(m_design.m_SelRect.m_nObjIndex, -1);
}

TEST_F(Undo, ModifiedMarkFollowsTheHistory)
{
    Drag(kKey0, {183, 171});
    EXPECT_TRUE(m_design.m_bModified);
    m_design.Undo();
    EXPECT_FALSE(m_design.m_bModified); // the design is as it was loaded
    m_design.Redo();
    EXPECT_TRUE(m_design.m_bModified);
}

struct IgnoredMode
{
    const char* name;
    int mode;
};

void PrintTo(const IgnoredMode& c, std::ostream* os)
{
    *os << c.name;
}

class UndoWhileBusy : public Undo, public ::testing::WithParamInterface<IgnoredMode>
{};

TEST_P(UndoWhileBusy, UndoRedoAndArrowsWait)
{
    Click(kKey1);
    Key(Qt::Key_Left);
    const DesignSnapshot moved = Snap(m_design);
    m_design.Undo();
    const DesignSnapshot back = Snap(m_design);
    m_design.Redo();
    m_objDlg.m_nMode = GetParam().mode;
    if (GetParam().mode == 3)
        m_design.grabMouse(); // the row is still being dragged
    m_design.Undo();
    EXPECT_EQ(Snap(m_design), moved);
    Key(Qt::Key_Left);
    EXPECT_EQ(Snap(m_design), moved);
    if (GetParam().mode == 3)
        m_design.releaseMouse();
    m_objDlg.m_nMode = kIdle;
    m_design.Undo();
    EXPECT_EQ(Snap(m_design), back);
}

INSTANTIATE_TEST_SUITE_P(Undo, UndoWhileBusy,
                         ::testing::Values(IgnoredMode{"RowDragged", 3},
                                           IgnoredMode{"ButtonDown", 5}),
                         [](const ::testing::TestParamInfo<IgnoredMode>& info) {
                             return std::string(info.param.name);
                         });

// --- Keyboard nudging ------------------------------------------------------------------

struct EdgeCase
{
    const char* name;
    QXPanRect start;
    Qt::Key key;
    QXPanRect stop; // where ten presses of Shift+arrow end
};

void PrintTo(const EdgeCase& c, std::ostream* os)
{
    *os << c.name;
}

class NudgeEdge : public Undo, public ::testing::WithParamInterface<EdgeCase>
{};

TEST_P(NudgeEdge, StopsAtTheEdgeOfTheDesignArea)
{
    const EdgeCase& c = GetParam();
    m_design.m_KeyObjs[0].SetDisplayRect(c.start);
    Click(kKey0 + QPoint(c.start.left - 100, c.start.top - 100));
    ASSERT_EQ(m_design.m_SelRect.m_nObjIndex, 0);
    for (int i = 0; i < 10; ++i)
        Key(c.key, Qt::ShiftModifier);
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect(), c.stop);

    // The register rectangle is the one a record placed there by the mouse gets.
    CQXPanKeyObj placed = m_design.m_KeyObjs[1];
    placed.SetDisplayRect(c.stop);
    EXPECT_EQ(m_design.m_KeyObjs[0].RegisterRect(), placed.RegisterRect());
    // The frame sits on the object.
    QXPanRect frame;
    m_design.m_SelRect.GetPartRect(frame, 0);
    EXPECT_EQ(frame, c.stop);
}

INSTANTIATE_TEST_SUITE_P(
    Undo, NudgeEdge,
    ::testing::Values(EdgeCase{"Left", {30, 100, 130, 160}, Qt::Key_Left, {0, 100, 100, 160}},
                      EdgeCase{"Up", {100, 25, 200, 85}, Qt::Key_Up, {100, 0, 200, 60}},
                      EdgeCase{"Right", {660, 100, 760, 160}, Qt::Key_Right, {699, 100, 799, 160}},
                      EdgeCase{"Down", {100, 500, 200, 560}, Qt::Key_Down, {100, 539, 200, 599}}),
    [](const ::testing::TestParamInfo<EdgeCase>& info) { return std::string(info.param.name); });

TEST_F(Undo, NudgeBackFromTheEdgeStartsAtOnce)
{
    m_design.m_KeyObjs[0].SetDisplayRect({690, 100, 790, 160});
    Click({740, 130});
    for (int i = 0; i < 3; ++i)
        Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect().right, 799);
    Key(Qt::Key_Left);
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect(), (QXPanRect{698, 100, 798, 160}));
}

// Twin keys: one nudged with the keyboard, one dragged by the mouse by the same distance. The
// records must agree byte for byte, register rectangle included.
struct TwinCase
{
    const char* name;
    std::vector<std::pair<Qt::Key, bool>> presses; // key, with Shift
    QPoint delta;
};

void PrintTo(const TwinCase& c, std::ostream* os)
{
    *os << c.name;
}

class NudgeLikeDrag : public Undo, public ::testing::WithParamInterface<TwinCase>
{};

TEST_P(NudgeLikeDrag, RecordsAgreeWithAMouseMove)
{
    const TwinCase& c = GetParam();
    m_design.m_KeyObjs[1] = m_design.m_KeyObjs[0];
    m_design.m_KeyObjs[1].SetDisplayRect({100, 300, 200, 360});
    Click(kKey0);
    for (const auto& [key, shift] : c.presses)
        Key(key, shift ? Qt::ShiftModifier : Qt::NoModifier);
    Drag({150, 330}, QPoint(150, 330) + c.delta);

    const CQXPanKeyObj& nudged = m_design.m_KeyObjs[0];
    const CQXPanKeyObj& dragged = m_design.m_KeyObjs[1];
    EXPECT_EQ(nudged.DisplayRect().left, dragged.DisplayRect().left);
    EXPECT_EQ(nudged.DisplayRect().top + 200, dragged.DisplayRect().top);
    const QXPanRect a = nudged.RegisterRect();
    const QXPanRect b = dragged.RegisterRect();
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.right, b.right);
    EXPECT_EQ(a.bottom - a.top, b.bottom - b.top);
}

INSTANTIATE_TEST_SUITE_P(Undo, NudgeLikeDrag,
                         ::testing::Values(TwinCase{"OneRight", {{Qt::Key_Right, false}}, {1, 0}},
                                           TwinCase{"ThreeRightOneDown",
                                                    {{Qt::Key_Right, false},
                                                     {Qt::Key_Right, false},
                                                     {Qt::Key_Right, false},
                                                     {Qt::Key_Down, false}},
                                                    {3, 1}},
                                           TwinCase{"ShiftLeftAndUp",
                                                    {{Qt::Key_Left, true},
                                                     {Qt::Key_Left, true},
                                                     {Qt::Key_Up, true},
                                                     {Qt::Key_Right, false}},
                                                    {-19, -10}},
                                           TwinCase{"SevenRight",
                                                    {{Qt::Key_Right, true},
                                                     {Qt::Key_Left, false},
                                                     {Qt::Key_Left, false},
                                                     {Qt::Key_Left, false}},
                                                    {7, 0}}),
                         [](const ::testing::TestParamInfo<TwinCase>& info) {
                             return std::string(info.param.name);
                         });

// Presses at the given times (ms) on key 1; how many undo steps they make.
struct BurstCase
{
    const char* name;
    std::vector<qint64> times;
    int steps;
};

void PrintTo(const BurstCase& c, std::ostream* os)
{
    *os << c.name;
}

class NudgeBurst : public Undo, public ::testing::WithParamInterface<BurstCase>
{};

TEST_P(NudgeBurst, PressesWithinASecondMakeOneStep)
{
    const BurstCase& c = GetParam();
    qint64 now = 0;
    m_design.SetNudgeClock([&now] { return now; });
    Click(kKey1);
    const DesignSnapshot before = Snap(m_design);
    for (qint64 t : c.times) {
        now = t;
        Key(Qt::Key_Right);
    }
    EXPECT_EQ(m_design.m_KeyObjs[1].DisplayRect().left, 300 + int(c.times.size()));
    EXPECT_EQ(History().count(), c.steps);
    for (int i = 0; i < c.steps; ++i)
        m_design.Undo();
    EXPECT_EQ(Snap(m_design), before);
}

INSTANTIATE_TEST_SUITE_P(Undo, NudgeBurst,
                         ::testing::Values(BurstCase{"HeldKey", {0, 30, 60, 90, 120, 150}, 1},
                                           BurstCase{"SlowButSteady", {0, 900, 1800, 2700}, 1},
                                           BurstCase{"PauseEndsTheBurst", {0, 100, 1101, 1200}, 2},
                                           BurstCase{"TwoPauses", {0, 2000, 4000}, 3}),
                         [](const ::testing::TestParamInfo<BurstCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(Undo, AnotherObjectOrCommandEndsTheBurst)
{
    qint64 now = 0;
    m_design.SetNudgeClock([&now] { return now; });
    Click(kKey1);
    Key(Qt::Key_Right);
    now = 10;
    Click(kKey0); // selecting is no command, but the next presses move another object
    Key(Qt::Key_Right);
    EXPECT_EQ(History().count(), 2);

    now = 20;
    m_design.EditCommand(CQXPanDesignDlg::kKeyCopy, CQXPanDesignDlg::kEditFlag);
    m_design.m_ptPaste = QPoint(600, 500);
    m_design.EditCommand(CQXPanDesignDlg::kKeyPaste, CQXPanDesignDlg::kEditFlag);
    Click(kKey0);
    now = 30;
    Key(Qt::Key_Right);
    EXPECT_EQ(History().count(), 4);

    // Undone and redone, a burst is closed: the next press is a step of its own.
    m_design.Undo();
    m_design.Redo();
    now = 40;
    Key(Qt::Key_Right);
    EXPECT_EQ(History().count(), 5);
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect().left, 103);
}

TEST_F(Undo, ArrowsWithoutASelectionDoNothing)
{
    const DesignSnapshot before = Snap(m_design);
    Key(Qt::Key_Right);
    Click({700, 550}); // empty space
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Snap(m_design), before);
    EXPECT_EQ(History().count(), 0);
}

TEST_F(Undo, DeleteKeyIsTheDeleteCommandAndEscDropsTheSelection)
{
    Click(kKey0);
    EXPECT_TRUE(m_design.hasFocus());
    Key(Qt::Key_Escape);
    EXPECT_FALSE(m_design.m_SelRect.isVisible());
    Key(Qt::Key_Delete); // nothing selected
    EXPECT_EQ(m_design.m_KeyObjs.size(), 2);

    Click(kKey0);
    Key(Qt::Key_Delete);
    ASSERT_EQ(m_design.m_KeyObjs.size(), 1);
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect().left, 300);
    m_design.Undo();
    ASSERT_EQ(m_design.m_KeyObjs.size(), 2);
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect().left, 100);
}

TEST_F(Undo, NewChangeDropsWhatWasUndone)
{
    Drag(kKey0, {183, 171});
    m_design.Undo();
    EXPECT_TRUE(History().canRedo());
    Drag(kKey1, {383, 171});
    EXPECT_FALSE(History().canRedo());
    EXPECT_EQ(History().count(), 1);
}

} // namespace
