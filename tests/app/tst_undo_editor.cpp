#include "AppTestEnvironment.h"

#include "app/CQXPanMainDlg.h"
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "image/CDibImage.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

namespace {

constexpr int kBackground = 0;
constexpr int kTableRect = 2;

// What New, Open and a background choice change, and undo must give back.
struct EditorState
{
    std::vector<QByteArray> keys; // 62 register bytes and the display rectangle
    std::vector<QString> bitmaps; // file name and both rectangles
    QImage background;
    int listSel = -1;
    bool modified = false;
    bool operator==(const EditorState&) const = default;
};

void PrintTo(const EditorState& s, std::ostream* os)
{
    *os << s.keys.size() << " keys, " << s.bitmaps.size() << " bitmaps, background "
        << s.background.width() << "x" << s.background.height() << ", list position " << s.listSel
        << ", modified " << s.modified;
}

EditorState State(const CQXPanMainDlg& dlg)
{
    EditorState s;
    for (const CQXPanKeyObj& key : dlg.m_DesignDlg.m_KeyObjs) {
        QByteArray bytes(reinterpret_cast<const char*>(key.m_Record.data()), 62);
        const QXPanRect& r = key.DisplayRect();
        bytes += QByteArray::number(r.left) + ',' + QByteArray::number(r.top) + ',' +
                 QByteArray::number(r.right) + ',' + QByteArray::number(r.bottom);
        s.keys.push_back(bytes);
    }
    for (const CQXPanBmpObj& bmp : dlg.m_DesignDlg.m_BmpObjs) {
        const QXPanRect& r = bmp.m_rcRegister;
        const QXPanRect& d = bmp.DisplayRect();
        s.bitmaps.push_back(QStringLiteral("%1 %2,%3,%4,%5 %6,%7,%8,%9")
                                .arg(bmp.m_strFileName)
                                .arg(r.left)
                                .arg(r.top)
                                .arg(r.right)
                                .arg(r.bottom)
                                .arg(d.left)
                                .arg(d.top)
                                .arg(d.right)
                                .arg(d.bottom));
    }
    s.background = dlg.m_DesignDlg.m_Background.Image();
    s.listSel = dlg.m_nListSel;
    s.modified = dlg.m_DesignDlg.m_bModified;
    return s;
}

void WriteBitmap(const QString& path, int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, "BMP"));
}

// The editor on check window 22, active, with two background bitmaps and one placed bitmap.
// Members are public: the parameter tables drive the fixture.
class UndoEditor : public ::testing::Test
{
public:
    void SetUp() override
    {
        WriteBitmap(env.Folder("back") + "/grass.bmp", 20, 10, QColor(0, 160, 0));
        WriteBitmap(env.Folder("back") + "/sky.bmp", 16, 12, QColor(0, 0, 200));
        WriteBitmap(env.Folder("placed") + "/logo.bmp", 64, 32, QColor(200, 0, 0));
        ASSERT_TRUE(dlg.OnInitDialog());
        dlg.show();
        dlg.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
        ChooseImageType(1);
    }

