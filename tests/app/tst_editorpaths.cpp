// The paths a person takes through the editor in the first hour, with the mouse and the keys on
// the real widgets: each must keep the person's work and files, and every command must act on
// what the person sees.
#include "EditorFixture.h"

#include "document/CQXPanDocument.h"
#include "document/CQXPanKeyObj.h"
#include "formats/BitmapTableFile.h"
#include "formats/ScreenProgramFile.h"
#include "image/CDibImage.h"
#include "uikit/QtUserInteraction.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QScrollArea>
#include <QStyleOptionComboBox>
#include <QTimer>
#include <QWheelEvent>

namespace {

using Kind = ScriptedUserInteraction::Kind;

// FILE795P.TXT with count keys of check window 22 (records 81 on): system key code 777 at
// register (128, 128) - (256, 192), which no row of the branch's system-key list carries.
void WriteTableWithOneKey(const QString& programFolder, int count = 1)
{
    CQXPanKeyObj key;
    key.SetTypeCode(777);
    key.SetShape(1);
    key.SetRegisterRect(128, 128, 256, 192);
    key.SetFillColour(0xFFFFFFu, true);
    key.SetText1(QStringLiteral("KEY"));
    CQXPanDocument design;
    design.m_nKeyCapacity = 80;
    for (int i = 0; i < count; ++i)
        design.m_KeyObjs.append(key);
    QList<CQXPanKeyObj> table(BitmapTableFile::kTableSize);
    ASSERT_TRUE(BitmapTableFile::WriteFile(programFolder + "/FILE795P.TXT", table, 797, design));
}

QString PanelFileWith(const AppTestEnvironment& env, const char* name, const QByteArray& text)
{
    const QString path = env.dir.filePath(QString::fromLatin1(name));
    EditorFixture::WriteAll(path, text);
    return path;
}

class Editor : public EditorFixture
{
protected:
    // Chooses an entry of the context menu a right press at pt opens.
    void ContextMenu(QPoint pt, const QString& itemText)
    {
        QTimer::singleShot(0, [itemText] {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(popup, nullptr);
            for (QAction* action : popup->actions()) {
                if (action->text() == itemText) {
                    QTest::mouseClick(popup, Qt::LeftButton, {},
                                      popup->actionGeometry(action).center());
                    return;
                }
            }
            popup->close();
            ADD_FAILURE() << "no context menu item " << itemText.toStdString();
        });
        QTest::mouseClick(&design(), Qt::RightButton, {}, pt);
    }
    QString ShownRow() const
    {
        const QTreeWidgetItem* item = dlg.m_lcItems->currentItem();
        return item && item->isSelected() ? item->text(0) : QString();
    }
};

// 1: without a branch there is no screen, and 795 is never written as one.
TEST_F(Editor, AStartThatStopsOffersNothingThatWritesRegisterFiles)
{
    // The background folder cannot be made: start-up stops after the program folder.
    env.library->folders.insert(DEFBS_ENV_BACKGROUND, env.Folder("gone/back"));
    WriteTableWithOneKey(env.Folder("program"));
    const QByteArray table = EditorFixture::ReadAll(env.Folder("program") + "/FILE795P.TXT");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(dlg.OnInitDialog());
    testing::internal::GetCapturedStderr();
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));

    ClickButton(CQXPanMainDlg::IDC_CONVERT);
    ClickButton(CQXPanMainDlg::IDC_NEW);
    ClickButton(CQXPanMainDlg::IDC_PREVIEW);
    QTest::keyClick(&dlg, Qt::Key_R, Qt::ControlModifier);
    EXPECT_FALSE(ChooseMenu("File(&F)", "New(&N)"));
    EXPECT_FALSE(ChooseMenu("File(&F)", "Open(&O)"));
    EXPECT_FALSE(ChooseMenu("File(&F)", "Save(&S)"));
    EXPECT_FALSE(ChooseMenu("Edit(&E)", "Paste(&P)"));
    EXPECT_TRUE(env.ui.Calls().isEmpty());
    EXPECT_EQ(EditorFixture::ReadAll(env.Folder("program") + "/FILE795P.TXT"), table);
    EXPECT_FALSE(QFile::exists(env.Folder("work") + "/file795.out"));
}

