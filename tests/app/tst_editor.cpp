// Catches: an editor command not wired, acting on what is not shown, or losing the person's work.
// One case per command through the real widgets; the rules behind each are tested in their folders.
#include "EditorFixture.h"

#include "document/CQXPanDocument.h"
#include "formats/BitmapTableFile.h"
#include "formats/ScreenProgramFile.h"
#include "image/CDibImage.h"
#include "uikit/QtUserInteraction.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QScrollArea>
#include <QWheelEvent>

namespace {

using Dlg = CQXPanMainDlg;

// Gives a window of FILE795P.TXT count keys (window 797: records 81 on): system key code 777 at
// register (128, 128) - (256, 192), which no row of the branch's system-key list carries.
void WriteTable(const QString& path, int count = 1, int window = 797, const char* text = "KEY")
{
    QList<CQXPanKeyObj> table(BitmapTableFile::kTableSize);
    if (QFile::exists(path)) { // keeps what is there
        ASSERT_EQ(BitmapTableFile::ReadFile(path, table).eStatus,
                  BitmapTableFile::ReadStatus::Read);
    }
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
    QString PanelFile(const char* name, const QByteArray& text)
    {
        const QString path = env.dir.filePath(QString::fromLatin1(name));
        WriteAll(path, text);
        return path;
    }
    // A system key, a table and the placed bitmap, drawn with the mouse.
    void Compose()
    {
        Place(kSysKeyRect, "CLERK", {101, 103}, {211, 157});
        DrawTable({57, 350}, {399, 555});
        Place(kPlaceBitmap, "logo.bmp", {503, 41}, {647, 119});
        ASSERT_EQ(Layout(), "101,103,211,157 | 57,350,399,555 | logo.bmp 503,41,647,119");
    }
    // Everything New, Open and a background choice change.
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
                         design().m_bModified);
    }
    int CurrentRow() const
    {
        return dlg.m_lcItems->indexOfTopLevelItem(dlg.m_lcItems->currentItem());
    }
};

// ---- Start and close ----

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
    EXPECT_EQ(Line(dlg.windowTitle(), dlg.m_cbImageType->count(), design().isVisible()),
              "QX_LayeditV110|0|false");
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

// The window's rectangle: what was stored shows, and what shows at the close is stored, except
// for a minimized window, which keeps the stored one (made whole). Restarts: window-restarts.sh.
TEST_F(Editor, TheWindowsRectangleIsStoredAtTheClose)
{
    const QxRect kept{100, 80, 900, 700};
    // Ways: as stored; none stored; moved then minimized; half off-screen and minimized.
    for (int way = 0; way < 4; ++way) {
        env.library->table.rcWindow = way == 1   ? QxRect{}
                                      : way == 3 ? QxRect{-20, 5, 300, 200}
                                                 : kept;
        Dlg d(env.app.get());
        ASSERT_TRUE(d.OnInitDialog());
        d.show();
        QTest::qWait(10);
        const QRect r = d.frameGeometry();
        const bool off = r.left() < 0 || r.top() < 0; // on a small screen the corner is clamped
        const QxRect shown{off ? 0 : r.left(), off ? 0 : r.top(), r.left() + r.width(),
                           r.top() + r.height()};
        if (way == 2) {
            d.move(30, 40);
            d.resize(700, 500);
            QTest::qWait(10);
        }
        if (way >= 2)
            d.showMinimized();
        d.OnExitEditor();
        const QxRect expected[] = {kept, shown, kept, QxRect{0, 0, 600, 400}};
        EXPECT_EQ(env.library->table.rcWindow, expected[way]) << way;
        EXPECT_EQ(env.library->tablesWritten, way + 1);
    }
}

