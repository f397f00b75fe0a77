// Catches: typed fields corrected wrongly, a wrong record or colour on OK, Esc writing, bad rows.
#include "ObjDlgTestBranch.h"
#include "ScriptedUserInteraction.h"

#include "canvas/CQXPanSelRect.h"
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "objdlg/CQXPanObjDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

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
    /// Works the dialog as a person does, steps separated by ';': "ID=text" types text over the
    /// edit ID, "ID keys" presses keys in the control ID ("1005 Down Down"), "ok".
    void Do(const QString& script, CQXPanObjDlg* dlg = nullptr)
    {
        dlg = dlg ? dlg : &m_dlg;
        for (const QString& step : script.split(QStringLiteral("; "))) {
            const qsizetype eq = step.indexOf('=');
            const QStringList w = step.left(eq).split(' ');
            if (step == "ok") {
                QTest::mouseClick(dlg->m_btnOk, Qt::LeftButton);
                continue;
            }
            QWidget* control = dlg->findChild<QWidget*>(w[0]);
            control->setFocus();
            for (const QString& key : eq > 0 ? QStringList{"Ctrl+A", "Del"} : w.mid(1))
                QTest::keySequence(control, QKeySequence(key));
            if (eq > 0)
                QTest::keyClicks(control, step.mid(eq + 1));
        }
    }
    QString MessagesFrom(qsizetype first) const
    {
        QString texts;
        for (const auto& call : m_ui.CallsOf(ScriptedUserInteraction::Kind::MessageBox).mid(first))
            texts += call.text;
        return texts;
    }
    /// What the record holds: code, number, shape, the texts, the fill and text colours.
    std::string Record() const
    {
        return QString::asprintf("%d %d %d %s|%s %06x %06x", m_key.TypeCode(), m_key.GetNumber(),
                                 m_key.Shape(), qPrintable(m_key.GetText1()),
                                 qPrintable(m_key.GetText2()),
                                 m_key.m_Record.Colour(ScreenObjectRecord::FillColour),
                                 m_key.m_Record.Colour(ScreenObjectRecord::TextColour))
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
    for (auto [id, typed, shown, message] : // shown: X1 X2 Y1 Y2 width height table number
         {std::tuple{"1000", "2000", "993 1023 200 260 30 60 55", ""},
          {"1000", "-5", "0 300 200 260 300 60 55", ""},
          {"1003", "5", "100 130 200 260 30 60 55", ""},
          {"1003", "5000", "100 1023 200 260 923 60 55", ""},
          {"1004", "700", "100 300 200 700 200 500 55", ""}, // not "7" alone
          {"1010", "abc", "100 300 200 260 200 60 55", kWhole},
          {"1010", "0", "100 300 200 260 200 60 1", kRange},
          {"1010", "1234567", "100 300 200 260 200 60 999999", kRange}}) {
        SCOPED_TRACE(testing::Message() << id << " " << typed);
        const qsizetype seen = m_ui.CallsOf(ScriptedUserInteraction::Kind::MessageBox).size();
        Open(93, 55);
        auto* field = m_dlg.findChild<QLineEdit*>(QString::fromLatin1(id));
        Do(QStringLiteral("%1=%2").arg(id, typed));
        EXPECT_EQ(field->text() + MessagesFrom(seen), QString::fromLatin1(typed));
        if (*message)
            m_ui.QueueAnswer(UserInteraction::IDOK);
        Do(id + QStringLiteral(" Return"));
        const QStringList fields = {m_dlg.m_edLeft->text(),   m_dlg.m_edRight->text(),
                                    m_dlg.m_edTop->text(),    m_dlg.m_edBottom->text(),
                                    m_dlg.m_stWidth->text(),  m_dlg.m_stHeight->text(),
                                    m_dlg.m_edTableNo->text()};
        EXPECT_EQ(fields.join(' ') + '=' + QString::number(m_dlg.m_nTableNo) + MessagesFrom(seen),
                  shown + ('=' + QString(shown).section(' ', -1)) + message);
        m_dlg.reject();
    }
}

TEST_F(ObjDlg, AcceptWritesTheRecordOfTheChosenTypeAndRow)
{
    Open(93, 55, 1, QXPanRgb(1, 2, 3), QXPanRgb(4, 5, 6));
    Do("1005 Down; 1000=150; 1010=77; 1012=TABLE 7; ok"); // Table(Round)
    EXPECT_EQ(std::to_string(m_dlg.result()) + ' ' + Record() + ' ' +
                  std::to_string(m_key.RegisterRect().left),
              "1 93 77 2 TABLE 7|SECOND 030201 060504 150");

    Open(61, 1, 2, QXPanRgb(200, 0, 0), QXPanRgb(0, 0, 200));
    m_ui.QueueColor(QColor(10, 20, 30)); // a click on the fill swatch chooses its colour
    QTest::mouseClick(&m_dlg, Qt::LeftButton, {},
                      m_dlg.m_Preview->geometry().topLeft() + QPoint(5, 5));
    Do("1009 Down Down; 1011=LINE TWO; ok"); // the record box chooses the row of every box
    EXPECT_EQ(Record(), "63 3 2 CASH|LINE TWO 1e140a c80000");
}

// Return in a field does not close the dialog; Esc does, and writes nothing.
TEST_F(ObjDlg, EscapeAndEnterCloseOrWriteNothingUnasked)
{
    Open(45);
    const ScreenObjectRecord before = m_key.m_Record;
    Do("1000=400; 1008 Down; 1012=CHANGED; 1012 Return");
    const bool openAfterReturn = m_dlg.isVisible();
    Do("1012 Esc");
    EXPECT_EQ(QString::asprintf("%d %d %d", openAfterReturn, m_dlg.isVisible(), m_dlg.result()),
              QStringLiteral("1 0 %1").arg(CQXPanObjDlg::kIdCancel));
    EXPECT_EQ(m_key.m_Record, before);
}

// What a chosen row gives a key (a table keeps its number) or a bitmap (an image loaded once).
TEST_F(ObjDlg, ARowGivesAKeyItsFunctionAndABitmapItsImage)
{
    m_key.SetTypeCode(93);
    m_key.SetNumber(4711);
    m_key.m_Record.SetColour(ScreenObjectRecord::FillColour, 0x123456u);
    m_dlg.m_nObjType = QXPanObj::TypeTableRound;
    m_dlg.ApplyItemToKey(m_key);
    EXPECT_EQ(Record() + ' ' + std::to_string(m_key.m_Cell.m_clrFill == kQXPanTableFill),
              "93 4711 2 | 123456 000000 1");
    m_dlg.m_nObjType = QXPanObj::TypeSysKeyRect;
    m_dlg.SelectRow(3);
    m_dlg.ApplyItemToKey(m_key);
    EXPECT_EQ(Record(), "100 0 1 SUBTOTAL| ffffff 000000");

    CQXPanBmpObj first, again, none;
    m_dlg.m_nObjType = QXPanObj::TypePlaceBitmap;
    m_dlg.SelectRow(1);
    ASSERT_EQ(m_dlg.ApplyItemToBitmap(first) + m_dlg.ApplyItemToBitmap(again), 2);
    EXPECT_EQ(again.m_pImage, first.m_pImage);
    m_dlg.SelectRow(2);
    QFile garbage(m_branch.Path("placed/second.bmp"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly) && garbage.write("BM garbage") > 0);
    garbage.close();
    EXPECT_EQ(m_dlg.ApplyItemToBitmap(none), 0);
    EXPECT_EQ(none.m_pImage, nullptr);
}

} // namespace
