#include "ObjDlgTestBranch.h"
#include "ScriptedUserInteraction.h"

#include "canvas/CQXPanSelRect.h"
#include "document/CQXPanKeyObj.h"
#include "objdlg/CQXPanObjDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using Kind = ScriptedUserInteraction::Kind;

struct KeyValues
{
    quint16 typeCode = 45;
    quint32 number = 0;
    quint8 shape = 1;
    QXPanColor fill = 0xFFFFFFu;
    QXPanColor text = 0x000000u;
};

class ObjDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dlg.SetApplication(m_branch.Folders(), &m_ui);
        ASSERT_EQ(m_dlg.LoadReferenceData(nullptr), 1);
    }

    void Open(const KeyValues& values)
    {
        m_key.SetRegisterRect(100, 200, 300, 260);
        m_key.SetTypeCode(values.typeCode);
        m_key.SetNumber(values.number);
        m_key.SetShape(values.shape);
        m_key.SetFillColour(values.fill, true);
        m_key.SetTextColour(values.text, true);
        m_key.SetText1(QStringLiteral("FIRST"));
        m_key.SetText2(QStringLiteral("SECOND"));
        m_dlg.SetEditObject(&m_key);
        m_dlg.OnInitDialog();
        m_dlg.show();
    }

    /// Replaces the text of an edit by typing, one keystroke at a time.
    static void Type(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, text);
    }

    /// Moves a combo box's selection down as the user does with the arrow key.
    static void StepDown(QComboBox* box, int steps)
    {
        box->setFocus();
        for (int i = 0; i < steps; ++i)
            QTest::keyClick(box, Qt::Key_Down);
    }

    QStringList MessageTexts() const
    {
        QStringList texts;
        for (const auto& call : m_ui.CallsOf(Kind::MessageBox)) {
            EXPECT_EQ(call.caption, QStringLiteral("QXPan"));
            texts << call.text;
        }
        return texts;
    }

    ObjDlgTestBranch m_branch;
    ScriptedUserInteraction m_ui;
    CQXPanObjDlg m_dlg;
    CQXPanKeyObj m_key;
};

// Position checks --------------------------------------------------------------------------

struct PositionCase
{
    const char* name;
    const char* field; // control id
    const char* typed;
    const char* x1;
    const char* x2;
    const char* y1;
    const char* y2;
    const char* width;
    const char* height;
};

class PositionTest : public ObjDlgTest, public ::testing::WithParamInterface<PositionCase>
{};

TEST_P(PositionTest, LeavingAFieldKeepsTheObjectOnScreenAndAtLeast30Wide)
{
    const PositionCase& c = GetParam();
    Open({});
    QLineEdit* field = m_dlg.findChild<QLineEdit*>(QString::fromLatin1(c.field));
    Type(field, QString::fromLatin1(c.typed));
    // Nothing is corrected while the number is being typed.
    EXPECT_EQ(field->text(), QString::fromLatin1(c.typed));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(m_dlg.m_edLeft->text(), QString::fromLatin1(c.x1));
    EXPECT_EQ(m_dlg.m_edRight->text(), QString::fromLatin1(c.x2));
    EXPECT_EQ(m_dlg.m_edTop->text(), QString::fromLatin1(c.y1));
    EXPECT_EQ(m_dlg.m_edBottom->text(), QString::fromLatin1(c.y2));
    EXPECT_EQ(m_dlg.m_stWidth->text(), QString::fromLatin1(c.width));
    EXPECT_EQ(m_dlg.m_stHeight->text(), QString::fromLatin1(c.height));
}

// The key starts at (100, 200) - (300, 260).
INSTANTIATE_TEST_SUITE_P(
    Typing, PositionTest,
    ::testing::Values(
        PositionCase{"X1Beyond", "1000", "2000", "993", "1023", "200", "260", "30", "60"},
        PositionCase{"Y1Beyond", "1002", "2000", "100", "300", "737", "767", "200", "30"},
        PositionCase{"X1PushesX2", "1000", "950", "950", "980", "200", "260", "30", "60"},
        PositionCase{"X1Negative", "1000", "-5", "0", "300", "200", "260", "300", "60"},
        PositionCase{"X2FirstDigitTooSmall", "1003", "5", "100", "130", "200", "260", "30", "60"},
        PositionCase{"X2Beyond", "1003", "5000", "100", "1023", "200", "260", "923", "60"},
        PositionCase{"Y2Emptied", "1004", "", "100", "300", "200", "230", "200", "30"},
        // The first digit alone would be too small; the whole number is what counts.
        PositionCase{"Y2TypedOut", "1004", "700", "100", "300", "200", "700", "200", "500"},
        PositionCase{"Y1InRange", "1002", "50", "100", "300", "50", "260", "200", "210"}),
    [](const auto& info) { return std::string(info.param.name); });

