// Catches: typed fields corrected wrongly, wrong type, row or layout, wrong record on OK.
#include "ObjDlgTestBranch.h"
#include "ScriptedUserInteraction.h"

#include "canvas/CQXPanSelRect.h"
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "objdlg/CQXPanObjDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const char* const kWhole = "The table number must be a whole number.";
const char* const kRange = "The table number must be from 1 to 999999.";

class ObjDlg : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dlg.SetApplication(m_branch.Folders(), &m_ui);
        ASSERT_EQ(m_dlg.LoadReferenceData(nullptr), 1);
    }
    /// Opens the dialog on a key at register (100, 200, 300, 260) with texts FIRST and SECOND.
    void Open(quint16 code, quint32 number = 0, quint8 shape = 1, QXPanColor fill = 0xFFFFFFu,
              QXPanColor text = 0)
    {
        m_key = CQXPanKeyObj();
        m_key.SetRegisterRect(100, 200, 300, 260);
        m_key.SetTypeCode(code);
        m_key.SetNumber(number);
        m_key.SetShape(shape);
        m_key.SetFillColour(fill, true);
        m_key.SetTextColour(text, true);
        m_key.SetText1(QStringLiteral("FIRST"));
        m_key.SetText2(QStringLiteral("SECOND"));
        m_dlg.SetEditObject(&m_key);
        m_dlg.OnInitDialog();
        m_dlg.show();
    }
    /// Replaces an edit's text keystroke by keystroke.
    static void Type(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    static void StepDown(QComboBox* box, int steps)
    {
        box->setFocus();
        for (int i = 0; i < steps; ++i)
            QTest::keyClick(box, Qt::Key_Down);
    }
    void Ok() { QTest::mouseClick(m_dlg.m_btnOk, Qt::LeftButton); }
    QStringList Messages() const
    {
        QStringList texts;
        for (const auto& call : m_ui.CallsOf(ScriptedUserInteraction::Kind::MessageBox))
            texts << call.caption + QStringLiteral(": ") + call.text;
        return texts;
    }
    /// The controls of the layout that are hidden, by identifier.
    std::string Hidden() const
    {
        QStringList ids;
        for (QWidget* w :
             std::initializer_list<QWidget*>{m_dlg.m_Preview, m_dlg.m_cbRegDesc, m_dlg.m_cbRecordNo,
                                             m_dlg.m_edTableNo, m_dlg.m_edLine2})
            if (w->isHidden())
                ids << w->objectName();
        return ids.join(' ').toStdString();
    }
    /// What the record holds: code, number, shape, the texts, the fill and text colours.
    std::string Record() const
    {
        return QStringLiteral("%1 %2 %3 %4|%5 %6 %7")
            .arg(m_key.TypeCode())
            .arg(m_key.GetNumber())
            .arg(m_key.Shape())
            .arg(m_key.GetText1(), m_key.GetText2())
            .arg(m_key.m_Record.Colour(ScreenObjectRecord::FillColour), 6, 16, QLatin1Char('0'))
            .arg(m_key.m_Record.Colour(ScreenObjectRecord::TextColour), 6, 16, QLatin1Char('0'))
            .toStdString();
    }

    ObjDlgTestBranch m_branch;
    ScriptedUserInteraction m_ui;
    CQXPanObjDlg m_dlg;
    CQXPanKeyObj m_key;
};