// 2: a table the editor could not read is kept before Convert replaces it.
TEST_F(Editor, ARejectedKeyTableIsKeptBeforeConvertReplacesIt)
{
    WriteTableWithOneKey(env.Folder("program"));
    QByteArray rejected = EditorFixture::ReadAll(env.Folder("program") + "/FILE795P.TXT");
    rejected.replace("\r\n", "\n"); // LF line ends only: the reader refuses the file
    EditorFixture::WriteAll(env.Folder("program") + "/FILE795P.TXT", rejected);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    Start();
    ChooseImageType(kWindow21);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    ClickButton(CQXPanMainDlg::IDC_CONVERT);

    EXPECT_EQ(BoxTexts(), QStringList({"Wrong FILE795P.TXT file.",
                                       "Do you save FILE798P.TXT and FILE795P.TXT ?",
                                       "Normal end\n\nThe key table that could not be read was "
                                       "kept as FILE795P.TXT.bak."}));
    EXPECT_EQ(EditorFixture::ReadAll(env.Folder("program") + "/FILE795P.TXT.bak"), rejected);

    // The file written now was read by nobody and refused by nobody: no second copy.
    EditorFixture::WriteAll(env.Folder("program") + "/FILE795P.TXT.bak", "kept");
    env.ui.QueueAnswer(UserInteraction::IDOK);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    ClickButton(CQXPanMainDlg::IDC_CONVERT);
    EXPECT_EQ(BoxTexts().last(), "Normal end");
    EXPECT_EQ(EditorFixture::ReadAll(env.Folder("program") + "/FILE795P.TXT.bak"), "kept");
}

// Another writer (qxpan-cli, say) gave window 21 a key after the editor read the table: the
// editor's Convert of window 22 keeps it.
TEST_F(Editor, ConvertKeepsWhatAnotherWriterPutIntoTheTable)
{
    const QString path = env.Folder("program") + "/FILE795P.TXT";
    WriteTableWithOneKey(env.Folder("program"));
    Start();
    ChooseImageType(kWindow22);

    QList<CQXPanKeyObj> table;
    ASSERT_EQ(BitmapTableFile::ReadFile(path, table).eStatus, BitmapTableFile::ReadStatus::Read);
    CQXPanDocument other;
    other.m_nKeyCapacity = 80;
    other.m_KeyObjs.append(design().m_KeyObjs[0]);
    other.m_KeyObjs[0].SetText1(QStringLiteral("OTHER"));
    ASSERT_TRUE(BitmapTableFile::WriteFile(path, table, 798, other));

    env.ui.QueueAnswer(UserInteraction::IDOK);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    ClickButton(CQXPanMainDlg::IDC_CONVERT);
    ASSERT_EQ(BitmapTableFile::ReadFile(path, table).eStatus, BitmapTableFile::ReadStatus::Read);
    EXPECT_EQ(table[0].GetText1(), QStringLiteral("OTHER")); // window 21, the other writer's
    EXPECT_EQ(table[80].GetText1(), QStringLiteral("KEY"));  // window 22, the editor's
}

// 3: Esc and the close box leave a Yes/No question unanswered; the real message box.
TEST(EditorQuestions, EscAndTheCloseBoxDoNotAnswerTheSaveQuestion)
{
    QtUserInteraction real;
    AppTestEnvironment env(&real);
    CQXPanMainDlg dlg(env.app.get());
    ASSERT_TRUE(dlg.OnInitDialog());
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    dlg.m_DesignDlg.m_bModified = true;

    QString text;
    bool openAfterEsc = false;
    bool openAfterClose = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        text = box->text();
        QTest::keyClick(box, Qt::Key_Escape);
        openAfterEsc = box->isVisible();
        box->close();
        openAfterClose = box->isVisible();
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(text, "Would you like to save the data?");
    EXPECT_TRUE(openAfterEsc);
    EXPECT_TRUE(openAfterClose);
    EXPECT_FALSE(dlg.isVisible()); // No answered it
}

// 4: changes that leave the modified mark alone are asked about all the same.
class UnmarkedChange : public Editor, public ::testing::WithParamInterface<const char*>
{};

