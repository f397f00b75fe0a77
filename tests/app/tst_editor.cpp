// Catches: an editor command not wired, acting on what is not shown, or losing the person's work.
// One case per command through the real widgets; the rules behind each are tested in their folders.
#include "EditorFixture.h"

#include "document/CQXPanDocument.h"
#include "formats/BitmapTableFile.h"
#include "objdlg/CQXPanFillDlg.h"
#include "uikit/QtUserInteraction.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QSpinBox>

namespace {

using Dlg = CQXPanMainDlg;

// Gives a window of FILE795P.TXT count keys (window 797: records 81 on): system key code 777 at
// register (128, 128) - (256, 192), which no row of the branch's system-key list carries.
void WriteTable(const QString& path, int count = 1, int window = 797, const char* text = "KEY")
{
    QList<CQXPanKeyObj> table(BitmapTableFile::kTableSize);
    ASSERT_TRUE(!QFile::exists(path) || // keeps what is there
                BitmapTableFile::ReadFile(path, table).eStatus ==
                    BitmapTableFile::ReadStatus::Read);
    CQXPanKeyObj key;
    key.SetTypeCode(777);
    key.SetShape(1);
    key.SetRegisterRect(128, 128, 256, 192);
    key.SetFillColour(0xFFFFFFu, true);
    key.SetText1(QString::fromLatin1(text));
    CQXPanDocument design;
    design.m_nKeyCapacity = 80;
    design.m_KeyObjs = QList<CQXPanKeyObj>(count, key);
    ASSERT_TRUE(BitmapTableFile::WriteFile(path, table, window, design));
}

class Editor : public EditorFixture
{
public:
    // Chooses an entry of the context menu a right press at pt opens.
    void ContextMenu(QPoint pt, const QString& itemText)
    {
        QTimer::singleShot(0, [itemText] {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(popup, nullptr);
            for (QAction* action : popup->actions())
                if (action->text() == itemText)
                    return QTest::mouseClick(popup, Qt::LeftButton, {},
                                             popup->actionGeometry(action).center());
            popup->close();
            ADD_FAILURE() << "no context menu item " << itemText.toStdString();
        });
        QTest::mouseClick(&design(), Qt::RightButton, {}, pt);
    }
    // A system key, a table and the placed bitmap, drawn with the mouse.
    void Compose()
    {
        Place(kSysKeyRect, "CLERK", {101, 103}, {211, 157});
        DrawTable({57, 350}, {399, 555});
        Place(kPlaceBitmap, "logo.bmp", {503, 41}, {647, 119});
        ASSERT_EQ(Layout(), "101,103,211,157 | 57,350,399,555 | logo.bmp 503,41,647,119");
    }
    // Everything New, Open and a background choice change, and the list row shown.
    QStringList State()
    {
        QStringList s;
        for (const CQXPanKeyObj& key : design().m_KeyObjs)
            s << QString::fromLatin1(
                QByteArray(reinterpret_cast<const char*>(key.m_Record.data()), 62).toHex());
        for (const CQXPanBmpObj& bmp : design().m_BmpObjs)
            s << Rect(bmp.m_rcRegister);
        const QImage& bg = design().m_Background.Image();
        return s << Layout()
                 << Line(qHashBits(bg.constBits(), size_t(bg.sizeInBytes())), dlg.m_nListSel,
                         dlg.m_lcItems->indexOfTopLevelItem(dlg.m_lcItems->currentItem()),
                         design().m_bModified);
    }
};

// A start that stops offers nothing that writes register files, and 795 is never touched.
TEST_F(Editor, AStartThatStopsOffersNothingAndWritesNothing)
{
    env.library->folders.insert(DEFBS_ENV_BACKGROUND, env.Folder("gone/back"));
    WriteTable(env.Program("FILE795P.TXT"));
    const QByteArray table = ReadAll(env.Program("FILE795P.TXT"));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(dlg.OnInitDialog());
    testing::internal::GetCapturedStderr();
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    EXPECT_EQ(Line(dlg.m_cbImageType->count(), design().isVisible()), "0|false");
    for (int id : {Dlg::IDC_CONVERT, Dlg::IDC_NEW, Dlg::IDC_PREVIEW})
        ClickButton(id);
    QTest::keyClick(&dlg, Qt::Key_R, Qt::ControlModifier);
    for (const char* item : {"New(&N)", "Open(&O)", "Save(&S)"})
        EXPECT_FALSE(ChooseMenu(kFile, item)) << item;
    EXPECT_FALSE(ChooseMenu(kEdit, "Paste(&P)"));
    dlg.close();
    EXPECT_EQ(Line(dlg.isVisible(), env.ui.Calls().size(),
                   ReadAll(env.Program("FILE795P.TXT")) == table, env.library->tablesWritten),
              "false|0|true|0");
}

// The stored rectangle is where the window shows, and it is stored again at the close. The other
// ways (none stored, minimized, a real window manager's frame): window-restarts.sh.
TEST_F(Editor, TheWindowsRectangleIsStoredAtTheClose)
{
    env.library->table.rcWindow = QxRect{100, 80, 900, 700};
    Start();
    QTest::qWait(10);
    EXPECT_EQ(dlg.frameGeometry(), QRect(100, 80, 800, 620));
    dlg.OnExitEditor();
    EXPECT_EQ(env.library->table.rcWindow, (QxRect{100, 80, 900, 700}));
}

// Every way of closing asks to save a modified design once, and stores the table.
TEST_F(Editor, EveryWayOfClosingAsksToSaveAModifiedDesign)
{
    for (int way = 0; way < 4; ++way) {
        Dlg d(env.app.get());
        ShowActive(d);
        d.m_DesignDlg.m_bModified = true;
        env.ui.QueueAnswer(UI::IDNO);
        if (way == 0)
            QTest::keyClick(&d, Qt::Key_Escape);
        else if (way == 1)
            QTest::mouseClick(d.GetDlgItem(Dlg::IDCANCEL), Qt::LeftButton);
        else if (way == 2)
            d.close();
        else
            EXPECT_TRUE(::ChooseMenu(&d, kFile, "Exit(&X)"));
        const auto box = env.ui.Calls().last();
        EXPECT_EQ(Line(box.text, box.buttons == UI::MB_YESNO, d.isVisible(), d.result(),
                       env.library->tablesWritten),
                  Line("Would you like to save the data?", true, false, 2, way + 1))
            << way;
    }
    EXPECT_EQ(env.ui.Calls().size(), 4);
}

TEST_F(Editor, ACancelledSaveAtExitKeepsTheEditorOpen)
{
    Start(kWindow22);
    DrawTable({300, 200}, {400, 260});
    Answer({UI::IDYES});
    env.ui.QueueFileName(QString()); // the save dialog is cancelled
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(Line(dlg.isVisible(), env.library->tablesWritten), "true|0");
    Answer({UI::IDNO}); // No is the answer that lets the work go
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
}

// Esc and the close box leave the real Yes/No box unanswered.
TEST(EditorQuestions, EscAndTheCloseBoxDoNotAnswerTheSaveQuestion)
{
    QtUserInteraction real;
    AppTestEnvironment env(&real);
    Dlg dlg(env.app.get());
    ShowActive(dlg);
    dlg.m_DesignDlg.m_bModified = true;
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        QTest::keyClick(box, Qt::Key_Escape);
        seen = Line(box->text(), box->isVisible());
        box->close();
        seen += Line("", box->isVisible());
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(seen, "Would you like to save the data?|true|true"); // open after Esc, after close
    EXPECT_FALSE(dlg.isVisible());                                 // No answered it
}

// Changes that leave the modified mark alone are asked about all the same, until a Save.
class UnmarkedChange : public Editor, public ::testing::WithParamInterface<std::string>
{};

TEST_P(UnmarkedChange, IsAskedAboutAtExitUntilSaved)
{
    WriteTable(env.Program("FILE795P.TXT"));
    Start(kWindow22);
    ASSERT_EQ(design().m_KeyObjs.size(), 1);
    if (GetParam() == "DeleteButton") {
        ContextMenu({150, 120}, "Copy(&C)"); // selects the key without moving it
        ClickButton(Dlg::IDC_DELETE);
    } else {
        ContextMenu({150, 120}, "Cut(&X)");
    }
    ASSERT_TRUE(design().m_KeyObjs.isEmpty());
    ASSERT_FALSE(design().m_bModified);
    if (GetParam() != "SavedCut")
        Answer({UI::IDNO});
    else
        ASSERT_TRUE(File("Save(&S)", env.dir.filePath("kept.pan")));
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(Messages().size(), GetParam() == "SavedCut" ? 0 : 1);
    EXPECT_FALSE(dlg.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Ways, UnmarkedChange,
                         ::testing::Values("DeleteButton", "ContextCut", "SavedCut"));

// The menus keep their groups apart: a separator reads as an empty entry.
TEST_F(Editor, StartShowsTheMenusInTheirGroups)
{
    Start();
    QStringList menus;
    for (QAction* top : dlg.findChild<QMenuBar*>()->actions().mid(0, 2))
        for (QAction* item : top->menu()->actions())
            menus << item->text();
    EXPECT_EQ(menus.join(','), "New(&N),Open(&O),Save(&S),,Exit(&X),Change to old(&H),Cut(&X),"
                               "Copy(&C),Paste(&P),,Undo(&U),Redo(&R)");
}

TEST_F(Editor, AnImageTypeChangeAsksBeforeItClearsTheDesign)
{
    Start(kWindow22);
    DrawTable({300, 300}, {400, 360});
    Answer({UI::IDCANCEL});
    ChooseImageType(kWindow21);
    EXPECT_EQ(Line(Messages().join(','), env.ui.Calls().last().buttons == UI::MB_OKCANCEL,
                   dlg.m_cbImageType->currentIndex(), design().m_KeyObjs.size()),
              Line("Do you want to clear?", true, kWindow22, 1));
    Answer({UI::IDOK});
    ChooseImageType(kWindow21);
    EXPECT_TRUE(design().m_KeyObjs.isEmpty());
}

// Background rows: a bitmap loads, a screen file that cannot be imported says why.
TEST_F(Editor, ABackgroundRowShowsItsPictureOrSaysWhyNot)
{
    WriteAll(env.Program("FILE798P.TXT"),
             "\"C\",\"n:P0798:\"\r\n\"h\",\"x\"\r\n\"f\",\"x\"\r\n000001,\"" +
                 QByteArray(320, '0') + "\"\r\n");
    Start();
    EXPECT_EQ(ShownRow(), "Aempty.bmp"); // never another screen's file at the start
    const auto shown = [this] {
        return Line(design().m_Background.Width(), Button(Dlg::IDC_EDIT)->isEnabled(), ShownRow());
    };
    ClickRow("sky.bmp");
    EXPECT_EQ(shown(), "16|true|sky.bmp");
    Answer({UI::IDOK});
    ClickRow("FILE798P.TXT");
    EXPECT_EQ(Line(Messages().join(','), shown()), "broken header|1024|false|FILE798P.TXT");
}

// A drop ends its drag and gives its function; one that changes nothing says why.
TEST_F(Editor, ADroppedRowGivesItsFunctionOrSaysWhyNot)
{
    Start(kWindow22);
    DrawTable({300, 200}, {400, 260});
    ChooseObjectType(kSysKeyRect);
    DragRowTo("PLU", {600, 500});
    EXPECT_TRUE(ReadoutText().startsWith("Dropped on no key")) << ReadoutText().toStdString();
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    DragRowTo("PLU", {350, 230});
    ASSERT_EQ(design().m_KeyObjs.value(0).GetText1(), "PLU");
    QTest::keyClick(&design(), Qt::Key_Delete); // no press on the area needed first
    EXPECT_TRUE(design().m_KeyObjs.isEmpty());
}

// Tables drawn at uneven places, taken with Shift+drag, lined up from the Arrange menu: equal
// tops and equal gaps on the register, each command one step of Edit > Undo.
TEST_F(Editor, ArrangeMenuLinesUpTheMarqueeSelectionInRegisterPixels)
{
    Start(kWindow22);
    for (const auto& [x, y] : {std::pair{100, 100}, {250, 130}, {380, 90}, {560, 120}})
        DrawTable({x, y}, {x + 80, y + 50});
    QTest::mousePress(&design(), Qt::LeftButton, Qt::ShiftModifier, {50, 50});
    QTest::mouseMove(&design(), {700, 250});
    QTest::mouseRelease(&design(), Qt::LeftButton, Qt::ShiftModifier, {700, 250});
    ASSERT_EQ(design().Selection(), (QList<int>{0, 1, 2, 3}));
    const auto regs = [this] {
        QList<QXPanRect> r;
        for (const CQXPanKeyObj& key : design().m_KeyObjs)
            r << key.RegisterRect();
        return r;
    };
    const QList<QXPanRect> drawn = regs();
    ASSERT_TRUE(ChooseMenu("Arrange(&A)", "Align Top(&T)"));
    // The second from the context menu of one of them, which keeps them all selected.
    QTimer::singleShot(0, [] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        QAction* sub = popup->actions().constLast();
        QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(sub).center());
        QMenu* arrange = sub->menu();
        ASSERT_TRUE(QTest::qWaitFor([arrange] { return arrange->isVisible(); }));
        for (QAction* item : arrange->actions())
            if (item->text() == "Distribute Horizontally(&I)")
                QTest::mouseClick(arrange, Qt::LeftButton, {},
                                  arrange->actionGeometry(item).center());
    });
    QTest::mouseClick(&design(), Qt::RightButton, {}, {290, 100});
    int widths = 0;
    for (const QXPanRect& r : drawn)
        widths += r.Width();
    const int gap = (drawn[3].right - drawn[0].left - widths) / 3;
    QStringList done;
    for (int i = 0, at = drawn[0].left; i < 4; at += drawn[i].Width() + gap, ++i)
        done << Rect(drawn[i].MovedTo(at, drawn[0].top));
    QStringList shown;
    for (const QXPanRect& r : regs())
        shown << Rect(r);
    EXPECT_EQ(shown, done);
    ASSERT_TRUE(ChooseMenu(kEdit, "Undo(&U)"));
    EXPECT_EQ(regs()[1].left, drawn[1].left);
    EXPECT_EQ(regs()[1].top, drawn[0].top);
    ASSERT_TRUE(ChooseMenu(kEdit, "Undo(&U)"));
    EXPECT_EQ(regs(), drawn);
}

