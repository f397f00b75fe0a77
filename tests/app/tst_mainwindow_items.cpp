#include "AppTestEnvironment.h"
#include "uikit/DialogUnits.h"

#include "app/CQXPanMainDlg.h"
#include "document/CQXPanKeyObj.h"

#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

using Kind = ScriptedUserInteraction::Kind;

// Object types as the object type box numbers them.
enum : int
{
    Background = 0,
    PlaceBitmap = 1,
    TableRect = 2,
    TableRound = 3,
    SysKeyRect = 4,
    SysKeyRound = 5,
    FreeFuncRect = 6,
    FreeFuncRound = 7
};

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void WriteBitmap(const QString& path, int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, "BMP"));
}

// A key of the bitmap table: register rectangle, shape byte and first text line.
CQXPanKeyObj TableKey(int left, int top, quint8 shape, const QString& text)
{
    CQXPanKeyObj key;
    key.SetRegisterRect(left, top, left + 100, top + 60);
    key.SetShape(shape);
    key.SetTypeCode(45);
    key.SetFillColour(0xFFFFFFu, true);
    key.SetText1(text);
    return key;
}

QStringList Column(const QTreeWidget* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

class MainWindowItems : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Two system keys with the fixed columns of funckey.txt.
        WriteFile(env.Folder("data") + "/funckey.txt",
                  "0402 00000 045      CLERK\n0402 00001 030      VOID\n");
        WriteBitmap(env.Folder("back") + "/sky.bmp", 16, 12, QColor(0, 0, 200));
        WriteBitmap(env.Folder("placed") + "/logo.bmp", 64, 32, QColor(200, 0, 0));
    }

    void Start()
    {
        ASSERT_TRUE(dlg.OnInitDialog());
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    }

    // Chooses an object type as the user does in the box.
    void ChooseObjectType(int type)
    {
        dlg.m_cbObjectType->setCurrentIndex(type);
        dlg.OnObjectTypeChange();
    }

    // Chooses an image type as the user does in the box.
    void ChooseImageType(int index)
    {
        dlg.m_cbImageType->setCurrentIndex(index);
        dlg.OnImageTypeChange();
    }

    QPushButton* Button(int id) { return qobject_cast<QPushButton*>(dlg.GetDlgItem(id)); }

    // Position of the background row with this name, -1 when the list has none.
    int BackgroundPosition(const QString& name)
    {
        const QStringList names = Column(dlg.m_lcItems, 0);
        return int(names.indexOf(name));
    }

    AppTestEnvironment env;
    CQXPanMainDlg dlg{env.app.get()};
};

TEST_F(MainWindowItems, StartShowsTheScreenLogoTypesAndItsFirstBitmapBackground)
{
    Start();
    ASSERT_EQ(dlg.m_cbObjectType->count(), 2);
    EXPECT_EQ(dlg.m_cbObjectType->itemText(0), "Background");
    EXPECT_EQ(dlg.m_cbObjectType->itemText(1), "Place Bitmap");
    EXPECT_FALSE(dlg.m_cbObjectType->itemIcon(0).isNull());
    EXPECT_FALSE(dlg.m_cbObjectType->itemIcon(1).isNull());
    EXPECT_EQ(dlg.m_ObjDlg.m_nObjType, Background);

    // No screen file yet: the placeholder Aempty.bmp is the first bitmap row and is loaded.
    const QStringList names = Column(dlg.m_lcItems, 0);
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(names.first().toLower(), "aempty.bmp");
    EXPECT_TRUE(names.contains("sky.bmp"));
    EXPECT_EQ(dlg.m_nListSel, 0);
    EXPECT_FALSE(dlg.m_DesignDlg.m_Background.IsEmpty());
    EXPECT_FALSE(dlg.m_DesignDlg.m_bModified);
    EXPECT_TRUE(Button(CQXPanMainDlg::IDC_BROWSE)->isEnabled());
    EXPECT_TRUE(Button(CQXPanMainDlg::IDC_EDIT)->isEnabled());
    EXPECT_EQ(dlg.m_DesignDlg.m_pObjDlg, &dlg.m_ObjDlg);
    EXPECT_TRUE(env.ui.Calls().isEmpty());
}

// Object type -> column captions and widths, whether the list can be used, Browse and Edit.
struct TypeColumns
{
    int type;
    QStringList captions;
    QList<int> widths;
    bool listEnabled;
    bool browse;
    bool edit;
};

class MainWindowColumns : public MainWindowItems, public ::testing::WithParamInterface<TypeColumns>
{};