// Every way of closing asks to save a modified design once, and stores the table.
TEST_F(Editor, EveryWayOfClosingAsksToSaveAModifiedDesign)
{
    env.library->table.dwMode = 0x102;
    for (int way = 0; way < 4; ++way) {
        ObservedMainDlg d(env.app.get());
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
        EXPECT_EQ(
            Line(box.text, box.caption, box.buttons == UI::MB_YESNO,
                 box.icon == UI::MB_ICONEXCLAMATION, d.isVisible(), d.result(),
                 env.library->tablesWritten, env.library->table.dwMode),
            Line("Would you like to save the data?", "QXPan", true, true, false, 2, way + 1, 2))
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

// The branch shows, the menus keep their groups apart, and the controls scroll into view.
TEST_F(Editor, StartShowsTheBranchWithEveryControlWholeAndReachable)
{
    env.library->files.removeAt(1); // no name for 797
    Start();
    QStringList menus; // a separator reads as an empty entry
    for (QAction* top : dlg.findChild<QMenuBar*>()->actions())
        for (QAction* item : top->menu()->actions())
            menus << item->text();
    // The logo offers two object types: background and placed bitmap.
    EXPECT_EQ(Line(dlg.windowTitle(), dlg.m_cbImageType->itemText(1),
                   dlg.m_cbImageType->itemText(3), dlg.m_cbObjectType->count(), ShownRow(),
                   design().m_Background.IsEmpty(), design().size().width(), menus.join(',')),
              "Full Check Window - DEMO (ECR-1)|797 - |799 - Check Window 23|2|Aempty.bmp|false|"
              "801|New(&N),Open(&O),Save(&S),,Exit(&X),Change to old(&H),Cut(&X),Copy(&C),"
              "Paste(&P),,Undo(&U),Redo(&R)");
    QTest::keyClick(&dlg, Qt::Key_Return); // Enter ends nothing
    QTest::keyClick(&dlg, Qt::Key_Enter);
    EXPECT_TRUE(env.ui.Calls().isEmpty());
    ChooseImageType(kWindow22);
    EXPECT_EQ(dlg.m_cbObjectType->count(), 8);
    dlg.resize(200, 100); // at the smallest size the controls scroll into view
    EXPECT_EQ(dlg.size(), QSize(600, 400));
    QWidget* exitButton = dlg.GetDlgItem(Dlg::IDCANCEL);
    dlg.findChild<QScrollArea*>()->ensureWidgetVisible(exitButton);
    EXPECT_EQ(exitButton->visibleRegion().boundingRect(), exitButton->rect());
}

// ---- Image type, object type, the item list ----

TEST_F(Editor, AnImageTypeChangeAsksBeforeItClearsTheDesign)
{
    WriteTable(env.Program("FILE795P.TXT"));
    Start(kWindow22);
    ASSERT_EQ(design().m_KeyObjs.size(), 1); // window 22's slice of the table
    DrawTable({300, 300}, {400, 360});
    Answer({UI::IDCANCEL});
    ChooseImageType(kWindow21);
    EXPECT_EQ(Line(Messages().join(','), env.ui.Calls().last().buttons == UI::MB_OKCANCEL,
                   dlg.m_cbImageType->currentIndex(), design().m_KeyObjs.size()),
              Line("Do you want to clear?", true, kWindow22, 2));
    Answer({UI::IDOK});
    ChooseImageType(kWindow21);
    EXPECT_TRUE(design().m_KeyObjs.isEmpty());
    ChooseImageType(kLogo); // nothing to ask: unmodified
    EXPECT_EQ(Line(dlg.m_cbObjectType->count(), Messages().size()), "2|2");
}

// Background rows: a screen file imports (or says why not), a bitmap loads, a broken one shows
// black with "open err".
TEST_F(Editor, ABackgroundRowShowsItsPictureOrSaysWhyNot)
{
    WriteAll(env.Program("FILE798P.TXT"),
             "\"C\",\"n:P0798:\"\r\n\"h\",\"x\"\r\n\"f\",\"x\"\r\n000001,\"" +
                 QByteArray(320, '0') + "\"\r\n");
    WriteAll(env.Folder("back/broken.bmp"), "not a picture");
    Start();
    EXPECT_EQ(ShownRow(), "Aempty.bmp"); // never another screen's file at the start
    const auto shown = [this] {
        return Line(design().m_Background.Width(), Button(Dlg::IDC_EDIT)->isEnabled(), ShownRow());
    };
    Answer({UI::IDOK});
    ClickRow("FILE798P.TXT");
    EXPECT_EQ(Line(Messages().join(','), shown()), "broken header|1024|false|FILE798P.TXT");
    ClickRow("sky.bmp");
    ChooseObjectType(kPlaceBitmap); // back from another type, the row is chosen again
    ChooseObjectType(kBackground);
    EXPECT_EQ(shown(), "16|true|sky.bmp");
    Answer({UI::IDOK});
    ClickRow("broken.bmp");
    EXPECT_EQ(Messages().last(), "open err");
    QImage picture(design().size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    design().render(&picture);
    EXPECT_EQ(picture.pixelColor(400, 300), QColor(Qt::black));
    Answer({UI::IDOK, UI::IDOK}); // a check window shows its own screen file, unmodified
    ChooseImageType(kWindow21);
    EXPECT_EQ(Line(ShownRow(), design().m_bModified), "FILE798P.TXT|false");
}

// An image type shows its own screen file; Open remembers the background row it shows.
TEST_F(Editor, AnImageTypeShowsItsOwnBackgroundAndOpenRemembersTheRow)
{
    CDibImage red;
    ASSERT_TRUE(red.Create(1024, 768, 24));
    red.AcquireSurface()->fillRect(0, 0, 1024, 768, Qt::red);
    red.ReleaseSurface();
    ASSERT_TRUE(WriteScreenProgramFile(red, 797, env.Folder("program")));
    Start(kWindow22); // its screen file: red
    ClickRow("Aempty.bmp");
    ASSERT_TRUE(File("Open(&O)", PanelFile("own.pan", "BG:-1\r\n"))); // window 22's own screen
    ASSERT_EQ(design().m_Background.Image().pixelColor(10, 10), QColor(248, 0, 0)); // 15-bit
    ChooseImageType(kWindow21); // no screen file: the empty white background
    EXPECT_EQ(Line(ShownRow(), design().m_Background.Image().pixelColor(10, 10).name()),
              "Aempty.bmp|#ffffff");
    // The remembered row is the row shown after Open, with 797's screen file listed first.
    ASSERT_TRUE(File("Open(&O)", PanelFile("far.pan", "BG:99\r\n")));
    EXPECT_EQ(ShownRow(), "Aempty.bmp");
    ASSERT_TRUE(File("Save(&S)", env.dir.filePath("saved.pan")));
    EXPECT_EQ(ReadAll(env.dir.filePath("saved.pan")), "BG:0\r\n"); // the first bitmap
}

// A drop ends its drag and lands where released; one that changes nothing says why.
TEST_F(Editor, ADroppedRowGivesItsFunctionOrSaysWhyNot)
{
    Start(kWindow22);
    ChooseObjectType(kPlaceBitmap);
    DragRowTo("logo.bmp", {200, 150});
    EXPECT_EQ(Line(Layout(), dlg.m_ObjDlg.m_nMode == QXPanObj::ModeIdle, design().m_bModified),
              "logo.bmp 200,150,250,175|true|true"); // 64 x 32 at the register's scale
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

// Only the 800 x 600 area starts a rectangle; a press elsewhere in the dialog drops the selection,
// and Delete then removes nothing.
TEST_F(Editor, RectanglesAreDrawnOnTheDesignAreaOnly)
{
    Start(kWindow22);
    DrawTable({400, 600}, {440, 640}); // begun on the border line under the area
    Drag({800, 300}, {760, 340});      // and right of it
    EXPECT_TRUE(design().m_KeyObjs.isEmpty());
    Drag({760, 300}, {830, 340});
    ASSERT_EQ(Layout(), "760,300,799,340");
    QTest::keyClick(&design(), Qt::Key_Escape);
    Drag({780, 320}, {780, 320}); // found again with the mouse
    EXPECT_EQ(Line(design().m_SelRect.isVisible(), design().m_SelRect.m_nObjIndex), "true|0");
    QTest::mouseClick(dlg.m_lcItems->viewport(), Qt::LeftButton, {}, QPoint(5, 100));
    EXPECT_FALSE(design().m_SelRect.isVisible());
    ClickButton(Dlg::IDC_DELETE);
    EXPECT_EQ(design().m_KeyObjs.size(), 1);
}

// A change of object type without a click drops the selection; a click on a placed bitmap shows
// its type and row.
TEST_F(Editor, TheObjectTypeFollowsTheSelection)
{
    Start(kWindow22);
    Place(kPlaceBitmap, "logo.bmp", {100, 100}, {200, 180});
    DrawTable({300, 300}, {400, 360});
    QComboBox* box = dlg.m_cbObjectType;
    const QPointF at(box->width() / 2.0, box->height() / 2.0);
    QWheelEvent up(at, box->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(box, &up);
    ASSERT_EQ(box->currentIndex(), kPlaceBitmap);
    QTest::keyClick(&design(), Qt::Key_Delete);
    EXPECT_EQ(design().m_BmpObjs.size() + design().m_KeyObjs.size(), 2);
    ChooseObjectType(kTableRound);
    Drag({150, 140}, {150, 140});
    EXPECT_EQ(box->currentIndex(), kPlaceBitmap);
}

// After a refused OK and Cancel the area and frame show what the record holds.
TEST_F(Editor, ARefusedOkThenCancelShowsTheKeyWhereItsRecordPutsIt)
{
    WriteTable(env.Program("FILE795P.TXT"));
    QFile::remove(env.Folder("data/funckey.txt")); // no system keys: no function to give
    Start(kWindow22);
    CQXPanObjDlg& properties = dlg.m_ObjDlg;
    QTimer poll; // the properties dialog runs modal
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!properties.isVisible())
            return;
        poll.stop();
        properties.m_edLeft->setFocus();
        QTest::keyClick(properties.m_edLeft, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(properties.m_edLeft, "512");
        Answer({UI::IDOK}); // "Null function"
        QTest::mouseClick(properties.m_btnOk, Qt::LeftButton);
        QTest::mouseClick(properties.m_btnCancel, Qt::LeftButton);
    });
    poll.start(10);
    QTest::mouseDClick(&design(), Qt::LeftButton, {}, {150, 120});
    const QXPanRect r = design().m_KeyObjs[0].DisplayRect(); // register 512: 400
    EXPECT_EQ(Line(Messages().join(','), r.left,
                   design().m_SelRect.geometry().topLeft() == QPoint(r.left - 3, r.top - 3)),
              "Null function|400|true");
}

// ---- Edit ----

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
    EXPECT_EQ(keys(Qt::CTRL | Qt::Key_Z), "400,300,500,360 | 5,5,105,65");
    EXPECT_EQ(keys(Qt::CTRL | Qt::Key_Y), "5,5,105,65");
    EXPECT_EQ(keys(Qt::CTRL | Qt::Key_Z), "400,300,500,360 | 5,5,105,65");
    EXPECT_EQ(keys(Qt::CTRL | Qt::Key_Z), "400,300,500,360"); // the paste
    EXPECT_EQ(keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), "400,300,500,360 | 5,5,105,65");
    keys(Qt::Key_Return); // neither ends the editor
    keys(Qt::Key_Escape);
    keys(Qt::Key_Escape);
    EXPECT_TRUE(dlg.isVisible());
    Drag({50, 30}, {50, 30});
    ClickButton(Dlg::IDC_DELETE);
    EXPECT_EQ(Line(Layout(), design().m_SelRect.isVisible()), "400,300,500,360|false");
    EXPECT_TRUE(env.ui.Calls().isEmpty());
}

// The logo takes no keys, and a full window no more: the line under the area says so.
TEST_F(Editor, APasteThatCannotBeSaysWhy)
{
    WriteTable(env.Program("FILE795P.TXT"), 80);
    Start(kWindow22);
    ASSERT_EQ(design().m_KeyObjs.size(), 80);
    ContextMenu({150, 120}, "Copy(&C)");
    ASSERT_TRUE(ChooseMenu(kEdit, "Paste(&P)"));
    EXPECT_EQ(Line(design().m_KeyObjs.size(), ReadoutText()),
              "80|This check window already holds 80 keys and tables, as many as it can.");
    ChooseImageType(kLogo);
    ASSERT_TRUE(ChooseMenu(kEdit, "Paste(&P)"));
    EXPECT_EQ(Line(design().m_KeyObjs.size(), ReadoutText()),
              "0|Keys and tables cannot be placed on the screen logo.");
}

// ---- The panel file commands ----

TEST_F(Editor, SaveNewAndOpenKeepAndBringBackTheDesign)
{
    Start(kWindow22);
    ChooseBackground("sky.bmp");
    Compose();
    const QStringList before = State();
    const QString path = env.dir.filePath("design"); // typed without an extension: kept so
    ASSERT_TRUE(File("Save(&S)", path));
    const auto save = env.ui.Calls().last().request;
    EXPECT_EQ(
        Line(save.title, save.initialName, save.filter, bool(save.options & UI::OverwritePrompt),
             ReadAll(path).left(6)),
        "Full Check Window|untitled.pan|Data files (*.pan)|true|BG:2\r\n"); // after Aempty, sea
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
    const QString none = env.dir.filePath("none.pan"); // bad files: said why, design kept
    for (const QString& bad : {PanelFile("wrong.pan", "XG:0\r\n"), none}) {
        env.ui.QueueFileName(bad);
        Answer({UI::IDOK});
        ASSERT_TRUE(ChooseMenu(kFile, "Open(&O)"));
    }
    EXPECT_EQ(Messages().mid(2),
              QStringList({"Wrong PAN file.", QString("can't open \"%1\"").arg(none)}));
    EXPECT_EQ(Layout(), before[3]);
}

// ---- Convert ----

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
    EXPECT_EQ(
        Line(Messages().mid(1).join(','), env.ui.CallsOf(Kind::MessageBox)[1].buttons,
             QApplication::overrideCursor() == nullptr),
        Line("Do you save FILE797P.TXT and FILE795P.TXT ?,Normal end", UI::MB_OKCANCEL, true));
    QList<CQXPanKeyObj> table;
    ASSERT_EQ(BitmapTableFile::ReadFile(env.Program("FILE795P.TXT"), table).eStatus,
              BitmapTableFile::ReadStatus::Read);
    EXPECT_EQ(table[80].m_Record, design().m_KeyObjs[0].m_Record); // window 22's slice
    EXPECT_EQ(table[81].m_Record, design().m_KeyObjs[1].m_Record);
    EXPECT_EQ(table[0].GetText1() + table[79].GetText1(), "OTHER"); // window 21's, kept
    EXPECT_TRUE(QFile::exists(env.Program("FILE797P.TXT")));        // its bytes: see tst_preview
    Answer({UI::IDOK});                                             // "Do you want to clear?"
    ChooseImageType(kLogo);
    Convert({UI::IDOK, UI::IDOK});
    EXPECT_EQ(Line(Messages().mid(4).join(','), QFile::exists(env.Program("FILE796P.TXT"))),
              "Do you save FILE796P.TXT ?,Normal end|true");
}