// A drawn table filled with 4 x 5 keys of the chosen system key through the dialog's own boxes;
// a typed grid spacing shows the grid, Ctrl+G hides it again.
TEST_F(Editor, FillWithKeysAndTheGridFromTheArrangeMenu)
{
    Start(kWindow22);
    Place(kSysKeyRect, "CLERK", {100, 100}, {700, 500});
    QTimer::singleShot(0, [] {
        auto* fill = qobject_cast<CQXPanFillDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(fill, nullptr);
        QTest::keyClick(fill->m_spGap, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(fill->m_spGap, "12");
        QTest::mouseClick(fill->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
    });
    ASSERT_TRUE(ChooseMenu("Arrange(&A)", "Fill with Keys...(&K)"));
    QTimer::singleShot(0, [] { // a spacing of our own, typed
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box->focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box->focusWidget(), "24");
        QTest::keyClick(box->focusWidget(), Qt::Key_Return);
    });
    ASSERT_TRUE(ChooseMenu("Arrange(&A)", "Grid of Other Pixels...(&O)"));
    EXPECT_EQ(Line(design().GridShown(), design().GridSpacing()), Line(true, 24));
    ASSERT_EQ(design().m_KeyObjs.size(), 20);
    const QXPanRect first = design().m_KeyObjs[0].RegisterRect();
    const QXPanRect next = design().m_KeyObjs[1].RegisterRect();
    EXPECT_EQ(Line(next.left - first.right, design().m_KeyObjs[19].GetText1()), Line(12, "CLERK"));
    ShowActive(dlg); // as the window manager does when the dialog closes
    QTest::keyClick(&dlg, Qt::Key_G, Qt::ControlModifier);
    EXPECT_FALSE(design().GridShown());
}

TEST_F(Editor, CutCopyPasteAndDeleteFromTheMenuBarTheButtonAndTheKeys)
{
    Start(kWindow22);
    DrawTable({300, 200}, {400, 260});
    EXPECT_EQ(design().m_KeyObjs[0].TypeCode(), kQXPanTableCode);
    // The press reaches the dialog's own deselect first, then selects and moves the table.
    Drag({350, 230}, {450, 330});
    EXPECT_EQ(Line(Layout(), design().m_SelRect.isVisible()), "400,300,500,360|true");
    ASSERT_TRUE(ChooseMenu(kEdit, "Copy(&C)")); // the menu bar keeps the selection
    design().m_ptPaste = QPoint(600, 500);      // the menu bar pastes to the corner instead
    ASSERT_TRUE(ChooseMenu(kEdit, "Paste(&P)"));
    EXPECT_EQ(Layout(), "400,300,500,360 | 5,5,105,65");
    ASSERT_TRUE(ChooseMenu(kEdit, "Cut(&X)")); // the moved table is still selected
    EXPECT_EQ(Layout(), "5,5,105,65");
    const auto keys = [this](QKeyCombination k) {
        QTest::keyClick(&design(), k.key(), k.keyboardModifiers());
        return Layout();
    };
    // Undo, redo, undo, undo the paste, redo: the layout after each.
    const QStringList seen = {keys(Qt::CTRL | Qt::Key_Z), keys(Qt::CTRL | Qt::Key_Y),
                              keys(Qt::CTRL | Qt::Key_Z), keys(Qt::CTRL | Qt::Key_Z),
                              keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
    EXPECT_EQ(seen.join(" / "), "400,300,500,360 | 5,5,105,65 / 5,5,105,65 / 400,300,500,360 | "
                                "5,5,105,65 / 400,300,500,360 / 400,300,500,360 | 5,5,105,65");
    keys(Qt::Key_Return); // neither ends the editor
    keys(Qt::Key_Escape);
    keys(Qt::Key_Escape);
    EXPECT_TRUE(dlg.isVisible());
    Drag({50, 30}, {50, 30});
    ClickButton(Dlg::IDC_DELETE);
    EXPECT_EQ(Line(Layout(), design().m_SelRect.isVisible()), "400,300,500,360|false");
    EXPECT_TRUE(env.ui.Calls().isEmpty());
}

// A full window takes no more keys: the line under the area says so.
TEST_F(Editor, APasteThatCannotBeSaysWhy)
{
    WriteTable(env.Program("FILE795P.TXT"), 80);
    Start(kWindow22);
    ContextMenu({150, 120}, "Copy(&C)");
    ASSERT_TRUE(ChooseMenu(kEdit, "Paste(&P)"));
    EXPECT_EQ(Line(design().m_KeyObjs.size(), ReadoutText()),
              "80|This check window already holds 80 keys and tables, as many as it can.");
}

TEST_F(Editor, SaveNewAndOpenKeepAndBringBackTheDesign)
{
    Start(kWindow22);
    ChooseBackground("sky.bmp");
    Compose();
    const QStringList before = State();
    const QString path = env.dir.filePath("design"); // typed without an extension: kept so
    ASSERT_TRUE(File("Save(&S)", path));
    const auto save = env.ui.Calls().last().request;
    EXPECT_EQ(Line(save.filter, bool(save.options & UI::OverwritePrompt), ReadAll(path).left(6)),
              "Data files (*.pan)|true|BG:2\r\n"); // after Aempty, sea
    Answer({UI::IDNO});
    ClickButton(Dlg::IDC_NEW); // answered No: nothing changes
    EXPECT_EQ(Line(Messages().join(','), Layout()),
              Line("Would you like to save the data and creat a new image?", before[3]));
    Answer({UI::IDYES});
    ASSERT_TRUE(File("New(&N)", env.dir.filePath("again.pan")));
    EXPECT_EQ(ReadAll(env.dir.filePath("again.pan")), ReadAll(path));
    // Nothing left, the type shown stays, the first bitmap again.
    EXPECT_EQ(
        Line(Layout(), dlg.m_cbObjectType->currentIndex(), design().m_Background.Width() != 16),
        Line("", kPlaceBitmap, true));
    ASSERT_TRUE(File("Open(&O)", path));
    EXPECT_EQ(Line(env.ui.Calls().last().request.initialName, Messages().size(),
                   dlg.m_cbObjectType->currentIndex(), State()[0], State()[3]),
              Line("*.pan", 2, kPlaceBitmap, before[0], before[3])); // the questions of New only
    ChooseObjectType(kBackground);
    EXPECT_EQ(Line(ShownRow(), design().m_Background.Width()), "sky.bmp|16");
}

// Convert writes the shown window's files after asking, and keeps what another writer gave
// window 21 after the editor read the table.
TEST_F(Editor, ConvertWritesTheShownWindowsFilesAfterAsking)
{
    WriteTable(env.Program("FILE795P.TXT"), 1, 798, "KEY");
    Start(kWindow22);
    Compose();
    WriteTable(env.Program("FILE795P.TXT"), 1, 798, "OTHER");
    const QByteArray other = ReadAll(env.Program("FILE795P.TXT"));
    Convert({UI::IDCANCEL});
    EXPECT_EQ(Line(QFile::exists(env.Program("FILE797P.TXT")),
                   ReadAll(env.Program("FILE795P.TXT")) == other),
              "false|true");
    Convert({UI::IDOK, UI::IDOK});
    EXPECT_EQ(Line(Messages().mid(1).join(','), env.ui.CallsOf(Kind::MessageBox)[1].buttons),
              Line("Do you save FILE797P.TXT and FILE795P.TXT ?,Normal end", UI::MB_OKCANCEL));
    QList<CQXPanKeyObj> table;
    ASSERT_EQ(BitmapTableFile::ReadFile(env.Program("FILE795P.TXT"), table).eStatus,
              BitmapTableFile::ReadStatus::Read);
    EXPECT_EQ(table[80].m_Record, design().m_KeyObjs[0].m_Record); // window 22's slice
    EXPECT_EQ(table[81].m_Record, design().m_KeyObjs[1].m_Record);
    EXPECT_EQ(table[0].GetText1() + table[79].GetText1(), "OTHER"); // window 21's, kept
    EXPECT_TRUE(QFile::exists(env.Program("FILE797P.TXT")));        // its bytes: see tst_preview
}

// A table the editor could not read is kept before Convert replaces it, once.
TEST_F(Editor, ARejectedKeyTableIsKeptBeforeConvertReplacesIt)
{
    WriteTable(env.Program("FILE795P.TXT"));
    QByteArray rejected = ReadAll(env.Program("FILE795P.TXT"));
    rejected.replace("\r\n", "\n"); // LF line ends only: the reader refuses the file
    WriteAll(env.Program("FILE795P.TXT"), rejected);
    Answer({UI::IDOK});
    Start(kWindow21);
    Convert({UI::IDOK, UI::IDOK});
    EXPECT_EQ(Messages(), QStringList({"Wrong FILE795P.TXT file.",
                                       "Do you save FILE798P.TXT and FILE795P.TXT ?",
                                       "Normal end\n\nThe key table that could not be read was "
                                       "kept as FILE795P.TXT.bak."}));
    EXPECT_EQ(ReadAll(env.Program("FILE795P.TXT.bak")), rejected);
    // The file written now was read by nobody and refused by nobody: no second copy.
    WriteAll(env.Program("FILE795P.TXT.bak"), "kept");
    Convert({UI::IDOK, UI::IDOK});
    EXPECT_EQ(Line(Messages().last(), ReadAll(env.Program("FILE795P.TXT.bak"))), "Normal end|kept");
}

TEST_F(Editor, BrowseCopiesIntoTheShownTypesFolderAfterOneQuestion)
{
    QTemporaryDir source;
    for (const char* name : {"logo.bmp", "new.bmp", "aempty.BMP", "plain", "sky.bmp"})
        WriteBitmap(source.filePath(name), 8, 8, QColor(1, 2, 3));
    Start();
    ChooseObjectType(kPlaceBitmap);
    const QByteArray oldLogo = ReadAll(env.Folder("placed/logo.bmp")),
                     copy = ReadAll(source.filePath("new.bmp"));
    Browse({source.filePath("logo.bmp"), source.filePath("new.bmp"), source.filePath("aempty.BMP"),
            source.filePath("plain")},
           {UI::IDNO});
    EXPECT_EQ(Line(Messages().join(','), env.ui.Calls().last().buttons == UI::MB_YESNO,
                   ItemNames().join(',')),
              "Do you update existing BMP files in branch?|true|logo.bmp,new.bmp,plain.bmp");
    EXPECT_EQ(ReadAll(env.Folder("placed/logo.bmp")), oldLogo); // No keeps it
    EXPECT_EQ(ReadAll(env.Folder("placed/plain.bmp")), copy);
    ChooseObjectType(kBackground); // Yes replaces, in the backgrounds' folder
    Browse({source.filePath("sky.bmp")}, {UI::IDYES});
    EXPECT_EQ(ReadAll(env.Folder("back/sky.bmp")), copy);
    // A file of the folder itself: nothing happens, not even to the other file chosen.
    Browse({env.Folder("back/sea.bmp"), source.filePath("new.bmp")});
    EXPECT_EQ(Line(QFile::exists(env.Folder("back/new.bmp")), Messages().size()), "false|2");
}

// The program gets the file (its arguments: see SafePaths); the new picture shows everywhere.
TEST_F(Editor, EditRunsTheBitmapEditorThenShowsTheNewPictureEverywhere)
{
    env.SetBitmapEditor("/opt/paint/bin/paint", 2); // flag 2: use that program
    Start(kWindow22);
    Place(kPlaceBitmap, "logo.bmp", {10, 10}, {60, 40});
    Place(kPlaceBitmap, "logo.bmp", {300, 300}, {350, 330});
    dlg.m_ObjDlg.CopyBmpToClipboard(design().m_BmpObjs[0]);
    WriteBitmap(env.Folder("placed/logo.bmp"), 40, 20, QColor(0, 0, 0)); // its edit
    EditBitmap();
    EXPECT_EQ(Line(env.ui.Calls().last().kind == Kind::StartAndWait,
                   design().m_BmpObjs[0].m_pImage->Width(),
                   design().m_BmpObjs[1].m_pImage->Width()),
              "true|40|40");
    // The copied bitmap now points at the reloaded picture, not at the released one.
    EXPECT_EQ(dlg.m_ObjDlg.m_BmpClip.m_pImage, design().m_BmpObjs[0].m_pImage);

    // Without the flag the desktop's program opens it; a failed start is told, nothing reloaded.
    env.SetBitmapEditor("/opt/paint/bin/paint", 1);
    const CDibImage* before = design().m_BmpObjs[0].m_pImage;
    EditBitmap(false, {UI::IDOK});
    const auto opens = env.ui.CallsOf(Kind::OpenDocumentAndWait);
    EXPECT_EQ(Line(opens.size(), opens.value(0).program, Messages().join(','),
                   design().m_BmpObjs[0].m_pImage == before),
              Line(1, env.Folder("placed/logo.bmp"), "shell exe err", true));
}

// New, Open and a background choice are undone and redone, under their verbs, from the menu bar
// to the exact records, pictures and list row.
class UndoVerb : public Editor, public ::testing::WithParamInterface<std::string>
{};

TEST_P(UndoVerb, UndoAndRedoFromTheMenuBarRestoreTheWholeDesign)
{
    Start(kWindow22);
    ChooseBackground("sky.bmp");
    DrawTable({300, 200}, {400, 260});
    ChooseObjectType(kBackground);
    design().ClearHistory();
    const QStringList before = State();
    if (GetParam() == "Background") {
        ClickRow("sea.bmp");
    } else if (GetParam() == "New") {
        Answer({UI::IDYES});
        ASSERT_TRUE(File("New(&N)", QString())); // the save is cancelled
    } else {                                     // the first bitmap background and one round table
        WriteAll(env.dir.filePath("one.pan"), "BG:0\r\n0100 0300 0100 0200 0000 0004 0093 0000 "
                                              "0000 0007\r\n \r\nROUND \r\n \r\n");
        ASSERT_TRUE(File("Open(&O)", env.dir.filePath("one.pan")));
        ASSERT_EQ(design().m_KeyObjs[0].GetText1(), "ROUND");
    }
    const QStringList after = State();
    ASSERT_NE(after, before);
    ASSERT_EQ(design().UndoStack().count(), 1);
    EXPECT_EQ(design().UndoStack().undoText().toStdString(), GetParam()); // the verb
    ASSERT_TRUE(ChooseMenu(kEdit, "Undo(&U)"));
    EXPECT_EQ(State(), before);
    EXPECT_EQ(design().UndoStack().redoText().toStdString(), GetParam());
    EXPECT_FALSE(ChooseMenu(kEdit, "Undo(&U)"));
    ASSERT_TRUE(ChooseMenu(kEdit, "Redo(&R)"));
    EXPECT_EQ(State(), after);
    EXPECT_FALSE(ChooseMenu(kEdit, "Redo(&R)"));
    EXPECT_EQ(env.ui.PendingAnswers(), 0);
}

INSTANTIATE_TEST_SUITE_P(Verbs, UndoVerb, ::testing::Values("Background", "New", "Open"));

// A done type change, Convert or a bitmap refresh ends the history; a Save does not.
TEST_F(Editor, OnlyADoneTypeChangeConvertOrRefreshEndsTheUndoHistory)
{
    WriteBitmap(env.dir.filePath("new.bmp"), 4, 4, Qt::red);
    Start(kWindow22);
    for (const std::string way : {"Save", "TypeChange", "Convert", "BitmapRefresh"}) {
        DrawTable({300, 200}, {400, 260});
        if (way == "Save") {
            ASSERT_TRUE(File("Save(&S)", env.dir.filePath("kept.pan")));
        } else if (way == "TypeChange") {
            Answer({UI::IDOK});
            ChooseImageType(kWindow21);
        } else if (way == "Convert") {
            Convert({UI::IDOK, UI::IDOK});
        } else {
            ChooseObjectType(kBackground);
            Browse({env.dir.filePath("new.bmp")});
        }
        EXPECT_EQ(env.ui.PendingAnswers(), 0) << way;
        EXPECT_EQ(ChooseMenu(kEdit, "Undo(&U)"), way == "Save") << way;
    }
}

} // namespace