TEST_P(MainWindowColumns, ColumnsFollowTheHeaderTexts)
{
    const TypeColumns& c = GetParam();
    Start();
    ChooseImageType(1);
    ChooseObjectType(c.type);
    EXPECT_EQ(dlg.m_ObjDlg.m_nObjType, c.type);
    QStringList captions;
    QList<int> widths;
    for (int column = 0; column < 3; ++column) {
        captions << dlg.m_lcItems->headerItem()->text(column);
        widths << dlg.m_lcItems->header()->sectionSize(column);
    }
    EXPECT_EQ(captions, c.captions);
    // The widths are those of the editor's first font, grown with the font in use.
    QList<int> expected = c.widths;
    for (int& width : expected)
        width = DialogUnits(dlg.m_lcItems->font()).Pixels(width);
    EXPECT_EQ(widths, expected);
    EXPECT_EQ(dlg.m_lcItems->isEnabled(), c.listEnabled);
    EXPECT_EQ(Button(CQXPanMainDlg::IDC_BROWSE)->isEnabled(), c.browse);
    EXPECT_EQ(Button(CQXPanMainDlg::IDC_EDIT)->isEnabled(), c.edit);
}

INSTANTIATE_TEST_SUITE_P(
    Types, MainWindowColumns,
    ::testing::Values(
        TypeColumns{FreeFuncRound, {"Rec", "Character", "FC  "}, {34, 100, 50}, true, false, false},
        TypeColumns{SysKeyRect, {"", "Character", "FC  "}, {0, 100, 50}, true, false, false},
        TypeColumns{TableRound, {"", "", "FC  "}, {0, 0, 50}, false, false, false},
        TypeColumns{PlaceBitmap, {"File Name         ", "", ""}, {154, 0, 0}, true, true, true}));

TEST_F(MainWindowItems, CheckWindowLoadsItsSliceAndTheLogoDropsIt)
{
    Start();
    dlg.m_arrBitmapTable[80] = TableKey(100, 100, 1, "ONE");
    dlg.m_arrBitmapTable[81] = TableKey(300, 100, 2, "TWO");
    dlg.m_arrBitmapTable[0] = TableKey(500, 500, 1, "OTHER WINDOW");

    ChooseImageType(1); // 797
    EXPECT_EQ(dlg.m_cbObjectType->count(), 8);
    EXPECT_EQ(dlg.m_cbObjectType->itemText(7), "Free Function(Round)");
    ASSERT_EQ(dlg.m_DesignDlg.m_KeyObjs.size(), 2);
    EXPECT_EQ(dlg.m_DesignDlg.m_KeyObjs[1].GetText1(), "TWO");
    EXPECT_EQ(dlg.m_DesignDlg.m_nKeyCapacity, 80);
    EXPECT_EQ(dlg.m_nImageTypeSel, 1);
    EXPECT_FALSE(dlg.m_DesignDlg.m_bModified);

    ChooseImageType(0); // 796: nothing asked, the design was not modified
    EXPECT_EQ(dlg.m_cbObjectType->count(), 2);
    EXPECT_TRUE(dlg.m_DesignDlg.m_KeyObjs.isEmpty());
    EXPECT_TRUE(env.ui.Calls().isEmpty());
}

TEST_F(MainWindowItems, CancelAtClearQuestionKeepsTheOldImageType)
{
    Start();
    dlg.m_arrBitmapTable[80] = TableKey(100, 100, 1, "ONE");
    ChooseImageType(1);
    dlg.m_DesignDlg.m_bModified = true;

    env.ui.QueueAnswer(UserInteraction::IDCANCEL);
    ChooseImageType(2);
    ASSERT_EQ(env.ui.CallsOf(Kind::MessageBox).size(), 1);
    EXPECT_EQ(env.ui.Calls().last().text, "Do you want to clear?");
    EXPECT_EQ(env.ui.Calls().last().buttons, UserInteraction::MB_OKCANCEL);
    EXPECT_EQ(dlg.m_cbImageType->currentIndex(), 1);
    EXPECT_EQ(dlg.m_nImageTypeSel, 1);
    EXPECT_EQ(dlg.m_DesignDlg.m_KeyObjs.size(), 1);
    EXPECT_TRUE(dlg.m_DesignDlg.m_bModified);

    env.ui.QueueAnswer(UserInteraction::IDOK);
    ChooseImageType(2);
    EXPECT_EQ(dlg.m_nImageTypeSel, 2);
    EXPECT_TRUE(dlg.m_DesignDlg.m_KeyObjs.isEmpty());
    EXPECT_FALSE(dlg.m_DesignDlg.m_bModified);
}