// Leaving a field (Return) keeps the object on the screen and at least 30 wide and high, and
// the table number from 1 to 999999, saying why; nothing is corrected while typing.
TEST_F(ObjDlg, LeavingAFieldCorrectsWhatWasTyped)
{
    struct Row
    {
        const char *field, *typed, *shown; // shown: X1 X2 Y1 Y2 width height table number
        const char* message = "";
    };
    for (const Row& c : {Row{"1000", "2000", "993 1023 200 260 30 60 55", ""},
                         Row{"1002", "2000", "100 300 737 767 200 30 55", ""},
                         Row{"1000", "950", "950 980 200 260 30 60 55", ""}, // X1 pushes X2
                         Row{"1000", "-5", "0 300 200 260 300 60 55", ""},
                         Row{"1003", "5", "100 130 200 260 30 60 55", ""},
                         Row{"1003", "5000", "100 1023 200 260 923 60 55", ""},
                         Row{"1004", "", "100 300 200 230 200 30 55", ""},
                         Row{"1004", "700", "100 300 200 700 200 500 55", ""}, // not "7" alone
                         Row{"1002", "50", "100 300 50 260 200 210 55", ""},
                         Row{"1010", "42", "100 300 200 260 200 60 42", ""},
                         Row{"1010", "abc", "100 300 200 260 200 60 55", kWhole},
                         Row{"1010", "", "100 300 200 260 200 60 55", kWhole},
                         Row{"1010", "0", "100 300 200 260 200 60 1", kRange},
                         Row{"1010", "1234567", "100 300 200 260 200 60 999999", kRange}}) {
        SCOPED_TRACE(testing::Message() << c.field << " " << c.typed);
        const qsizetype seen = Messages().size();
        Open(93, 55);
        auto* field = m_dlg.findChild<QLineEdit*>(QString::fromLatin1(c.field));
        Type(field, QString::fromLatin1(c.typed));
        EXPECT_EQ(field->text(), QString::fromLatin1(c.typed));
        EXPECT_EQ(Messages().size(), seen);
        if (*c.message)
            m_ui.QueueAnswer(UserInteraction::IDOK);
        QTest::keyClick(field, Qt::Key_Return);
        const QStringList shown = {m_dlg.m_edLeft->text(),   m_dlg.m_edRight->text(),
                                   m_dlg.m_edTop->text(),    m_dlg.m_edBottom->text(),
                                   m_dlg.m_stWidth->text(),  m_dlg.m_stHeight->text(),
                                   m_dlg.m_edTableNo->text()};
        EXPECT_EQ(shown.join(' ').toStdString(), c.shown);
        EXPECT_EQ(m_dlg.m_nTableNo, shown.last().toInt());
        EXPECT_EQ(Messages().mid(seen).join(""), *c.message ? "QXPan: " + QString(c.message) : "");
        m_dlg.reject();
    }
    CQXPanObjDlg small; // the limits are the screen the application hands over
    small.SetApplication(m_branch.Folders(), &m_ui, QXPanRect{0, 0, 640, 480});
    small.SetEditObject(&m_key);
    small.OnInitDialog();
    Type(small.m_edLeft, QStringLiteral("2000"));
    QTest::keyClick(small.m_edLeft, Qt::Key_Return);
    EXPECT_EQ(small.m_edLeft->text() + ' ' + small.m_edRight->text(), QStringLiteral("609 639"));
}

TEST_F(ObjDlg, SwatchesShowTheColoursWithAContrastingLabelAndAClickChoosesOne)
{
    for (auto [colour, label] : {std::pair{QXPanRgb(200, 200, 200), 0x000000u},
                                 {QXPanRgb(100, 100, 100), 0xFFFFFFu},
                                 {QXPanRgb(128, 128, 128), 0x000000u},
                                 {QXPanRgb(127, 128, 128), 0xFFFFFFu},
                                 {QXPanRgb(0, 0, 255), 0xFFFFFFu}}) {
        Open(45, 0, 1, colour, colour);
        for (int part = 0; part < 2; ++part)
            EXPECT_EQ(m_dlg.m_Preview->m_Parts[part].m_clrLabel, label) << colour;
    }
    Open(45, 0, 1, QXPanRgb(255, 0, 0), QXPanRgb(0, 0, 255));
    const QImage shot = m_dlg.m_Preview->grab().toImage();
    const int w = m_dlg.m_Preview->width(), h = m_dlg.m_Preview->height();
    EXPECT_EQ(QColor(shot.pixel(w / 2 - 2, h - 4)), QColor(255, 0, 0)); // side by side
    EXPECT_EQ(QColor(shot.pixel(w / 2 + 2, h - 4)), QColor(0, 0, 255));

    const QRect preview = m_dlg.m_Preview->geometry();
    m_ui.QueueColor(QColor(10, 20, 30));
    QTest::mouseClick(&m_dlg, Qt::LeftButton, {}, preview.topLeft() + QPoint(5, 5));
    m_ui.QueueColor(std::nullopt); // cancelled
    QTest::mouseClick(&m_dlg, Qt::LeftButton, {}, preview.topRight() + QPoint(-5, 5));
    QTest::mouseClick(&m_dlg, Qt::LeftButton, {}, preview.bottomRight() + QPoint(5, 5));
    const auto calls = m_ui.CallsOf(ScriptedUserInteraction::Kind::ChooseColor);
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].initialColor, QColor(255, 0, 0)); // each opens on its swatch's colour
    EXPECT_EQ(calls[1].initialColor, QColor(0, 0, 255));
    EXPECT_EQ(m_dlg.m_Preview->m_Parts[0].m_clrLabel, 0xFFFFFFu);
    Type(m_dlg.m_edLine1, QStringLiteral("MINE"));
    StepDown(m_dlg.m_cbType, 1); // System Key(Round): what was typed and chosen stays
    Ok();
    EXPECT_EQ(Record(), "45 0 2 MINE|SECOND 1e140a ff0000");
    EXPECT_EQ(m_key.m_Cell.m_clrFill, QXPanRgb(10, 20, 30));
}