// Table number -----------------------------------------------------------------------------

struct TableNoCase
{
    const char* name;
    const char* typed;
    const char* expected;
    int notNumber; // messages for text that is not a number
    int outOfRange;
};

class TableNumberTest : public ObjDlgTest, public ::testing::WithParamInterface<TableNoCase>
{};

TEST_P(TableNumberTest, LeavingTheFieldValidatesAndClamps)
{
    const TableNoCase& c = GetParam();
    Open({93, 55});
    ASSERT_EQ(m_dlg.m_edTableNo->text(), QStringLiteral("55"));
    Type(m_dlg.m_edTableNo, QString::fromLatin1(c.typed));
    EXPECT_TRUE(MessageTexts().isEmpty()); // no box while typing
    for (int i = 0; i < c.notNumber + c.outOfRange; ++i)
        m_ui.QueueAnswer(UserInteraction::IDOK);
    QTest::keyClick(m_dlg.m_edTableNo, Qt::Key_Return);
    EXPECT_EQ(m_dlg.m_edTableNo->text(), QString::fromLatin1(c.expected));
    EXPECT_EQ(m_dlg.m_nTableNo, QString::fromLatin1(c.expected).toInt());
    const QStringList texts = MessageTexts();
    EXPECT_EQ(texts.count(QStringLiteral("The table number must be a whole number.")), c.notNumber);
    EXPECT_EQ(texts.count(QStringLiteral("The table number must be from 1 to 999999.")),
              c.outOfRange);
}