    QMenu* EditMenu()
    {
        for (QAction* top : dlg.findChild<QMenuBar*>()->actions()) {
            if (top->text() == QStringLiteral("Edit(&E)"))
                return top->menu();
        }
        return nullptr;
    }
    QAction* MenuAction(int id)
    {
        for (QAction* action : EditMenu()->actions()) {
            if (!action->isSeparator() && action->data().toInt() == id)
                return action;
        }
        return nullptr;
    }
    void ChooseImageType(int index)
    {
        dlg.m_cbImageType->setCurrentIndex(index);
        dlg.OnImageTypeChange();
    }
    void ChooseObjectType(int type)
    {
        dlg.m_cbObjectType->setCurrentIndex(type);
        dlg.OnObjectTypeChange();
    }
    void ChooseBackground(const QString& name)
    {
        ChooseObjectType(kBackground);
        for (size_t row = 1; row < dlg.m_ObjDlg.m_BgList.size(); ++row) {
            if (dlg.m_ObjDlg.m_BgList[row].m_strCol1 == name) {
                dlg.SelectListPosition(int(row) - 1);
                return;
            }
        }
        ADD_FAILURE() << "no background " << name.toStdString();
    }
    CQXPanDesignDlg* design() { return &dlg.m_DesignDlg; }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(design(), Qt::LeftButton, {}, from);
        QTest::mouseMove(design(), to);
        QTest::mouseRelease(design(), Qt::LeftButton, {}, to);
    }
    void DrawTable(QPoint from, QPoint to)
    {
        ChooseObjectType(kTableRect);
        Drag(from, to);
    }
    void Keys(QKeySequence sequence)
    {
        const QKeyCombination combination = sequence[0];
        QTest::keyClick(design(), combination.key(), combination.keyboardModifiers());
    }
    int CurrentListPosition() const
    {
        QTreeWidgetItem* item = dlg.m_lcItems->currentItem();
        return item && item->isSelected() ? dlg.m_lcItems->indexOfTopLevelItem(item) : -1;
    }

    AppTestEnvironment env;
    CQXPanMainDlg dlg{env.app.get()};
};

TEST_F(UndoEditor, EditMenuEndsWithUndoAndRedo)
{
    const QList<QAction*> actions = EditMenu()->actions();
    ASSERT_EQ(actions.size(), 6);
    EXPECT_EQ(actions[0]->data().toInt(), ID_EDIT_CUT);
    EXPECT_EQ(actions[1]->data().toInt(), ID_EDIT_COPY);
    EXPECT_EQ(actions[2]->data().toInt(), ID_EDIT_PASTE);
    EXPECT_TRUE(actions[3]->isSeparator());
    EXPECT_EQ(actions[4]->text(), QStringLiteral("Undo(&U)"));
    EXPECT_EQ(actions[4]->data().toInt(), ID_EDIT_UNDO);
    EXPECT_EQ(actions[4]->shortcuts(), QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Z"))});
    EXPECT_EQ(actions[5]->text(), QStringLiteral("Redo(&R)"));
    EXPECT_EQ(actions[5]->data().toInt(), ID_EDIT_REDO);
    EXPECT_EQ(actions[5]->shortcuts(),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                                   QKeySequence(QStringLiteral("Ctrl+Y"))}));

    QAction* undo = actions[4];
    QAction* redo = actions[5];
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    DrawTable({300, 200}, {400, 260});
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    undo->trigger();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
    redo->trigger();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
}

