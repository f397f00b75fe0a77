// Catches: undo/redo not restoring the exact records, a wrong verb, split steps, a nudge too far.
#include "DesignAreaFixture.h"

namespace {

const QPoint kKey0{150, 130}, kKey1{350, 130}, kBitmap{520, 310};
using Presses = std::vector<std::pair<Qt::Key, bool>>; // arrow, with Shift

// Two free-function keys and a placed bitmap; nothing modified, no history.
class UndoDesign : public DesignArea
{
public:
    UndoDesign()
    {
        m_design.m_KeyObjs = {MakeKey({100, 100, 200, 160}, QXPanObj::TypeFreeFuncRect, 1),
                              MakeKey({300, 100, 400, 160}, QXPanObj::TypeFreeFuncRect, 2)};
        m_design.m_BmpObjs = {MakeBitmap(1, {500, 300, 540, 320})};
        m_objDlg.m_nObjType = QXPanObj::TypeBackground;
        m_design.m_bModified = false;
    }
    /// Everything undo must put back, a line per object: each key's record and cell colours,
    /// each bitmap's image, name and rectangles; the modified mark last.
    std::string Snap() const
    {
        QStringList lines;
        for (const CQXPanKeyObj& k : m_design.m_KeyObjs)
            lines << QString::fromLatin1(
                         QByteArray(reinterpret_cast<const char*>(k.m_Record.data()), 62).toHex()) +
                         QStringLiteral(" %1 %2 %3 %4")
                             .arg(Text(k.DisplayRect()))
                             .arg(k.m_Cell.m_clrFill)
                             .arg(k.m_Cell.m_clrLabel)
                             .arg(k.m_Cell.m_clrLabelBk);
        for (const CQXPanBmpObj& b : m_design.m_BmpObjs)
            lines << QStringLiteral("%1 %2 %3 %4")
                         .arg(quintptr(b.m_pImage))
                         .arg(b.m_strFileName, Text(b.m_rcRegister), Text(b.DisplayRect()));
        lines << (m_design.m_bModified ? "modified" : "unmodified");
        return lines.join('\n').toStdString();
    }
    QUndoStack& History() { return m_design.UndoStack(); }
    void Arrows(const Presses& presses)
    {
        for (const auto& [key, shift] : presses)
            Key(key, shift ? Qt::ShiftModifier : Qt::NoModifier);
    }
};

class Undo : public ::testing::Test, public UndoDesign
{};

// Every verb, reached by the mouse, the keys or the context menu, is one step with its name;
// undone and redone it gives back the exact records.
TEST(UndoVerbs, EachVerbIsOneNamedStepThatRestoresTheExactRecords)
{
    using Act = std::function<void(UndoDesign&)>;
    const Act none, clickKey0 = [](UndoDesign&t) {
        t.Click(kKey0);
    };
    const Act draw = [](UndoDesign& t) {
        t.Drag({50, 400}, {150, 470});
    };
    const Act del = [](UndoDesign& t) {
        t.Key(Qt::Key_Delete);
    };
    auto type = [](int type, int row) {
        return [=](UndoDesign& t) {
            t.ChooseType(type, row);
        };
    };
    auto drag = [](QPoint from, QPoint to) {
        return [=](UndoDesign& t) {
            t.Drag(from, to);
        };
    };
    auto menu = [](QPoint at, int id) {
        return [=](UndoDesign& t) {
            t.ContextCommand(at, id);
        };
    };
    const Act properties = [](UndoDesign& t) {
        t.DoubleClick(kKey0, [&t] {
            t.m_objDlg.m_edLeft->setText(QStringLiteral("111"));
            t.m_objDlg.m_edLine1->setText(QStringLiteral("CHANGED"));
            t.m_objDlg.m_edLine2->setText(QStringLiteral("LINE 2"));
            QTest::mouseClick(t.m_objDlg.m_btnOk, Qt::LeftButton);
        });
    };
    const Act nudges = [](UndoDesign& t) {
        t.Arrows({{Qt::Key_Right, false},
                  {Qt::Key_Right, true},
                  {Qt::Key_Down, false},
                  {Qt::Key_Up, true}});
    };
    const std::tuple<const char*, Act, Act> rows[] = {
        // verb, preparation (no change), change
        {"Create", type(QXPanObj::TypeFreeFuncRound, 2), draw},
        {"Create", type(QXPanObj::TypePlaceBitmap, 2), draw},
        {"Create", type(QXPanObj::TypePlaceBitmap, 1),
         [](UndoDesign& t) {
             t.Drop({600, 450});
         }},
        {"Move", none, drag(kKey0, {183, 171})},
        {"Resize", none, drag({400, 160}, {437, 205})},
        {"Move", none, drag(kBitmap, {611, 401})},
        {"Delete", clickKey0, del},
        {"Delete", [](UndoDesign& t) { t.Click(kBitmap); }, del},
        {"Cut", none, menu(kKey0, ID_EDIT_CUT)},
        {"Paste", menu(kKey1, ID_EDIT_COPY), menu({600, 500}, ID_EDIT_PASTE)},
        {"Paste", menu(kBitmap, ID_EDIT_COPY), menu({10, 500}, ID_EDIT_PASTE)},
        {"Drop", type(QXPanObj::TypeFreeFuncRect, 3),
         [](UndoDesign& t) {
             t.Drop(kKey1);
         }},
        {"Properties", clickKey0, properties},
        {"Nudge", clickKey0, nudges}};
    int row = 0;
    for (const auto& [verb, prepare, act] : rows) {
        SCOPED_TRACE(testing::Message() << "row " << row++ << " " << verb);
        UndoDesign t;
        if (prepare)
            prepare(t);
        t.m_design.ClearHistory();
        const std::string before = t.Snap();
        act(t);
        const std::string after = t.Snap();
        ASSERT_NE(after.substr(0, after.rfind('\n')), before.substr(0, before.rfind('\n')));
        ASSERT_EQ(t.History().count(), 1);
        EXPECT_EQ(t.History().undoText(), QString::fromLatin1(verb));
        t.m_design.Undo();
        EXPECT_EQ(t.Snap(), before);
        EXPECT_FALSE(t.History().canUndo());
        t.m_design.Redo();
        EXPECT_EQ(t.Snap(), after);
        t.m_design.Undo();
        EXPECT_EQ(t.Snap(), before);
    }
}

TEST_F(Undo, ADragIsOneStepAndTheModifiedMarkFollowsTheHistory)
{
    const std::string before = Snap();
    Click(kKey0); // a press without movement marks the design but is no step
    EXPECT_TRUE(m_design.m_bModified);
    EXPECT_EQ(History().count(), 0);
    m_design.m_bModified = false;
    Drag(kKey0, kKey0 + QPoint(100, 50), 10);
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect(), (QXPanRect{200, 150, 300, 210}));
    EXPECT_EQ(History().count(), 1);
    m_design.Undo();
    EXPECT_EQ(Snap(), before); // unmodified, as loaded
    m_design.Redo();
    EXPECT_TRUE(m_design.m_bModified);
    m_design.Undo();
    Drag(kKey1, {383, 171}); // a new change drops what was undone
    EXPECT_FALSE(History().canRedo());
    EXPECT_EQ(History().count(), 1);
}