INSTANTIATE_TEST_SUITE_P(Typing, TableNumberTest,
                         ::testing::Values(TableNoCase{"Valid", "42", "42", 0, 0},
                                           TableNoCase{"Letters", "abc", "55", 1, 0},
                                           TableNoCase{"Emptied", "", "55", 1, 0},
                                           TableNoCase{"Zero", "0", "1", 0, 1},
                                           TableNoCase{"SevenDigits", "1234567", "999999", 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// Colour preview ---------------------------------------------------------------------------

struct ContrastCase
{
    QXPanColor colour;
    QXPanColor label;
};

class ContrastTest : public ObjDlgTest, public ::testing::WithParamInterface<ContrastCase>
{};

TEST_P(ContrastTest, SwatchLabelsUseTheContrastColour)
{
    const ContrastCase& c = GetParam();
    Open({45, 0, 1, c.colour, c.colour});
    for (int part = 0; part < 2; ++part) {
        EXPECT_EQ(m_dlg.m_Preview->GetPartColour(part, false), c.colour);
        EXPECT_EQ(m_dlg.m_Preview->m_Parts[part].m_clrLabel, c.label);
    }
    EXPECT_EQ(m_dlg.m_Preview->m_Parts[0].m_strLabel, QStringLiteral("Background"));
    EXPECT_EQ(m_dlg.m_Preview->m_Parts[1].m_strLabel, QStringLiteral("Text"));
}

INSTANTIATE_TEST_SUITE_P(Colours, ContrastTest,
                         ::testing::Values(ContrastCase{QXPanRgb(200, 200, 200), 0x000000u},
                                           ContrastCase{QXPanRgb(100, 100, 100), 0xFFFFFFu},
                                           ContrastCase{QXPanRgb(128, 128, 128), 0x000000u},
                                           ContrastCase{QXPanRgb(127, 128, 128), 0xFFFFFFu},
                                           ContrastCase{QXPanRgb(0, 0, 255), 0xFFFFFFu}));

TEST_F(ObjDlgTest, ClickIntoASwatchChoosesItsColour)
{
    Open({45});
    const QRect preview = m_dlg.m_Preview->geometry();
    m_ui.QueueColor(QColor(10, 20, 30));
    QTest::mouseClick(&m_dlg, Qt::LeftButton, {}, preview.topLeft() + QPoint(5, 5));
    m_ui.QueueColor(std::nullopt);
    QTest::mouseClick(&m_dlg, Qt::LeftButton, {}, preview.topRight() + QPoint(-5, 5));
    QTest::mouseClick(&m_dlg, Qt::LeftButton, {}, preview.bottomRight() + QPoint(5, 5));

    const auto calls = m_ui.CallsOf(Kind::ChooseColor);
    ASSERT_EQ(calls.size(), 2);
    // Each dialog opens on the swatch's own colour.
    EXPECT_EQ(calls[0].initialColor, QColor(255, 255, 255));
    EXPECT_EQ(calls[1].initialColor, QColor(0, 0, 0));
    EXPECT_EQ(m_dlg.m_Preview->GetPartColour(0, false), QXPanRgb(10, 20, 30));
    EXPECT_EQ(m_dlg.m_Preview->m_Parts[0].m_clrLabel, 0xFFFFFFu);
    EXPECT_EQ(m_dlg.m_Preview->GetPartColour(1, false), 0x000000u);

    QTest::mouseClick(m_dlg.m_btnOk, Qt::LeftButton);
    EXPECT_EQ(m_dlg.result(), CQXPanObjDlg::kIdOk);
    EXPECT_EQ(m_key.m_Record.Colour(ScreenObjectRecord::FillColour), QXPanRgb(10, 20, 30));
    EXPECT_EQ(m_key.m_Cell.m_clrFill, QXPanRgb(10, 20, 30));
}

// Type layout ------------------------------------------------------------------------------

TEST_F(ObjDlgTest, RoundSystemKeyShowsItsLayout)
{
    Open({12, 0, 2});
    EXPECT_EQ(m_dlg.m_cbType->currentText(), QStringLiteral("System Key(Round)"));
    EXPECT_EQ(m_dlg.m_cbType->count(), 6);
    EXPECT_FALSE(m_dlg.m_cbRecordNo->isHidden());
    EXPECT_FALSE(m_dlg.m_cbRecordNo->isEnabled());
    EXPECT_EQ(m_dlg.m_cbRecordNo->count(), 0);
    EXPECT_EQ(m_dlg.m_cbFunction->count(), 3);
    EXPECT_EQ(m_dlg.m_cbRegDesc->count(), 3);
    EXPECT_EQ(m_dlg.m_cbFunction->currentText(), QStringLiteral("012"));
    EXPECT_EQ(m_dlg.m_cbRegDesc->currentText(), QStringLiteral("PLU"));
    EXPECT_TRUE(m_dlg.m_edTableNo->isHidden());
    EXPECT_FALSE(m_dlg.m_Preview->isHidden());
    EXPECT_EQ(m_dlg.m_lbLine1->text(), QStringLiteral("Description:(&D)"));
    EXPECT_EQ(m_dlg.m_edLine1->text(), QStringLiteral("FIRST"));
    EXPECT_EQ(m_dlg.m_edLine2->text(), QStringLiteral("SECOND"));
}

TEST_F(ObjDlgTest, SwitchingFromTableToKeyAndBackRestoresTheTableLayout)
{
    Open({93, 55});
    auto checkTable = [this] {
        EXPECT_FALSE(m_dlg.m_lbTableNo->isHidden());
        EXPECT_FALSE(m_dlg.m_edTableNo->isHidden());
        EXPECT_EQ(m_dlg.m_lbLine1->text(), QStringLiteral("Table Name:(&N)"));
        EXPECT_TRUE(m_dlg.m_edLine2->isHidden());
        EXPECT_TRUE(m_dlg.m_cbRecordNo->isHidden());
        EXPECT_TRUE(m_dlg.m_cbRegDesc->isHidden());
        EXPECT_TRUE(m_dlg.m_Preview->isHidden());
        EXPECT_FALSE(m_dlg.m_cbFunction->isEnabled());
        ASSERT_EQ(m_dlg.m_cbFunction->count(), 1);
        EXPECT_EQ(m_dlg.m_cbFunction->currentText(), QStringLiteral("93"));
    };
    checkTable();

    StepDown(m_dlg.m_cbType, 4); // Free Function(Rectangle)
    EXPECT_EQ(m_dlg.m_cbType->currentText(), QStringLiteral("Free Function(Rectangle)"));
    EXPECT_TRUE(m_dlg.m_edTableNo->isHidden());
    EXPECT_TRUE(m_dlg.m_cbFunction->isEnabled());
    EXPECT_TRUE(m_dlg.m_cbRecordNo->isEnabled());
    EXPECT_EQ(m_dlg.m_cbRecordNo->count(), 3);
    // No free-function row chosen yet: the first row is offered, and the texts stay.
    EXPECT_EQ(m_dlg.m_cbRecordNo->currentIndex(), 0);
    EXPECT_EQ(m_dlg.m_edLine1->text(), QStringLiteral("FIRST"));
    EXPECT_EQ(m_dlg.m_edLine2->text(), QStringLiteral("SECOND"));

    m_dlg.m_cbType->setFocus();
    QTest::keyClick(m_dlg.m_cbType, Qt::Key_Home);
    checkTable();
    EXPECT_EQ(m_dlg.m_edTableNo->text(), QStringLiteral("55"));
}

TEST_F(ObjDlgTest, ChangingTheTypeKeepsWhatWasTypedAndChosen)
{
    Open({45});
    Type(m_dlg.m_edLine1, QStringLiteral("MINE"));
    Type(m_dlg.m_edLine2, QStringLiteral("TOO"));
    m_ui.QueueColor(QColor(10, 20, 30));
    QTest::mouseClick(&m_dlg, Qt::LeftButton, {},
                      m_dlg.m_Preview->geometry().topLeft() + QPoint(5, 5));
    StepDown(m_dlg.m_cbType, 1); // System Key(Round)
    EXPECT_EQ(m_dlg.m_edLine1->text(), QStringLiteral("MINE"));
    EXPECT_EQ(m_dlg.m_edLine2->text(), QStringLiteral("TOO"));
    EXPECT_EQ(m_dlg.m_Preview->GetPartColour(0, false), QXPanRgb(10, 20, 30));
}

TEST_F(ObjDlgTest, AKeyMadeATableShowsAsATableAtOnce)
{
    Open({45, 0, 1, QXPanRgb(10, 20, 30), QXPanRgb(200, 0, 0)});
    m_dlg.m_cbType->setFocus();
    QTest::keyClick(m_dlg.m_cbType, Qt::Key_Home); // Table(Rectangle)
    QTest::mouseClick(m_dlg.m_btnOk, Qt::LeftButton);
    ASSERT_EQ(m_dlg.result(), CQXPanObjDlg::kIdOk);
    // Grey with black text, as the table reads back; its record keeps the bytes it had.
    EXPECT_EQ(m_key.m_Cell.m_clrFill, 0xE6E6E6u);
    EXPECT_EQ(m_key.m_Cell.m_clrLabel, 0x000000u);
    EXPECT_EQ(m_key.m_Record.Colour(ScreenObjectRecord::FillColour), QXPanRgb(10, 20, 30));
}

// Linked selection -------------------------------------------------------------------------

class LinkedSelectionTest : public ObjDlgTest, public ::testing::WithParamInterface<const char*>
{};

TEST_P(LinkedSelectionTest, ChoosingAnEntrySelectsTheSameRowEverywhere)
{
    Open({61, 1}); // free function record 1
    ASSERT_EQ(m_dlg.m_cbFunction->currentIndex(), 0);
    StepDown(m_dlg.findChild<QComboBox*>(QString::fromLatin1(GetParam())), 2);
    EXPECT_EQ(m_dlg.m_cbRegDesc->currentIndex(), 2);
    EXPECT_EQ(m_dlg.m_cbFunction->currentIndex(), 2);
    EXPECT_EQ(m_dlg.m_cbRecordNo->currentIndex(), 2);
    EXPECT_EQ(m_dlg.m_edLine1->text(), QStringLiteral("CASH            "));
    EXPECT_EQ(m_dlg.m_edLine2->text(), QString());
}

INSTANTIATE_TEST_SUITE_P(Boxes, LinkedSelectionTest, ::testing::Values("1007", "1008", "1009"));

// Accept and Cancel ------------------------------------------------------------------------

TEST_F(ObjDlgTest, AcceptingATableWritesNumberCodeShapeAndPosition)
{
    Open({93, 55, 1, QXPanRgb(1, 2, 3), QXPanRgb(4, 5, 6)});
    StepDown(m_dlg.m_cbType, 1); // Table(Round)
    Type(m_dlg.m_edLeft, QStringLiteral("150"));
    Type(m_dlg.m_edTableNo, QStringLiteral("77"));
    Type(m_dlg.m_edLine1, QStringLiteral("TABLE 7"));
    QTest::mouseClick(m_dlg.m_btnOk, Qt::LeftButton);

    EXPECT_EQ(m_dlg.result(), CQXPanObjDlg::kIdOk);
    EXPECT_EQ(m_key.TypeCode(), 93);
    EXPECT_EQ(m_key.GetNumber(), 77);
    EXPECT_EQ(m_key.Shape(), 2);
    EXPECT_EQ(m_key.RegisterRect(), (QXPanRect{150, 200, 300, 260}));
    EXPECT_EQ(m_key.GetText1(), QStringLiteral("TABLE 7"));
    EXPECT_EQ(m_key.GetText2(), QStringLiteral("SECOND"));
    EXPECT_EQ(m_key.m_Record.Colour(ScreenObjectRecord::FillColour), QXPanRgb(1, 2, 3));
    EXPECT_EQ(m_key.m_Record.Colour(ScreenObjectRecord::TextColour), QXPanRgb(4, 5, 6));
}

TEST_F(ObjDlgTest, AcceptingAFreeFunctionWritesTheChosenRow)
{
    Open({61, 1, 2, QXPanRgb(200, 0, 0), QXPanRgb(0, 0, 200)});
    StepDown(m_dlg.m_cbRecordNo, 2);
    Type(m_dlg.m_edLine2, QStringLiteral("LINE TWO"));
    QTest::mouseClick(m_dlg.m_btnOk, Qt::LeftButton);

    EXPECT_EQ(m_dlg.result(), CQXPanObjDlg::kIdOk);
    EXPECT_EQ(m_key.TypeCode(), 63);
    EXPECT_EQ(m_key.GetNumber(), 3);
    EXPECT_EQ(m_key.Shape(), 2);
    EXPECT_EQ(m_key.GetText1(), QStringLiteral("CASH"));
    EXPECT_EQ(m_key.GetText2(), QStringLiteral("LINE TWO"));
    EXPECT_EQ(m_key.m_Record.Colour(ScreenObjectRecord::FillColour), QXPanRgb(200, 0, 0));
    EXPECT_EQ(m_key.m_Record.Colour(ScreenObjectRecord::TextColour), QXPanRgb(0, 0, 200));
}

TEST_F(ObjDlgTest, AcceptingAKeyWithoutFunctionKeepsTheDialogOpen)
{
    Open({777}); // a system key code no row carries
    ASSERT_EQ(m_dlg.m_cbFunction->currentIndex(), -1);
    Type(m_dlg.m_edLeft, QStringLiteral("150"));
    Type(m_dlg.m_edLine1, QStringLiteral("NEW"));
    m_ui.QueueAnswer(UserInteraction::IDOK);
    QTest::mouseClick(m_dlg.m_btnOk, Qt::LeftButton);

    EXPECT_EQ(MessageTexts(), QStringList({"Null function"}));
    EXPECT_TRUE(m_dlg.isVisible());
    EXPECT_EQ(m_key.TypeCode(), 777);

    QTest::mouseClick(m_dlg.m_btnCancel, Qt::LeftButton);
    EXPECT_FALSE(m_dlg.isVisible());
    EXPECT_EQ(m_dlg.result(), CQXPanObjDlg::kIdCancel);
    // What the failed attempt wrote stays.
    EXPECT_EQ(m_key.RegisterRect().left, 150);
    EXPECT_EQ(m_key.GetText1(), QStringLiteral("NEW"));
}

TEST_F(ObjDlgTest, EscapeCancelsWithoutWritingAndEnterClosesNothing)
{
    Open({45});
    const ScreenObjectRecord before = m_key.m_Record;
    Type(m_dlg.m_edLeft, QStringLiteral("400"));
    Type(m_dlg.m_edLine1, QStringLiteral("CHANGED"));
    StepDown(m_dlg.m_cbFunction, 1);
    QTest::keyClick(m_dlg.m_edLine1, Qt::Key_Return);
    EXPECT_TRUE(m_dlg.isVisible());

    QTest::keyClick(m_dlg.m_edLine1, Qt::Key_Escape);
    EXPECT_FALSE(m_dlg.isVisible());
    EXPECT_EQ(m_dlg.result(), CQXPanObjDlg::kIdCancel);
    EXPECT_EQ(m_key.m_Record, before);
}

TEST_F(ObjDlgTest, DoModalReturnsTheButtonsResult)
{
    m_key.SetTypeCode(93);
    m_key.SetShape(1);
    m_dlg.SetEditObject(&m_key);
    QTimer::singleShot(0, m_dlg.m_btnOk, &QPushButton::click);
    EXPECT_EQ(m_dlg.DoModal(), CQXPanObjDlg::kIdOk);
    QTimer::singleShot(0, m_dlg.m_btnCancel, &QPushButton::click);
    EXPECT_EQ(m_dlg.DoModal(), CQXPanObjDlg::kIdCancel);
}

TEST(ObjDlgFromApp, ServicesComeFromWhatTheApplicationHandsOver)
{
    ObjDlgTestBranch branch;
    ScriptedUserInteraction ui;
    CQXPanObjDlg dlg;
    // A smaller screen shows where the limits come from.
    dlg.SetApplication(branch.Folders(), &ui, QXPanRect{0, 0, 640, 480});
    ASSERT_EQ(dlg.LoadReferenceData(nullptr), 1);
    EXPECT_EQ(dlg.m_SysKeyList.size(), 4u);
    EXPECT_EQ(dlg.m_BmpList.size(), 3u);

    CQXPanKeyObj key;
    key.SetTypeCode(93);
    key.SetShape(1);
    dlg.SetEditObject(&key);
    dlg.OnInitDialog();
    dlg.m_edLeft->setText(QStringLiteral("2000"));
    QTest::keyClick(dlg.m_edLeft, Qt::Key_Return);
    EXPECT_EQ(dlg.m_edLeft->text(), QStringLiteral("609"));
    EXPECT_EQ(dlg.m_edRight->text(), QStringLiteral("639"));

    ui.QueueAnswer(UserInteraction::IDOK);
    dlg.m_edTableNo->setText(QStringLiteral("x"));
    QTest::keyClick(dlg.m_edTableNo, Qt::Key_Return);
    EXPECT_EQ(ui.CallsOf(ScriptedUserInteraction::Kind::MessageBox).size(), 1);
}

// The item state with a main dialog that notes what it is asked to show.
class ShownInMain : public CQXPanItemState
{
public:
    QList<std::pair<int, bool>> types;
    QList<int> positions;

protected:
    void ShowObjectType(int type, bool refill) override { types.append({type, refill}); }
    void ShowItemPosition(int position) override { positions.append(position); }
    bool HasMainDialog() const override { return true; }
};

TEST(ItemState, SelectingAnObjectShowsItsTypeAndRowInTheMainDialog)
{
    ObjDlgTestBranch branch;
    ShownInMain state;
    state.SetFolders(branch.Folders());
    ASSERT_EQ(state.LoadReferenceData(), 1);
    const auto& types = state.types;
    const auto& positions = state.positions;

    CQXPanKeyObj key;
    key.SetShape(1);
    key.SetTypeCode(12);
    state.m_nMode = 3; // while a row is dragged the main dialog is left alone
    state.SetEditObject(&key);
    EXPECT_EQ(types.count(), 0);
    EXPECT_EQ(positions.count(), 0);

    state.m_nObjType = QXPanObj::TypeBackground;
    state.m_nMode = 4;
    state.SetEditObject(&key);
    ASSERT_EQ(types.count(), 1);
    EXPECT_EQ(types[0], std::make_pair(int(QXPanObj::TypeSysKeyRect), true));
    ASSERT_EQ(positions.count(), 1);
    EXPECT_EQ(positions[0], 1); // row 2 shows at list position 1

    key.SetShape(2); // the round form: same pair, no refill
    state.SetEditObject(&key);
    ASSERT_EQ(types.count(), 2);
    EXPECT_EQ(types[1], std::make_pair(int(QXPanObj::TypeSysKeyRound), false));

    key.SetTypeCode(70); // a free function whose record 9 is not in the list
    key.SetNumber(9);
    state.SetEditObject(&key);
    EXPECT_EQ(state.m_nSel[3], 0);
    EXPECT_EQ(positions.last(), 0);
}

// Looks -------------------------------------------------------------------------------------

TEST_F(ObjDlgTest, EveryLabelAndButtonFitsItsPlace)
{
    for (quint16 code : {quint16(93), quint16(45), quint16(61)}) {
        Open({code, code == 61 ? 1u : 0u});
        for (QWidget* w : m_dlg.findChildren<QWidget*>()) {
            if (w->isHidden() || !(qobject_cast<QLabel*>(w) || qobject_cast<QPushButton*>(w)))
                continue;
            EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
            EXPECT_TRUE(m_dlg.rect().contains(w->geometry())) << w->objectName().toStdString();
        }
        const QByteArray shot = qgetenv("QXPAN_OBJDLG_SCREENSHOT");
        if (!shot.isEmpty()) {
            // Looking at the dialog by hand: the picture, and time for a screen capture.
            m_dlg.grab().save(QString::fromLocal8Bit(shot) + QString::number(code) + ".png");
            QTest::qWait(1500);
        }
        m_dlg.reject();
    }
}

} // namespace