// A key's code, number and shape decide the type and the row the dialog shows.
TEST_F(ObjDlg, AKeyShowsItsTypeAndItsRow)
{
    for (auto [code, number, shape, type, function, record] :
         {std::tuple{93, 5, 1, "Table(Rectangle)", 0, -1},
          {93, 0, 2, "Table(Round)", 0, -1},
          {93, 0, 0, "Table(Rectangle)", 0, -1},
          {45, 0, 1, "System Key(Rectangle)", 0, -1},
          {12, 0, 2, "System Key(Round)", 1, -1},
          {777, 0, 1, "System Key(Rectangle)", -1, -1},
          {62, 2, 2, "Free Function(Round)", 1, 1},
          {63, 2, 1, "Free Function(Rectangle)", 2, 2},     // record 2 carries 062: 063's row wins
          {61, 12, 1, "Free Function(Rectangle)", 0, 0}}) { // no record 12: the first offered
        SCOPED_TRACE(code);
        CQXPanObjDlg dlg;
        dlg.SetApplication(m_branch.Folders(), &m_ui);
        ASSERT_EQ(dlg.LoadReferenceData(nullptr), 1);
        CQXPanKeyObj key;
        key.SetTypeCode(quint16(code));
        key.SetNumber(quint32(number));
        key.SetShape(quint8(shape));
        dlg.SetEditObject(&key);
        dlg.OnInitDialog();
        EXPECT_EQ(dlg.m_cbType->currentText(), QString::fromLatin1(type));
        EXPECT_EQ(dlg.m_cbFunction->currentIndex(), function);
        EXPECT_EQ(dlg.m_cbRecordNo->currentIndex(), record);
    }
}

TEST_F(ObjDlg, EachTypeHasItsLayoutAndSwitchingBackRestoresIt)
{
    Open(12, 0, 2);
    EXPECT_EQ(Hidden(), "1010");
    EXPECT_EQ(m_dlg.m_cbType->count(), 6);
    EXPECT_FALSE(m_dlg.m_cbRecordNo->isEnabled());
    EXPECT_EQ(m_dlg.m_cbRegDesc->currentText(), QStringLiteral("PLU"));
    EXPECT_EQ(m_dlg.m_lbLine1->text(), QStringLiteral("Description:(&D)"));

    Open(93, 55);
    EXPECT_EQ(Hidden(), "1001 1007 1009 1011");
    EXPECT_EQ(m_dlg.m_lbLine1->text(), QStringLiteral("Table Name:(&N)"));
    EXPECT_FALSE(m_dlg.m_cbFunction->isEnabled());
    EXPECT_EQ(m_dlg.m_cbFunction->currentText(), QStringLiteral("93"));
    StepDown(m_dlg.m_cbType, 4); // Free Function(Rectangle): the first row offered, texts kept
    EXPECT_EQ(Hidden(), "1010");
    EXPECT_EQ(m_dlg.m_cbRecordNo->count(), 3);
    EXPECT_EQ(m_dlg.m_cbRecordNo->currentIndex(), 0);
    EXPECT_EQ(m_dlg.m_edLine2->text(), QStringLiteral("SECOND"));
    QTest::keyClick(m_dlg.m_cbType, Qt::Key_Home);
    EXPECT_EQ(Hidden(), "1001 1007 1009 1011");
    EXPECT_EQ(m_dlg.m_lbLine1->text(), QStringLiteral("Table Name:(&N)"));
    EXPECT_EQ(m_dlg.m_edTableNo->text(), QStringLiteral("55"));

    for (quint16 code : {93, 45, 61}) { // every label and button fits its place
        Open(code, code == 61);
        for (QWidget* w : m_dlg.findChildren<QWidget*>())
            if (!w->isHidden() && (qobject_cast<QLabel*>(w) || qobject_cast<QPushButton*>(w))) {
                EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
                EXPECT_TRUE(m_dlg.rect().contains(w->geometry())) << w->objectName().toStdString();
            }
    }
}