TEST_F(Undo, SelectionFollowsTheUndoneObject)
{
    Drag(kBitmap, {611, 401});
    Click(kKey1);
    Key(Qt::Key_Delete);
    m_design.Undo(); // the key is back, selected, its type current
    EXPECT_EQ(Selected(), "key 1");
    EXPECT_EQ(m_objDlg.m_nObjType, QXPanObj::TypeFreeFuncRect);
    EXPECT_EQ(m_objDlg.EditObject(), &m_design.m_KeyObjs[1]);
    Key(Qt::Key_Delete); // deletes that key, not a bitmap
    EXPECT_EQ(Layout(), "100,100,200,160 | 591,391,631,411");
    m_design.Undo();
    m_design.Undo(); // the bitmap's move: selected as a bitmap
    EXPECT_EQ(Selected(), "bitmap 0");
    EXPECT_EQ(m_objDlg.EditObject(), nullptr);
    m_design.Redo();
    m_design.Redo(); // the delete again: nothing left to select
    EXPECT_EQ(Selected(), "none");
    EXPECT_EQ(m_design.m_SelRect.m_nObjIndex, -1);
}

TEST_F(Undo, UndoRedoAndArrowsWaitWhileARowIsDraggedOrAButtonHeld)
{
    Click(kKey1);
    Key(Qt::Key_Left);
    const std::string moved = Snap();
    for (int mode : {QXPanObj::ModeDragging, QXPanObj::ModeButtonDown}) {
        m_objDlg.m_nMode = mode;
        m_design.grabMouse(); // a row dragged holds the mouse
        m_design.Undo();
        Key(Qt::Key_Left);
        EXPECT_EQ(Snap(), moved) << "mode " << mode;
        m_design.releaseMouse();
    }
    m_objDlg.m_nMode = QXPanObj::ModeIdle;
    m_design.Undo();
    EXPECT_EQ(m_design.m_KeyObjs[1].DisplayRect().left, 300);
}

