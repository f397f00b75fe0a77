// Catches: undo/redo not restoring the exact records, a wrong verb, split steps or merged nudges.
#include "DesignAreaFixture.h"

namespace {

// Two free-function keys (at 150,130 and 350,130) and a placed bitmap (at 520,310); nothing
// modified, no history.
class UndoDesign : public DesignArea
{
public:
    UndoDesign()
    {
        Reset({MakeKey({100, 100, 200, 160}, QXPanObj::TypeFreeFuncRect, 1),
               MakeKey({300, 100, 400, 160}, QXPanObj::TypeFreeFuncRect, 2)},
              {MakeBitmap(1, {500, 300, 540, 320})});
        m_objDlg.m_nObjType = QXPanObj::TypeBackground;
    }
    /// Everything undo must put back, a line per object: each key's record and cell colours,
    /// each bitmap's image, name and rectangles; the modified mark last.
    std::string Snap() const
    {
        QStringList lines;
        for (const CQXPanKeyObj& k : m_design.m_KeyObjs)
            lines << QByteArray(reinterpret_cast<const char*>(k.m_Record.data()), 62).toHex() +
                         QString::asprintf(" %s %u %u %u", qPrintable(Text(k.DisplayRect())),
                                           k.m_Cell.m_clrFill, k.m_Cell.m_clrLabel,
                                           k.m_Cell.m_clrLabelBk);
        for (const CQXPanBmpObj& b : m_design.m_BmpObjs)
            lines << QStringLiteral("%1 %2 %3 %4")
                         .arg(quintptr(b.m_pImage))
                         .arg(b.m_strFileName, Text(b.m_rcRegister), Text(b.DisplayRect()));
        lines << (m_design.m_bModified ? "modified" : "unmodified");
        return lines.join('\n').toStdString();
    }
    QUndoStack& History() { return m_design.UndoStack(); }
};

class Undo : public ::testing::Test, public UndoDesign
{};

// Every verb, reached by the mouse, the keys or the context menu, is one step with its name;
// undone, redone and undone it gives back the exact records, the modified mark included.
TEST(UndoVerbs, EachVerbIsOneNamedStepThatRestoresTheExactRecords)
{
    const int round = QXPanObj::TypeFreeFuncRound, bitmap = QXPanObj::TypePlaceBitmap;
    const std::tuple<const char*, int, int, const char*, const char*> rows[] = {
        // verb, type and row chosen, preparation (no change), change
        {"Create", round, 2, "", "drag 50,400 150,470"},
        {"Create", bitmap, 2, "", "drag 50,400 150,470"},
        {"Create", bitmap, 1, "", "drop 600,450"},
        {"Move", -1, 0, "", "drag 150,130 183,171"},
        {"Resize", -1, 0, "", "drag 400,160 437,205"},
        {"Move", -1, 0, "", "drag 520,310 611,401"},
        {"Delete", -1, 0, "click 150,130", "Del"},
        {"Delete", -1, 0, "click 520,310", "Del"},
        {"Cut", -1, 0, "", "cut 150,130"},
        {"Paste", -1, 0, "copy 350,130", "paste 600,500"},
        {"Paste", -1, 0, "copy 520,310", "paste 10,500"},
        {"Drop", QXPanObj::TypeFreeFuncRect, 3, "", "drop 350,130"},
        {"Properties", -1, 0, "click 150,130", ""}, // the change: OK in the dialog below
        {"Nudge", -1, 0, "click 150,130", "Right; Shift+Right; Down; Shift+Up"}};
    for (const auto& [verb, type, row, prepare, change] : rows) {
        SCOPED_TRACE(testing::Message() << verb << " " << change);
        UndoDesign t;
        if (type >= 0)
            t.ChooseType(type, row);
        t.Do(prepare);
        t.m_design.ClearHistory();
        const std::string before = t.Snap();
        if (*change)
            t.Do(change);
        else
            t.DoubleClick({150, 130}, [&t] {
                t.m_objDlg.m_edLeft->setText(QStringLiteral("111"));
                t.m_objDlg.m_edLine1->setText(QStringLiteral("CHANGED"));
                t.m_objDlg.m_edLine2->setText(QStringLiteral("LINE 2"));
                QTest::mouseClick(t.m_objDlg.m_btnOk, Qt::LeftButton);
            });
        const std::string after = t.Snap();
        ASSERT_NE(after.substr(0, after.rfind('\n')), before.substr(0, before.rfind('\n')));
        QString steps = t.History().undoText() + QString::number(t.History().count());
        for (bool undo : {true, false, true}) { // each state named; anything else shown whole
            undo ? t.m_design.Undo() : t.m_design.Redo();
            const std::string now = t.Snap();
            steps += QString::fromStdString(now == before  ? " before"
                                            : now == after ? " after"
                                                           : now);
            steps += QString::number(t.History().canUndo());
        }
        EXPECT_EQ(steps, QString::fromLatin1(verb) + "1 before0 after1 before0");
    }
}

// A press alone is no step, a drag of many moves is one, and the undone object is selected again.
TEST_F(Undo, StepsHistoryAndSelectionFollowTheChanges)
{
    Do("click 150,130");
    EXPECT_EQ(History().count(), 0);
    Drag({150, 130}, {250, 180}, 10);
    EXPECT_EQ(Layout() + std::to_string(History().count()),
              "200,150,300,210 300,100,400,160 | 500,300,540,3201");
    Do("undo; drag 520,310 611,401");
    Do("click 350,130; Del; undo"); // the key is back, selected, its type current
    EXPECT_EQ(Selected() + std::to_string(m_objDlg.m_nObjType), "key 16");
    EXPECT_EQ(m_objDlg.EditObject(), &m_design.m_KeyObjs[1]);
    Do("Del"); // deletes that key, not a bitmap
    EXPECT_EQ(Layout(), "100,100,200,160 | 591,391,631,411");
    Do("undo; redo"); // the delete again: nothing left to select
    EXPECT_EQ(Selected() + std::to_string(m_design.m_SelRect.m_nObjIndex), "none-1");
}

// Presses less than a second apart make one step; a pause, another object or a command (undo
// too) starts a new one; without a selection the arrows do nothing.
TEST_F(Undo, ArrowBurstsMakeOneStepEach)
{
    qint64 now = 0;
    m_design.SetNudgeClock([&now] { return now; });
    for (const auto& [times, steps] :
         {std::pair{std::vector<qint64>{0, 900, 1800, 2700}, 1}, {{0, 100, 1101, 1200}, 2}}) {
        SCOPED_TRACE(times.back());
        m_design.ClearHistory();
        Click({350, 130});
        const std::string before = Snap();
        for (qint64 t : times) {
            now = t;
            Do("Right");
        }
        EXPECT_EQ(m_design.m_KeyObjs[1].DisplayRect().left, 300 + int(times.size()));
        EXPECT_EQ(History().count(), steps);
        while (History().canUndo())
            m_design.Undo();
        EXPECT_EQ(Snap(), before);
    }
    m_design.ClearHistory(); // what was undone cannot come back either
    EXPECT_FALSE(History().canRedo());
    m_design.m_ptPaste = QPoint(600, 500);
    Do("click 350,130; Right; click 150,130; Right; Ctrl+C; Ctrl+V; click 150,130; Right");
    EXPECT_EQ(History().count(), 4);
    Do("undo; redo; Right");
    EXPECT_EQ(History().count(), 5);
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect().left, 103);
    const std::string last = Snap();
    m_design.Deselect();
    Do("Right; click 700,550; Shift+Down");
    EXPECT_EQ(Snap(), last);
}

} // namespace