TEST_F(ObjDlg, ChoosingInOneBoxSelectsTheSameRowInTheOthers)
{
    for (const char* box : {"1007", "1008", "1009"}) {
        Open(61, 1);
        StepDown(m_dlg.findChild<QComboBox*>(QString::fromLatin1(box)), 2);
        const QList<int> rows{m_dlg.m_cbRegDesc->currentIndex(), m_dlg.m_cbFunction->currentIndex(),
                              m_dlg.m_cbRecordNo->currentIndex()};
        EXPECT_EQ(rows, QList<int>({2, 2, 2})) << box;
        EXPECT_EQ(m_dlg.m_edLine1->text() + '|' + m_dlg.m_edLine2->text(), "CASH            |");
    }
}

TEST_F(ObjDlg, AcceptWritesTheRecordOfTheChosenTypeAndRow)
{
    Open(93, 55, 1, QXPanRgb(1, 2, 3), QXPanRgb(4, 5, 6));
    StepDown(m_dlg.m_cbType, 1); // Table(Round)
    Type(m_dlg.m_edLeft, QStringLiteral("150"));
    Type(m_dlg.m_edTableNo, QStringLiteral("77"));
    Type(m_dlg.m_edLine1, QStringLiteral("TABLE 7"));
    Ok();
    EXPECT_EQ(m_dlg.result(), CQXPanObjDlg::kIdOk);
    EXPECT_EQ(Record(), "93 77 2 TABLE 7|SECOND 030201 060504");
    EXPECT_EQ(m_key.RegisterRect(), (QXPanRect{150, 200, 300, 260}));

    Open(61, 1, 2, QXPanRgb(200, 0, 0), QXPanRgb(0, 0, 200));
    StepDown(m_dlg.m_cbRecordNo, 2);
    Type(m_dlg.m_edLine2, QStringLiteral("LINE TWO"));
    Ok();
    EXPECT_EQ(Record(), "63 3 2 CASH|LINE TWO 0000c8 c80000");

    // A key made a table shows grey with black text at once; its record keeps its colours.
    Open(45, 0, 1, QXPanRgb(10, 20, 30), QXPanRgb(200, 0, 0));
    QTest::keyClick(m_dlg.m_cbType, Qt::Key_Home);
    Ok();
    EXPECT_EQ(m_key.m_Cell.m_clrFill, 0xE6E6E6u);
    EXPECT_EQ(m_key.m_Cell.m_clrLabel, 0x000000u);
    EXPECT_EQ(m_key.m_Record.Colour(ScreenObjectRecord::FillColour), QXPanRgb(10, 20, 30));
}