TEST_F(Undo, NudgeStopsAtEachEdgeAndComesBackAtOnce)
{
    for (auto [start, key, stop] :
         {std::tuple{QXPanRect{30, 100, 130, 160}, Qt::Key_Left, QXPanRect{0, 100, 100, 160}},
          {{100, 25, 200, 85}, Qt::Key_Up, {100, 0, 200, 60}},
          {{660, 100, 760, 160}, Qt::Key_Right, {699, 100, 799, 160}},
          {{100, 500, 200, 560}, Qt::Key_Down, {100, 539, 200, 599}}}) {
        SCOPED_TRACE(key);
        m_design.m_KeyObjs[0].SetDisplayRect(start);
        Click({start.left + 50, start.top + 30});
        Arrows(Presses(10, {key, true}));
        EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect(), stop);
        QXPanRect frame;
        m_design.m_SelRect.GetPartRect(frame, 0);
        EXPECT_EQ(frame, stop);
    }
    Key(Qt::Key_Up);
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect(), (QXPanRect{100, 538, 200, 598}));
}

// Presses less than a second apart make one step; a pause, another object or a command (undo
// too) starts a new one; without a selection the arrows do nothing.
TEST_F(Undo, ArrowBurstsMakeOneStepEach)
{
    qint64 now = 0;
    m_design.SetNudgeClock([&now] { return now; });
    for (const auto& [times, steps] : {std::pair{std::vector<qint64>{0, 30, 60, 90, 120, 150}, 1},
                                       {{0, 900, 1800, 2700}, 1},
                                       {{0, 100, 1101, 1200}, 2},
                                       {{0, 2000, 4000}, 3}}) {
        SCOPED_TRACE(times.back());
        m_design.ClearHistory();
        Click(kKey1);
        const std::string before = Snap();
        for (qint64 t : times) {
            now = t;
            Key(Qt::Key_Right);
        }
        EXPECT_EQ(m_design.m_KeyObjs[1].DisplayRect().left, 300 + int(times.size()));
        EXPECT_EQ(History().count(), steps);
        while (History().canUndo())
            m_design.Undo();
        EXPECT_EQ(Snap(), before);
    }
    m_design.ClearHistory();
    Click(kKey1);
    Key(Qt::Key_Right);
    Click(kKey0);
    Key(Qt::Key_Right);
    EXPECT_EQ(History().count(), 2);
    Key(Qt::Key_C, Qt::ControlModifier);
    m_design.m_ptPaste = QPoint(600, 500);
    Key(Qt::Key_V, Qt::ControlModifier);
    Click(kKey0);
    Key(Qt::Key_Right);
    EXPECT_EQ(History().count(), 4);
    m_design.Undo();
    m_design.Redo();
    Key(Qt::Key_Right);
    EXPECT_EQ(History().count(), 5);
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect().left, 103);

    const std::string last = Snap();
    m_design.Deselect();
    Key(Qt::Key_Right);
    Click({700, 550});
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Snap(), last);
}

} // namespace