TEST_F(MainWindowItems, ScreenFileRowImportsAndBitmapRowLoads)
{
    // A screen file whose header gives length 0: the import says "broken header".
    WriteFile(env.Folder("program") + "/FILE798P.TXT",
              "\"C\",\"n:P0798:\"\r\n\"h\",\"x\"\r\n\"f\",\"x\"\r\n000001,\"" +
                  QByteArray(320, '0') + "\"\r\n");
    Start();
    // Start-up picks FILE796P.TXT or a bitmap, never another screen file.
    EXPECT_TRUE(env.ui.Calls().isEmpty());
    const int screenRow = BackgroundPosition("FILE798P.TXT");
    ASSERT_EQ(screenRow, 0);

    env.ui.QueueAnswer(UserInteraction::IDOK);
    dlg.SelectListPosition(screenRow);
    ASSERT_EQ(env.ui.CallsOf(Kind::MessageBox).size(), 1);
    EXPECT_EQ(env.ui.Calls().last().text, "broken header");
    EXPECT_EQ(dlg.m_DesignDlg.m_Background.Width(), 1024);
    EXPECT_EQ(dlg.m_DesignDlg.m_Background.Height(), 768);
    EXPECT_FALSE(Button(CQXPanMainDlg::IDC_EDIT)->isEnabled());
    EXPECT_EQ(dlg.m_nListSel, screenRow);
    EXPECT_TRUE(dlg.m_DesignDlg.m_bModified);

    dlg.SelectListPosition(BackgroundPosition("sky.bmp"));
    EXPECT_EQ(dlg.m_DesignDlg.m_Background.Width(), 16);
    EXPECT_TRUE(Button(CQXPanMainDlg::IDC_EDIT)->isEnabled());

    // Back from another type, the last background row is chosen again.
    ChooseObjectType(PlaceBitmap);
    ChooseObjectType(Background);
    EXPECT_EQ(dlg.m_lcItems->currentItem()->text(0), "sky.bmp");
}

TEST_F(MainWindowItems, CheckWindowShowsItsOwnScreenFileUnmodified)
{
    // Screen files 797 and 798 whose headers give length 0: an import says "broken header".
    const QByteArray broken = "\"C\",\"n:P0797:\"\r\n\"h\",\"x\"\r\n\"f\",\"x\"\r\n000001,\"" +
                              QByteArray(320, '0') + "\"\r\n";
    WriteFile(env.Folder("program") + "/FILE797P.TXT", broken);
    WriteFile(env.Folder("program") + "/FILE798P.TXT", broken);
    Start();
    EXPECT_EQ(dlg.m_lcItems->currentItem()->text(0).toLower(), "aempty.bmp");

    env.ui.QueueAnswer(UserInteraction::IDOK);
    ChooseImageType(2); // 798
    ASSERT_EQ(env.ui.CallsOf(Kind::MessageBox).size(), 1);
    EXPECT_EQ(env.ui.Calls().last().text, "broken header");
    EXPECT_EQ(dlg.m_lcItems->currentItem()->text(0), "FILE798P.TXT");
    EXPECT_FALSE(Button(CQXPanMainDlg::IDC_EDIT)->isEnabled());
    EXPECT_FALSE(dlg.m_DesignDlg.m_bModified);
}

TEST_F(MainWindowItems, LoadBackgroundBitmapDependsOnTheObjectType)
{
    Start();
    ChooseImageType(1);
    const int width = dlg.m_DesignDlg.m_Background.Width();
    const QString sky = env.Folder("back") + "/sky.bmp";

    dlg.m_ObjDlg.m_nObjType = PlaceBitmap;
    EXPECT_EQ(dlg.LoadBackgroundBitmap(sky), 0);
    EXPECT_EQ(dlg.m_DesignDlg.m_Background.Width(), width);
    dlg.m_ObjDlg.m_nObjType = TableRect;
    EXPECT_EQ(dlg.LoadBackgroundBitmap(sky), -1);
    EXPECT_EQ(dlg.m_DesignDlg.m_Background.Width(), width);

    dlg.m_ObjDlg.m_nObjType = Background;
    env.ui.QueueAnswer(UserInteraction::IDOK);
    EXPECT_EQ(dlg.LoadBackgroundBitmap(env.Folder("back") + "/missing.bmp"), -2);
    EXPECT_EQ(env.ui.Calls().last().text, "open err");
    EXPECT_EQ(env.ui.Calls().last().caption, "QXPan");
    EXPECT_TRUE(dlg.m_DesignDlg.m_Background.IsEmpty());
    EXPECT_EQ(dlg.LoadBackgroundBitmap(sky), 0);
    EXPECT_EQ(dlg.m_DesignDlg.m_Background.Width(), 16);
}