// The remembered background row follows its file when Convert lists a new screen file.
TEST_F(Editor, ConvertListsTheNewScreenFileAndKeepsTheBackground)
{
    WriteAll(env.Program("FILE797P.TXT"), "listed first");
    Start(kWindow23);
    ClickRow("sky.bmp");
    const QImage sky = design().m_Background.Image();
    ChooseObjectType(kSysKeyRect);
    Convert({UI::IDOK, UI::IDOK});
    Convert({UI::IDOK, UI::IDOK});
    ChooseObjectType(kBackground);
    EXPECT_EQ(Line(ItemNames().join(','), ShownRow(), design().m_Background.Image() == sky),
              "FILE797P.TXT,FILE799P.TXT,Aempty.bmp,sea.bmp,sky.bmp|sky.bmp|true");
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

// ---- The bitmap library: Browse, Edit, Receive/Send ----

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
    const auto chosen = env.ui.CallsOf(Kind::OpenFileNames)[0].request;
    EXPECT_EQ(Line(chosen.title, chosen.options.testFlag(UI::FileMustExist),
                   chosen.initialName.startsWith(env.Folder("placed")), Messages().join(','),
                   env.ui.Calls().last().buttons == UI::MB_YESNO, ItemNames().join(',')),
              "Copy into branch|true|true|Do you update existing BMP files in branch?|true|"
              "logo.bmp,new.bmp,plain.bmp");
    EXPECT_EQ(ReadAll(env.Folder("placed/logo.bmp")), oldLogo); // No keeps it
    EXPECT_EQ(ReadAll(env.Folder("placed/plain.bmp")), copy);
    ChooseObjectType(kBackground); // Yes replaces, in the backgrounds' folder
    Browse({source.filePath("sky.bmp")}, {UI::IDYES});
    EXPECT_EQ(ReadAll(env.Folder("back/sky.bmp")), copy);
    // A file of the folder itself, or none chosen: nothing happens.
    Browse({env.Folder("back/sea.bmp"), source.filePath("new.bmp")});
    Browse({});
    EXPECT_EQ(Line(QFile::exists(env.Folder("back/new.bmp")), Messages().size()), "false|2");
}