TEST_F(ObjDlg, OkWithoutAFunctionEscapeAndEnterCloseOrWriteNothingUnasked)
{
    Open(777); // a system key code no row carries
    Type(m_dlg.m_edLeft, QStringLiteral("150"));
    Type(m_dlg.m_edLine1, QStringLiteral("NEW"));
    m_ui.QueueAnswer(UserInteraction::IDOK);
    Ok();
    EXPECT_EQ(Messages(), QStringList({"QXPan: Null function"}));
    EXPECT_TRUE(m_dlg.isVisible());
    QTest::mouseClick(m_dlg.m_btnCancel, Qt::LeftButton);
    EXPECT_EQ(m_dlg.result(), CQXPanObjDlg::kIdCancel);
    EXPECT_EQ(m_key.TypeCode(), 777); // what the refused attempt wrote stays
    EXPECT_EQ(m_key.RegisterRect().left, 150);
    EXPECT_EQ(m_key.GetText1(), QStringLiteral("NEW"));

    Open(45);
    const ScreenObjectRecord before = m_key.m_Record;
    Type(m_dlg.m_edLeft, QStringLiteral("400"));
    StepDown(m_dlg.m_cbFunction, 1);
    Type(m_dlg.m_edLine1, QStringLiteral("CHANGED"));
    QTest::keyClick(m_dlg.m_edLine1, Qt::Key_Return);
    EXPECT_TRUE(m_dlg.isVisible());
    QTest::keyClick(m_dlg.m_edLine1, Qt::Key_Escape);
    EXPECT_FALSE(m_dlg.isVisible());
    EXPECT_EQ(m_dlg.result(), CQXPanObjDlg::kIdCancel);
    EXPECT_EQ(m_key.m_Record, before);

    QTimer::singleShot(0, m_dlg.m_btnOk, &QPushButton::click);
    EXPECT_EQ(m_dlg.DoModal(), CQXPanObjDlg::kIdOk);
    QTimer::singleShot(0, m_dlg.m_btnCancel, &QPushButton::click);
    EXPECT_EQ(m_dlg.DoModal(), CQXPanObjDlg::kIdCancel);
}

// What a chosen row gives a key (its rectangle kept) or a bitmap (an image loaded once).
TEST_F(ObjDlg, ARowGivesAKeyItsFunctionAndABitmapItsImage)
{
    m_key.SetRegisterRect(100, 100, 200, 150);
    m_key.SetTypeCode(93);
    m_key.SetNumber(4711);
    m_key.m_Record.SetColour(ScreenObjectRecord::FillColour, 0x123456u);
    m_dlg.m_nObjType = QXPanObj::TypeTableRound; // a table keeps its number and colours
    m_dlg.ApplyItemToKey(m_key);
    EXPECT_EQ(Record(), "93 4711 2 | 123456 000000");
    EXPECT_EQ(m_key.m_Cell.m_clrFill, kQXPanTableFill);
    m_dlg.m_nObjType = QXPanObj::TypeSysKeyRect;
    m_dlg.SelectRow(3);
    m_dlg.ApplyItemToKey(m_key);
    EXPECT_EQ(Record(), "100 0 1 SUBTOTAL| ffffff 000000");
    EXPECT_EQ(m_key.RegisterRect(), (QXPanRect{100, 100, 200, 150}));

    CQXPanBmpObj first, again, none;
    m_dlg.m_nObjType = QXPanObj::TypePlaceBitmap;
    m_dlg.SelectRow(1);
    ASSERT_EQ(m_dlg.ApplyItemToBitmap(first), 1);
    ASSERT_EQ(m_dlg.ApplyItemToBitmap(again), 1);
    EXPECT_EQ(again.m_pImage, first.m_pImage);
    EXPECT_EQ(first.m_strFileName, QStringLiteral("first.bmp"));
    for (int row : {0, 3}) { // the header, past the end
        m_dlg.m_nSel[0] = row;
        EXPECT_EQ(m_dlg.ApplyItemToBitmap(none), 0) << row;
    }
    m_dlg.SelectRow(2);
    m_dlg.m_nObjType = QXPanObj::TypeSysKeyRect;
    EXPECT_EQ(m_dlg.ApplyItemToBitmap(none), 0);
    m_dlg.m_nObjType = QXPanObj::TypePlaceBitmap;
    m_branch.WriteFile("placed/second.bmp", "BM garbage");
    EXPECT_EQ(m_dlg.ApplyItemToBitmap(none), 0);
    EXPECT_EQ(none.m_pImage, nullptr);
}

} // namespace