TEST_F(UndoEditor, ShortcutsTakeBackAndRedoAMistakenDelete)
{
    const qsizetype before = design()->m_KeyObjs.size();
    DrawTable({300, 200}, {400, 260});
    ASSERT_EQ(design()->m_KeyObjs.size(), before + 1);
    const QXPanRect drawn = design()->m_KeyObjs.last().DisplayRect();
    Keys(QKeySequence(Qt::Key_Delete));
    ASSERT_EQ(design()->m_KeyObjs.size(), before);

    Keys(QKeySequence(QStringLiteral("Ctrl+Z")));
    ASSERT_EQ(design()->m_KeyObjs.size(), before + 1);
    EXPECT_EQ(design()->m_KeyObjs.last().DisplayRect(), drawn);
    Keys(QKeySequence(QStringLiteral("Ctrl+Y")));
    EXPECT_EQ(design()->m_KeyObjs.size(), before);
    Keys(QKeySequence(QStringLiteral("Ctrl+Z")));
    Keys(QKeySequence(QStringLiteral("Ctrl+Z"))); // the drawing itself
    EXPECT_EQ(design()->m_KeyObjs.size(), before);
    Keys(QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
    EXPECT_EQ(design()->m_KeyObjs.size(), before + 1);
}

TEST_F(UndoEditor, CtrlXCVActAsTheMenuItems)
{
    const qsizetype before = design()->m_KeyObjs.size();
    DrawTable({300, 200}, {400, 260});
    Keys(QKeySequence(QStringLiteral("Ctrl+C")));
    design()->m_ptPaste = QPoint(600, 500); // the menu's Paste puts it at (5, 5)
    Keys(QKeySequence(QStringLiteral("Ctrl+V")));
    ASSERT_EQ(design()->m_KeyObjs.size(), before + 2);
    EXPECT_EQ(design()->m_KeyObjs.last().DisplayRect(), (QXPanRect{5, 5, 105, 65}));

    // The drawn table is still selected: Ctrl+X takes it out, Ctrl+Z puts it back in place.
    Keys(QKeySequence(QStringLiteral("Ctrl+X")));
    ASSERT_EQ(design()->m_KeyObjs.size(), before + 1);
    EXPECT_EQ(design()->m_KeyObjs.last().DisplayRect(), (QXPanRect{5, 5, 105, 65}));
    Keys(QKeySequence(QStringLiteral("Ctrl+Z")));
    ASSERT_EQ(design()->m_KeyObjs.size(), before + 2);
    EXPECT_EQ(design()->m_KeyObjs[before].DisplayRect(), (QXPanRect{300, 200, 400, 260}));
}

TEST_F(UndoEditor, EscAndEnterOnTheDesignAreaKeepTheEditorOpen)
{
    DrawTable({300, 200}, {400, 260});
    ASSERT_TRUE(design()->m_SelRect.isVisible());
    Keys(QKeySequence(Qt::Key_Escape));
    EXPECT_FALSE(design()->m_SelRect.isVisible());
    Keys(QKeySequence(Qt::Key_Return));
    Keys(QKeySequence(Qt::Key_Escape));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(env.ui.Calls().size(), 0);
}

// --- New, Open and a background choice -----------------------------------------------------

struct DesignVerb
{
    const char* name;
    std::function<void(UndoEditor&)> prepare;
    std::function<void(UndoEditor&)> act;
};

void PrintTo(const DesignVerb& v, std::ostream* os)
{
    *os << v.name;
}

class UndoDesignVerb : public UndoEditor, public ::testing::WithParamInterface<DesignVerb>
{};

TEST_P(UndoDesignVerb, UndoAndRedoRestoreTheWholeDesign)
{
    const DesignVerb& v = GetParam();
    v.prepare(*this);
    design()->ClearHistory();
    const EditorState before = State(dlg);

    v.act(*this);
    const EditorState after = State(dlg);
    ASSERT_NE(after, before);
    ASSERT_EQ(design()->UndoStack().count(), 1);

    MenuAction(ID_EDIT_UNDO)->trigger();
    EXPECT_EQ(State(dlg), before);
    if (dlg.m_ObjDlg.m_nObjType == kBackground) {
        EXPECT_EQ(CurrentListPosition(), before.listSel);
    }
    MenuAction(ID_EDIT_REDO)->trigger();
    EXPECT_EQ(State(dlg), after);
    if (dlg.m_ObjDlg.m_nObjType == kBackground) {
        EXPECT_EQ(CurrentListPosition(), after.listSel);
    }
    EXPECT_EQ(env.ui.PendingAnswers(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Verbs, UndoDesignVerb,
    ::testing::Values(DesignVerb{"Background",
                                 [](UndoEditor& t) {
                                     t.DrawTable({300, 200}, {400, 260});
                                     t.ChooseBackground(QStringLiteral("sky.bmp"));
                                 },
                                 [](UndoEditor& t) {
                                     t.ChooseBackground(QStringLiteral("grass.bmp"));
                                 }},
                      DesignVerb{"New",
                                 [](UndoEditor& t) {
                                     t.ChooseBackground(QStringLiteral("sky.bmp"));
                                     t.DrawTable({300, 200}, {400, 260});
                                     t.ChooseObjectType(kBackground);
                                 },
                                 [](UndoEditor& t) {
                                     t.env.ui.QueueAnswer(UserInteraction::IDYES);
                                     t.env.ui.QueueFileName(QString()); // the save is cancelled
                                     t.dlg.OnNew();
                                 }},
                      DesignVerb{"Open",
                                 [](UndoEditor& t) {
                                     t.ChooseBackground(QStringLiteral("sky.bmp"));
                                     t.DrawTable({300, 200}, {400, 260});
                                 },
                                 [](UndoEditor& t) {
                                     // The first bitmap background and one round table.
                                     const QString path =
                                         t.env.dir.filePath(QStringLiteral("one.pan"));
                                     QFile file(path);
                                     ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                                     file.write(
                                         "BG:0\r\n"
                                         "0100 0300 0100 0200 0000 0004 0093 0000 0000 0007\r\n"
                                         " \r\nROUND \r\n \r\n");
                                     file.close();
                                     t.env.ui.QueueFileName(path);
                                     t.dlg.OnOpen();
                                     ASSERT_EQ(t.dlg.m_DesignDlg.m_KeyObjs.size(), 1);
                                 }}),
    [](const ::testing::TestParamInfo<DesignVerb>& info) { return std::string(info.param.name); });

// --- What ends the history -----------------------------------------------------------------

struct HistoryEnd
{
    const char* name;
    std::function<void(UndoEditor&)> act;
    bool cleared;
};

void PrintTo(const HistoryEnd& h, std::ostream* os)
{
    *os << h.name;
}

class UndoHistoryEnd : public UndoEditor, public ::testing::WithParamInterface<HistoryEnd>
{};

TEST_P(UndoHistoryEnd, OnlyADoneTypeChangeConvertOrRefreshClearsIt)
{
    DrawTable({300, 200}, {400, 260});
    ASSERT_TRUE(design()->UndoStack().canUndo());
    GetParam().act(*this);
    EXPECT_EQ(design()->UndoStack().count() == 0, GetParam().cleared);
    EXPECT_EQ(MenuAction(ID_EDIT_UNDO)->isEnabled(), !GetParam().cleared);
    EXPECT_EQ(env.ui.PendingAnswers(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Undo, UndoHistoryEnd,
    ::testing::Values(HistoryEnd{"TypeChange",
                                 [](UndoEditor& t) {
                                     t.env.ui.QueueAnswer(UserInteraction::IDOK);
                                     t.ChooseImageType(2);
                                 },
                                 true},
                      HistoryEnd{"TypeChangeRefused",
                                 [](UndoEditor& t) {
                                     t.env.ui.QueueAnswer(UserInteraction::IDCANCEL);
                                     t.ChooseImageType(2);
                                 },
                                 false},
                      HistoryEnd{"Convert",
                                 [](UndoEditor& t) {
                                     t.env.ui.QueueAnswer(UserInteraction::IDOK);
                                     t.env.ui.QueueAnswer(UserInteraction::IDOK);
                                     t.dlg.OnConvert();
                                 },
                                 true},
                      HistoryEnd{"ConvertCancelled",
                                 [](UndoEditor& t) {
                                     t.env.ui.QueueAnswer(UserInteraction::IDCANCEL);
                                     t.dlg.OnConvert();
                                 },
                                 false},
                      HistoryEnd{"BitmapLibraryRefreshed",
                                 [](UndoEditor& t) { t.dlg.RefreshAfterBitmapChange(); }, true},
                      HistoryEnd{"Save",
                                 [](UndoEditor& t) {
                                     t.env.ui.QueueFileName(
                                         t.env.dir.filePath(QStringLiteral("kept.pan")));
                                     t.dlg.OnSave();
                                 },
                                 false}),
    [](const ::testing::TestParamInfo<HistoryEnd>& info) { return std::string(info.param.name); });

} // namespace