// The refresh after Browse drops objects of gone or broken files with a word, keeps the rest.
TEST_F(Editor, BrowseDropsPlacedBitmapsWhoseFilesAreGone)
{
    WriteBitmap(env.Folder("placed/star.bmp"), 10, 10, QColor(200, 200, 0));
    WriteBitmap(env.dir.filePath("new.bmp"), 9, 9, QColor(1, 2, 3));
    Start(kWindow22);
    Place(kPlaceBitmap, "logo.bmp", {10, 10}, {74, 42});
    Place(kPlaceBitmap, "star.bmp", {100, 100}, {140, 140});
    Place(kPlaceBitmap, "logo.bmp", {200, 50}, {264, 82});
    const QStringList placed = Layout().split(" | ");
    QFile::remove(env.Folder("placed/star.bmp"));
    // A second file whose name differs only in case must not double the objects.
    WriteBitmap(env.Folder("placed/LOGO.bmp"), 8, 8, QColor(0, 0, 0));
    Browse({env.dir.filePath("new.bmp")}, {UI::IDOK});
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].endsWith("\n\nstar.bmp")) << Messages()[0].toStdString();
    EXPECT_EQ(Line(design().m_bModified, Layout()), "true|" + placed[0] + " | " + placed[2]);
    for (const CQXPanBmpObj& obj : design().m_BmpObjs)
        EXPECT_EQ(obj.m_pImage->Width(), 64);
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

    // A background is reloaded after its edit, unless the first row (the placeholder) shows.
    ChooseBackground("Aempty.bmp");
    WriteBitmap(env.Folder("back/Aempty.bmp"), 30, 30, QColor(0, 0, 0));
    const int firstWidth = design().m_Background.Width();
    EditBitmap();
    EXPECT_EQ(design().m_Background.Width(), firstWidth);
    ClickRow("sky.bmp");
    WriteBitmap(env.Folder("back/sky.bmp"), 33, 22, QColor(9, 9, 9));
    EditBitmap();
    EXPECT_EQ(Line(env.ui.Calls().last().program, design().m_Background.Width()),
              Line(env.Folder("back/sky.bmp"), 33));
}