TEST_F(MainWindowItems, SystemKeyRowTurnsATableIntoAWhiteSystemKey)
{
    Start();
    ChooseImageType(1);
    CQXPanKeyObj key;
    key.SetRegisterRect(200, 300, 400, 360);
    key.SetTypeCode(93);
    key.SetShape(1);
    key.SetFillColour(0xE6E6E6u, false);
    key.SetNumber(12);
    const QXPanRect place = key.DisplayRect();

    ChooseObjectType(SysKeyRound);
    dlg.SelectListPosition(0); // "CLERK", 045
    dlg.m_ObjDlg.ApplyItemToKey(key);
    EXPECT_EQ(key.TypeCode(), 45);
    EXPECT_EQ(key.GetNumber(), 0);
    EXPECT_EQ(key.GetText1(), "CLERK");
    EXPECT_EQ(key.Shape(), 2);
    EXPECT_EQ(key.m_Cell.m_clrFill, 0xFFFFFFu);
    EXPECT_EQ(key.m_Cell.m_clrLabel, 0x000000u);
    EXPECT_EQ(key.DisplayRect(), place);
}

TEST_F(MainWindowItems, DraggingARowGivesTheMouseToTheDesignArea)
{
    Start();
    ChooseImageType(1);
    dlg.m_ObjDlg.m_nMode = 4;
    dlg.OnBeginDrag(0);
    EXPECT_EQ(dlg.m_ObjDlg.m_nMode, 4) << "background rows are never dragged";
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    ChooseObjectType(SysKeyRect);
    dlg.OnBeginDrag(1);
    EXPECT_EQ(dlg.m_ObjDlg.m_nMode, 3);
    EXPECT_EQ(dlg.m_ObjDlg.m_nSel[2], 2);
    EXPECT_EQ(QWidget::mouseGrabber(), &dlg.m_DesignDlg);
    // Releasing outside the design area ends the drag.
    QTest::mouseRelease(&dlg.m_DesignDlg, Qt::LeftButton, {}, QPoint(900, 700));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(dlg.m_ObjDlg.m_nMode, 0);
}

TEST_F(MainWindowItems, PlacedBitmapRowBecomesASelectedObject)
{
    Start();
    ChooseObjectType(PlaceBitmap);
    ASSERT_EQ(Column(dlg.m_lcItems, 0), QStringList({"logo.bmp"}));
    int index = -1;
    EXPECT_EQ(dlg.m_DesignDlg.AddBmpObjFromItem(index), 1);
    EXPECT_EQ(index, 0);
    ASSERT_EQ(dlg.m_DesignDlg.m_BmpObjs.size(), 1);
    const CQXPanBmpObj& bmp = dlg.m_DesignDlg.m_BmpObjs[0];
    EXPECT_EQ(bmp.m_strFileName, "logo.bmp");
    EXPECT_EQ(bmp.m_rcRegister, (QXPanRect{0, 0, 64, 32}));
    EXPECT_EQ(bmp.DisplayRect(), (QXPanRect{0, 0, 50, 25}));
    EXPECT_EQ(dlg.m_DesignDlg.m_SelRect.m_nObjIndex, 0);

    // Selecting it on the design area makes its row and type current again.
    ChooseObjectType(Background);
    dlg.m_ObjDlg.m_nMode = 4;
    dlg.m_ObjDlg.SelectBitmapObject(bmp);
    EXPECT_EQ(dlg.m_cbObjectType->currentIndex(), PlaceBitmap);
    EXPECT_EQ(dlg.m_ObjDlg.m_nObjType, PlaceBitmap);
    EXPECT_EQ(dlg.m_ObjDlg.m_nSel[0], 1);
    EXPECT_EQ(Column(dlg.m_lcItems, 0), QStringList({"logo.bmp"}));
}

TEST_F(MainWindowItems, PressInTheDialogDropsTheSelectionExceptOnDelete)
{
    Start();
    dlg.m_DesignDlg.m_SelRect.m_nObjIndex = 0;
    dlg.m_DesignDlg.m_SelRect.show();
    QTest::mouseClick(dlg.GetDlgItem(CQXPanMainDlg::IDC_DELETE), Qt::LeftButton);
    EXPECT_TRUE(dlg.m_DesignDlg.m_SelRect.isVisible());
    EXPECT_EQ(dlg.m_DesignDlg.m_SelRect.m_nObjIndex, 0);

    QTest::mouseClick(dlg.m_lcItems->viewport(), Qt::LeftButton, {}, QPoint(5, 100));
    EXPECT_FALSE(dlg.m_DesignDlg.m_SelRect.isVisible());
    EXPECT_EQ(dlg.m_DesignDlg.m_SelRect.m_nObjIndex, -1);
}

TEST_F(MainWindowItems, WrongBitmapTableFileIsReported)
{
    WriteFile(env.Folder("program") + "/FILE795P.TXT", "garbage\r\n");
    env.ui.QueueAnswer(UserInteraction::IDOK);
    Start();
    ASSERT_EQ(env.ui.CallsOf(Kind::MessageBox).size(), 1);
    EXPECT_EQ(env.ui.Calls().first().text, "Wrong FILE795P.TXT file.");
    EXPECT_EQ(dlg.m_arrBitmapTable.size(), 240);
}

} // namespace