TEST_P(UnmarkedChange, IsAskedAboutAtExit)
{
    WriteTableWithOneKey(env.Folder("program"));
    Start();
    ChooseImageType(kWindow22);
    ASSERT_EQ(design().m_KeyObjs.size(), 1);
    const QString way = QString::fromLatin1(GetParam());
    if (way == "DeleteButton") {
        ContextMenu({150, 120}, "Copy(&C)"); // selects the key without moving it
        ClickButton(CQXPanMainDlg::IDC_DELETE);
    } else {
        ContextMenu({150, 120}, "Cut(&X)");
    }
    ASSERT_TRUE(design().m_KeyObjs.isEmpty());
    ASSERT_FALSE(design().m_bModified);

    env.ui.QueueAnswer(UserInteraction::IDNO);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(BoxTexts(), QStringList({"Would you like to save the data?"}));
    EXPECT_FALSE(dlg.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Ways, UnmarkedChange, ::testing::Values("DeleteButton", "ContextCut"));

TEST_F(Editor, ASaveMakesTheDesignKeptUntilTheNextChange)
{
    WriteTableWithOneKey(env.Folder("program"));
    Start();
    ChooseImageType(kWindow22);
    ContextMenu({150, 120}, "Cut(&X)");
    env.ui.QueueFileName(env.dir.filePath("kept.pan"));
    ASSERT_TRUE(ChooseMenu("File(&F)", "Save(&S)"));
    QTest::keyClick(&dlg, Qt::Key_Escape); // nothing to ask
    EXPECT_FALSE(dlg.isVisible());
}

// 6: the remembered background row follows its file when Convert lists a new screen file.
TEST_F(Editor, ConvertKeepsTheBackgroundWhicheverTypeIsShown)
{
    Start();
    ChooseImageType(kWindow22);
    ClickRow("sky.bmp");
    const QImage sky = design().m_Background.Image();
    ChooseObjectType(kSysKeyRect);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    ClickButton(CQXPanMainDlg::IDC_CONVERT); // lists FILE797P.TXT ahead of the bitmaps
    ChooseObjectType(kBackground);
    EXPECT_EQ(ShownRow(), "sky.bmp");
    EXPECT_EQ(design().m_Background.Image(), sky);
}

// 7: the remembered background row is the row shown, after Open and after a type change.
TEST_F(Editor, OpenRemembersTheBackgroundItShows)
{
    EditorFixture::WriteAll(env.Folder("program") + "/FILE799P.TXT", "listed before the bitmaps");
    Start();
    env.ui.QueueFileName(PanelFileWith(env, "far.pan", "BG:99\r\n"));
    ASSERT_TRUE(ChooseMenu("File(&F)", "Open(&O)"));
    EXPECT_EQ(ShownRow(), "Aempty.bmp");
    const QString saved = env.dir.filePath("saved.pan");
    env.ui.QueueFileName(saved);
    ASSERT_TRUE(ChooseMenu("File(&F)", "Save(&S)"));
    EXPECT_EQ(EditorFixture::ReadAll(saved), "BG:0\r\n"); // the first bitmap: "Aempty.bmp"
}

TEST_F(Editor, AnImageTypeShowsItsOwnBackground)
{
    CDibImage red;
    ASSERT_TRUE(red.Create(1024, 768, 24));
    red.AcquireSurface()->fillRect(0, 0, 1024, 768, Qt::red);
    red.ReleaseSurface();
    ASSERT_TRUE(WriteScreenProgramFile(red, 797, env.Folder("program")));
    Start();
    ChooseImageType(kWindow22); // its screen file: red
    ClickRow("Aempty.bmp");
    env.ui.QueueFileName(PanelFileWith(env, "own.pan", "BG:-1\r\n")); // window 22's own screen
    ASSERT_TRUE(ChooseMenu("File(&F)", "Open(&O)"));
    ASSERT_EQ(design().m_Background.Image().pixelColor(10, 10), QColor(248, 0, 0)); // 15-bit red

    ChooseImageType(kWindow21); // no screen file: the empty white background
    EXPECT_EQ(ShownRow(), "Aempty.bmp");
    EXPECT_EQ(design().m_Background.Image().pixelColor(10, 10), QColor(Qt::white));
}

// 8: what the design area shows after a failed load is what Convert writes: black.
TEST_F(Editor, ABackgroundThatFailsToLoadShowsBlack)
{
    EditorFixture::WriteAll(env.Folder("back") + "/broken.bmp", "not a picture");
    Start();
    ChooseImageType(kWindow22);
    ClickRow("sea.bmp");
    env.ui.QueueAnswer(UserInteraction::IDOK);
    ClickRow("broken.bmp");
    ASSERT_EQ(BoxTexts(), QStringList({"open err"}));
    QImage shown(design().size(), QImage::Format_RGB32);
    shown.fill(Qt::white);
    design().render(&shown);
    EXPECT_EQ(shown.pixelColor(400, 300), QColor(Qt::black));
}

// 10: the menu bar keeps the selection that Cut and Copy work on.
TEST_F(Editor, CutCopyAndPasteFromTheMenuBar)
{
    Start();
    ChooseImageType(kWindow22);
    ChooseObjectType(kTableRect);
    Drag({300, 200}, {400, 260});
    ASSERT_TRUE(ChooseMenu("Edit(&E)", "Copy(&C)"));
    ASSERT_TRUE(ChooseMenu("Edit(&E)", "Paste(&P)"));
    ASSERT_EQ(design().m_KeyObjs.size(), 2);
    EXPECT_EQ(design().m_KeyObjs[1].DisplayRect(), (QXPanRect{5, 5, 105, 65}));
    ASSERT_TRUE(ChooseMenu("Edit(&E)", "Cut(&X)")); // the drawn table is still selected
    ASSERT_EQ(design().m_KeyObjs.size(), 1);
    EXPECT_EQ(design().m_KeyObjs[0].DisplayRect(), (QXPanRect{5, 5, 105, 65}));
}

// 11: a change of object type without a click drops the selection.
TEST_F(Editor, TheWheelOverTheObjectTypeDropsTheSelection)
{
    Start();
    ChooseImageType(kWindow22);
    ChooseObjectType(kPlaceBitmap);
    ClickRow("logo.bmp");
    Drag({100, 100}, {200, 180});
    ChooseObjectType(kTableRect);
    Drag({300, 300}, {400, 360});
    ASSERT_TRUE(design().m_SelRect.isVisible());

    QComboBox* box = dlg.m_cbObjectType;
    const QPointF at(box->width() / 2.0, box->height() / 2.0);
    QWheelEvent up(at, box->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(box, &up);
    ASSERT_EQ(box->currentIndex(), kPlaceBitmap);
    QTest::keyClick(&design(), Qt::Key_Delete);
    EXPECT_EQ(design().m_BmpObjs.size(), 1);
    EXPECT_EQ(design().m_KeyObjs.size(), 1);
}

// 12: only the 800 x 600 area starts a rectangle; what is drawn has the least size, inside.
TEST_F(Editor, RectanglesAreDrawnOnTheDesignAreaOnly)
{
    Start();
    ChooseImageType(kWindow22);
    ChooseObjectType(kTableRect);
    Drag({400, 600}, {440, 640}); // begun on the border line under the area
    Drag({800, 300}, {760, 340}); // and right of it
    EXPECT_TRUE(design().m_KeyObjs.isEmpty());

    Drag({790, 300}, {830, 340});
    ASSERT_EQ(design().m_KeyObjs.size(), 1);
    const QXPanRect r = design().m_KeyObjs[0].DisplayRect();
    EXPECT_GE(r.Width(), 24);
    EXPECT_GE(r.Height(), 24);
    EXPECT_LE(r.right, 799);
    QTest::keyClick(&design(), Qt::Key_Escape);
    Click({(r.left + r.right) / 2, (r.top + r.bottom) / 2}); // found again with the mouse
    EXPECT_TRUE(design().m_SelRect.isVisible());
    EXPECT_EQ(design().m_SelRect.m_nObjIndex, 0);
}

// 13 and 20: the logo takes no keys, and the line under the area says so.
TEST_F(Editor, NoKeyIsPastedOntoTheLogo)
{
    Start();
    ChooseImageType(kWindow22);
    ChooseObjectType(kTableRect);
    Drag({300, 200}, {400, 260});
    ASSERT_TRUE(ChooseMenu("Edit(&E)", "Copy(&C)"));
    env.ui.QueueAnswer(UserInteraction::IDOK); // "Do you want to clear?"
    ChooseImageType(kLogo);
    ASSERT_TRUE(ChooseMenu("Edit(&E)", "Paste(&P)"));
    EXPECT_TRUE(design().m_KeyObjs.isEmpty());
    EXPECT_EQ(ReadoutText(), "Keys and tables cannot be placed on the screen logo.");
}

// 20: a paste that finds the window full says so.
TEST_F(Editor, APasteIntoAFullWindowSaysWhy)
{
    WriteTableWithOneKey(env.Folder("program"), 80);
    Start();
    ChooseImageType(kWindow22);
    ASSERT_EQ(design().m_KeyObjs.size(), 80);
    ContextMenu({150, 120}, "Copy(&C)");
    ASSERT_TRUE(ChooseMenu("Edit(&E)", "Paste(&P)"));
    EXPECT_EQ(design().m_KeyObjs.size(), 80);
    EXPECT_EQ(ReadoutText(), "This check window already holds 80 keys and tables, as many as it "
                             "can.");
}

// 14 and 20: a drop ends its drag, and one that changes nothing says why.
TEST_F(Editor, ADroppedRowEndsItsDrag)
{
    Start();
    ChooseImageType(kWindow22);
    ChooseObjectType(kTableRect);
    Drag({300, 200}, {400, 260});
    ChooseObjectType(kSysKeyRect);
    DragRowTo("PLU", {600, 500});
    EXPECT_TRUE(ReadoutText().startsWith("Dropped on no key")) << ReadoutText().toStdString();
    DragRowTo("PLU", {350, 230});
    ASSERT_EQ(design().m_KeyObjs.size(), 1);
    EXPECT_EQ(design().m_KeyObjs[0].GetText1(), "PLU");
    QTest::keyClick(&design(), Qt::Key_Delete); // no press on the area needed first
    EXPECT_TRUE(design().m_KeyObjs.isEmpty());
}

// 15: after a refused OK and Cancel the area and frame show what the record holds.
TEST_F(Editor, ARefusedOkThenCancelShowsTheKeyWhereItsRecordPutsIt)
{
    WriteTableWithOneKey(env.Folder("program"));
    QFile::remove(env.Folder("data") + "/funckey.txt"); // no system keys: no function to give
    Start();
    ChooseImageType(kWindow22);
    CQXPanObjDlg& properties = dlg.m_ObjDlg;
    WhenShown(&properties, [&] {
        properties.m_edLeft->setFocus();
        QTest::keyClick(properties.m_edLeft, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(properties.m_edLeft, "512");
        env.ui.QueueAnswer(UserInteraction::IDOK); // "Null function"
        QTest::mouseClick(properties.m_btnOk, Qt::LeftButton);
        QTest::mouseClick(properties.m_btnCancel, Qt::LeftButton);
    });
    QTest::mouseDClick(&design(), Qt::LeftButton, {}, {150, 120});
    ASSERT_EQ(BoxTexts(), QStringList({"Null function"}));
    const QXPanRect r = design().m_KeyObjs[0].DisplayRect();
    EXPECT_EQ(r.left, 400); // register 512
    EXPECT_EQ(design().m_SelRect.geometry().topLeft(), QPoint(r.left - 3, r.top - 3));
}

// 17: every text shows whole, the design area keeps its size, and all of it can be reached.
TEST_F(Editor, EveryTextFitsAndEveryControlCanBeReached)
{
    Start();
    for (QWidget* w : dlg.ClientArea()->findChildren<QWidget*>()) {
        if (w->isVisible() && (qobject_cast<QLabel*>(w) || qobject_cast<QPushButton*>(w))) {
            EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
        }
    }
    QComboBox* types = dlg.m_cbObjectType;
    QStyleOptionComboBox option;
    option.initFrom(types);
    const QRect field = types->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, types);
    EXPECT_GE(field.width(), types->iconSize().width() + types->fontMetrics().horizontalAdvance(
                                                             "Free Function(Rectangle)"));

    // Every list's columns fit beside a vertical scroll bar: nothing to scroll sideways.
    ChooseImageType(kWindow22);
    QTreeWidget* list = dlg.m_lcItems;
    const int room = list->width() - 2 * list->frameWidth() -
                     list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    for (int type = 0; type < 8; ++type) {
        ChooseObjectType(type);
        int columns = 0;
        for (int c = 0; c < list->columnCount(); ++c)
            columns += list->columnWidth(c);
        EXPECT_LE(columns, room) << type;
    }
    EXPECT_EQ(design().size(), QSize(801, 601));

    // At the smallest size the controls scroll into view.
    dlg.resize(600, 400);
    auto* view = dlg.findChild<QScrollArea*>();
    ASSERT_NE(view, nullptr);
    QWidget* exitButton = dlg.GetDlgItem(CQXPanMainDlg::IDCANCEL);
    view->ensureWidgetVisible(exitButton);
    EXPECT_EQ(exitButton->visibleRegion().boundingRect(), exitButton->rect());
}

} // namespace