TEST_F(Editor, ReceiveSendSendsAPresentFileAndReceivesAMissingOne)
{
    ASSERT_TRUE(env.app->Store().Update("Register.ECR-1", {{"Capabilities", "0x1234"}}));
    Start(kWindow21);
    WriteAll(env.Program("FILE798P.TXT"), "");
    QPushButton* receiveSend = Button(Dlg::IDC_RECEIVESEND);
    EXPECT_FALSE(receiveSend->isVisible()); // hidden as built; a caller may offer it
    receiveSend->setEnabled(true);
    receiveSend->click();
    ChooseImageType(kLogo);
    receiveSend->click();
    EXPECT_EQ(dlg.commRuns, QStringList({"1 /SEND \"" + env.Program("FILE798P.TXT") + "\" 1234",
                                         "2 /RECEIVE 1234"}));
    EXPECT_TRUE(env.ui.Calls().isEmpty());
}

// ---- Undo and redo of the dialog's own commands ----

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
        ASSERT_TRUE(
            File("Open(&O)", PanelFile("one.pan", "BG:0\r\n0100 0300 0100 0200 0000 0004 "
                                                  "0093 0000 0000 0007\r\n \r\nROUND \r\n \r\n")));
        ASSERT_EQ(design().m_KeyObjs[0].GetText1(), "ROUND");
    }
    const QStringList after = State();
    ASSERT_NE(after, before);
    ASSERT_EQ(design().UndoStack().count(), 1);
    EXPECT_EQ(design().UndoStack().undoText().toStdString(), GetParam()); // the verb
    ASSERT_TRUE(ChooseMenu(kEdit, "Undo(&U)"));
    EXPECT_EQ(State(), before);
    EXPECT_EQ(design().UndoStack().redoText().toStdString(), GetParam());
    EXPECT_EQ(CurrentRow(), dlg.m_nListSel);
    EXPECT_FALSE(ChooseMenu(kEdit, "Undo(&U)"));
    ASSERT_TRUE(ChooseMenu(kEdit, "Redo(&R)"));
    EXPECT_EQ(State(), after);
    EXPECT_EQ(CurrentRow(), dlg.m_nListSel);
    EXPECT_FALSE(ChooseMenu(kEdit, "Redo(&R)"));
    EXPECT_EQ(env.ui.PendingAnswers(), 0);
}

INSTANTIATE_TEST_SUITE_P(Verbs, UndoVerb, ::testing::Values("Background", "New", "Open"));

// Only a done type change, Convert or a bitmap refresh ends the history.
class UndoHistoryEnd : public Editor, public ::testing::WithParamInterface<std::string>
{};

TEST_P(UndoHistoryEnd, OnlyADoneTypeChangeConvertOrRefreshClearsIt)
{
    Start(kWindow22);
    DrawTable({300, 200}, {400, 260});
    const QString way = QString::fromStdString(GetParam());
    if (way.startsWith("TypeChange")) {
        Answer({way == "TypeChange" ? UI::IDOK : UI::IDCANCEL});
        ChooseImageType(kWindow21);
    } else if (way.startsWith("Convert")) {
        way == "Convert" ? Convert({UI::IDOK, UI::IDOK}) : Convert({UI::IDCANCEL});
    } else if (way == "BitmapRefresh") {
        WriteBitmap(env.dir.filePath("new.bmp"), 4, 4, Qt::red);
        ChooseObjectType(kBackground);
        Browse({env.dir.filePath("new.bmp")});
    } else {
        ASSERT_TRUE(File("Save(&S)", env.dir.filePath("kept.pan")));
    }
    const bool cleared = way == "TypeChange" || way == "Convert" || way == "BitmapRefresh";
    EXPECT_EQ(env.ui.PendingAnswers(), 0);
    EXPECT_EQ(ChooseMenu(kEdit, "Undo(&U)"), !cleared);
}

INSTANTIATE_TEST_SUITE_P(Undo, UndoHistoryEnd,
                         ::testing::Values("TypeChange", "TypeChangeRefused", "Convert",
                                           "ConvertCancelled", "BitmapRefresh", "Save"));

} // namespace
