#include "AppTestEnvironment.h"

#include "app/CQXPanMainDlg.h"
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "formats/BitmapTableFile.h"
#include "formats/ScreenProgramFile.h"
#include "image/CDibImage.h"

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

using Kind = ScriptedUserInteraction::Kind;

constexpr int kBackground = 0;
constexpr int kPlaceBitmap = 1;
constexpr int kTableCode = 93;

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file's lines without the "h" line, which carries the time of writing.
QList<QByteArray> WithoutTimeLine(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    lines.removeIf([](const QByteArray& line) { return line.startsWith('h'); });
    return lines;
}

QStringList Column0(const QTreeWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(0);
    return texts;
}

CQXPanKeyObj Key(int left, int top, quint8 shape, quint16 type, const QString& text)
{
    CQXPanKeyObj key;
    key.SetRegisterRect(left, top, left + 120, top + 60);
    key.SetShape(shape);
    key.SetTypeCode(type);
    key.SetNumber(type == kTableCode ? 0 : 7);
    if (type != kTableCode) {
        key.SetFillColour(0x00C08040u, true);
        key.SetTextColour(0x00102030u, true);
    }
    key.SetText1(text);
    key.SetText2(QStringLiteral("second"));
    return key;
}

class WorkflowFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QImage sky(16, 12, QImage::Format_RGB888);
        sky.fill(QColor(0, 0, 200));
        ASSERT_TRUE(sky.save(env.Folder("back") + "/sky.bmp", "BMP"));
        QImage logo(64, 32, QImage::Format_RGB888);
        logo.fill(QColor(200, 0, 0));
        ASSERT_TRUE(logo.save(env.Folder("placed") + "/logo.bmp", "BMP"));
        ASSERT_TRUE(dlg.OnInitDialog());
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
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
    int BackgroundPosition(const QString& name)
    {
        for (size_t row = 1; row < dlg.m_ObjDlg.m_BgList.size(); ++row) {
            if (dlg.m_ObjDlg.m_BgList[row].m_strCol1 == name)
                return int(row) - 1;
        }
        return -1;
    }
    void ChooseBackground(const QString& name)
    {
        ChooseObjectType(kBackground);
        dlg.SelectListPosition(BackgroundPosition(name));
        ASSERT_EQ(dlg.m_nListSel, BackgroundPosition(name));
    }
    // Two keys, a table and the placed bitmap logo.bmp.
    void Compose()
    {
        CQXPanKeyObj keys[] = {Key(40, 40, 1, 45, QStringLiteral("CLERK")),
                               Key(200, 40, 2, 30, QStringLiteral("VOID")),
                               Key(40, 200, 1, kTableCode, QStringLiteral("TABLE"))};
        for (CQXPanKeyObj& key : keys)
            ASSERT_GE(dlg.m_DesignDlg.AddKeyObj(&key), 0);
        CQXPanRefItem* row = nullptr;
        for (CQXPanRefItem& item : dlg.m_ObjDlg.m_BmpList)
            if (item.m_strCol1 == "logo.bmp")
                row = &item;
        ASSERT_NE(row, nullptr);
        CQXPanBmpObj bitmap;
        bitmap.SetImage(row->LoadImage(), &row->m_strCol1);
        bitmap.SetRegisterRect({300, 100, 364, 132});
        dlg.m_DesignDlg.AddBmpObj(bitmap);
    }
    QString Saved(const QString& name)
    {
        const QString path = env.dir.filePath(name);
        env.ui.QueueFileName(path);
        dlg.OnSave();
        return path;
    }
    QString Program(const QString& name) const { return env.Folder("program") + "/" + name; }

    AppTestEnvironment env;
    CQXPanMainDlg dlg{env.app.get()};
};

TEST_F(WorkflowFiles, SaveAndOpenBringTheDesignBack)
{
    ChooseImageType(1);
    ChooseBackground("sky.bmp");
    Compose();
    const QList<CQXPanKeyObj> keys = dlg.m_DesignDlg.m_KeyObjs;
    const QXPanRect bitmapRect = dlg.m_DesignDlg.m_BmpObjs[0].DisplayRect();

    // Typed without an extension: used as typed.
    const QString path = Saved("design");
    const QList<ScriptedUserInteraction::Call> saves = env.ui.CallsOf(Kind::SaveFileName);
    ASSERT_EQ(saves.size(), 1);
    EXPECT_EQ(saves[0].request.title, "Full Check Window");
    EXPECT_EQ(saves[0].request.initialName, "untitled.pan");
    EXPECT_EQ(saves[0].request.filter, "Data files (*.pan)");
    EXPECT_TRUE(saves[0].request.options & UserInteraction::OverwritePrompt);
    EXPECT_TRUE(saves[0].request.defaultSuffix.isEmpty());
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_TRUE(ReadAll(path).startsWith("BG:1\r\n"));

    dlg.m_DesignDlg.ClearObjects(false);
    ChooseBackground("Aempty.bmp");
    ChooseObjectType(kPlaceBitmap);

    env.ui.QueueFileName(path);
    dlg.OnOpen();
    EXPECT_EQ(env.ui.CallsOf(Kind::OpenFileName)[0].request.initialName, "*.pan");
    EXPECT_EQ(env.ui.CallsOf(Kind::MessageBox).size(), 0);

    // The background row comes back; the object type shown stays.
    EXPECT_EQ(dlg.m_nListSel, BackgroundPosition("sky.bmp"));
    EXPECT_EQ(dlg.m_DesignDlg.m_Background.Width(), 16);
    EXPECT_EQ(dlg.m_cbObjectType->currentIndex(), kPlaceBitmap);
    EXPECT_EQ(dlg.m_ObjDlg.m_nObjType, kPlaceBitmap);

    ASSERT_EQ(dlg.m_DesignDlg.m_KeyObjs.size(), 3);
    EXPECT_EQ(dlg.m_DesignDlg.m_KeyObjs[0].m_Record, keys[0].m_Record);
    EXPECT_EQ(dlg.m_DesignDlg.m_KeyObjs[1].m_Record, keys[1].m_Record);
    // A table saved with number 0 comes back as number 1.
    EXPECT_EQ(dlg.m_DesignDlg.m_KeyObjs[2].GetNumber(), 1);
    EXPECT_EQ(dlg.m_DesignDlg.m_KeyObjs[2].RegisterRect(), keys[2].RegisterRect());
    EXPECT_EQ(dlg.m_DesignDlg.m_KeyObjs[2].GetText1(), "TABLE");
    ASSERT_EQ(dlg.m_DesignDlg.m_BmpObjs.size(), 1);
    EXPECT_EQ(dlg.m_DesignDlg.m_BmpObjs[0].DisplayRect(), bitmapRect);
    EXPECT_EQ(dlg.m_DesignDlg.m_BmpObjs[0].m_strFileName, "logo.bmp");
}

TEST_F(WorkflowFiles, EmptyDesignIsTheBackgroundLineAlone)
{
    ChooseBackground("Aempty.bmp");
    EXPECT_EQ(ReadAll(Saved("empty.pan")), "BG:0\r\n");
    ChooseBackground("sky.bmp");
    EXPECT_EQ(ReadAll(Saved("empty.pan")), "BG:1\r\n");
}

TEST_F(WorkflowFiles, SaveCancelledOrUnwritable)
{
    env.ui.QueueFileName(QString());
    dlg.OnSave();
    EXPECT_EQ(env.ui.CallsOf(Kind::MessageBox).size(), 0);

    const QString path = env.dir.filePath("missing/x.pan");
    env.ui.QueueFileName(path);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    dlg.OnSave();
    ASSERT_EQ(env.ui.CallsOf(Kind::MessageBox).size(), 1);
    EXPECT_EQ(env.ui.CallsOf(Kind::MessageBox)[0].text, QString("can't open \"%1\"").arg(path));
}

TEST_F(WorkflowFiles, BadFilesLeaveTheDesignAlone)
{
    ChooseImageType(1);
    Compose();
    WriteFile(env.dir.filePath("wrong.pan"), "XG:0\r\n");
    env.ui.QueueAnswer(UserInteraction::IDOK);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    EXPECT_EQ(dlg.ReadPanelFile(env.dir.filePath("wrong.pan")), -1);
    EXPECT_EQ(dlg.ReadPanelFile(env.dir.filePath("none.pan")), -1);
    const QList<ScriptedUserInteraction::Call> messages = env.ui.CallsOf(Kind::MessageBox);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].text, "Wrong PAN file.");
    EXPECT_EQ(messages[1].text, QString("can't open \"%1\"").arg(env.dir.filePath("none.pan")));
    EXPECT_EQ(dlg.m_DesignDlg.m_KeyObjs.size(), 3);
    EXPECT_EQ(dlg.m_DesignDlg.m_BmpObjs.size(), 1);
}

class MissingBitmap : public WorkflowFiles, public ::testing::WithParamInterface<bool>
{};

TEST_P(MissingBitmap, AnswerDecidesWhetherReadingGoesOn)
{
    ChooseImageType(1);
    WriteFile(env.dir.filePath("gone.pan"), "BG:0\r\n"
                                            "0010 0100 0010 0100 0000 0001 0000 0000 0000 0000\r\n"
                                            "C:\\elsewhere\\gone \r\n \r\n \r\n"
                                            "0010 0100 0010 0100 0000 0003 0045 0000 0000 0007\r\n"
                                            " \r\nCLERK \r\nX \r\n");
    env.ui.QueueAnswer(GetParam() ? UserInteraction::IDYES : UserInteraction::IDNO);
    EXPECT_EQ(dlg.ReadPanelFile(env.dir.filePath("gone.pan")), 0);
    const QList<ScriptedUserInteraction::Call> asked = env.ui.CallsOf(Kind::MessageBox);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].text, "There isn't \"gone.bmp\" in this branch. Are you continue?");
    EXPECT_EQ(asked[0].buttons, UserInteraction::MB_YESNO);
    EXPECT_EQ(dlg.m_DesignDlg.m_KeyObjs.size(), GetParam() ? 1 : 0);
    EXPECT_EQ(dlg.m_ObjDlg.m_nObjType, kBackground);
}

INSTANTIATE_TEST_SUITE_P(YesAndNo, MissingBitmap, ::testing::Bool());

TEST_F(WorkflowFiles, CheckWindowDesignOpenedUnderTheLogoKeepsOnlyItsBitmaps)
{
    ChooseImageType(1);
    Compose();
    const QString path = Saved("check.pan");
    ChooseImageType(0);
    ASSERT_EQ(dlg.ReadPanelFile(path), 0);
    EXPECT_EQ(dlg.m_DesignDlg.m_KeyObjs.size(), 0);
    EXPECT_EQ(dlg.m_DesignDlg.m_BmpObjs.size(), 1);
}

TEST_F(WorkflowFiles, NewAnsweredNoChangesNothing)
{
    ChooseImageType(1);
    Compose();
    env.ui.QueueAnswer(UserInteraction::IDNO);
    dlg.OnNew();
    EXPECT_EQ(env.ui.CallsOf(Kind::MessageBox)[0].text,
              "Would you like to save the data and creat a new image?");
    EXPECT_EQ(env.ui.CallsOf(Kind::SaveFileName).size(), 0);
    EXPECT_EQ(dlg.m_DesignDlg.m_KeyObjs.size(), 3);
}

TEST_F(WorkflowFiles, NewEmptiesTheDesignEvenWhenTheSaveIsCancelled)
{
    ChooseImageType(1);
    ChooseBackground("sky.bmp");
    Compose();
    env.ui.QueueAnswer(UserInteraction::IDYES);
    env.ui.QueueFileName(QString());
    dlg.OnNew();
    EXPECT_EQ(dlg.m_DesignDlg.m_KeyObjs.size(), 0);
    EXPECT_EQ(dlg.m_DesignDlg.m_BmpObjs.size(), 0);
    // The first bitmap of the list is the empty background.
    EXPECT_EQ(dlg.m_nListSel, BackgroundPosition("Aempty.bmp"));
    EXPECT_NE(dlg.m_DesignDlg.m_Background.Width(), 16);
}

TEST_F(WorkflowFiles, NewSavesAndReplacesTheBackgroundWhateverTypeIsShown)
{
    ChooseImageType(1);
    ChooseBackground("sky.bmp");
    Compose();
    ChooseObjectType(kPlaceBitmap);
    env.ui.QueueAnswer(UserInteraction::IDYES);
    const QString path = env.dir.filePath("before-new.pan");
    env.ui.QueueFileName(path);
    dlg.OnNew();
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(dlg.m_DesignDlg.m_KeyObjs.size(), 0);
    EXPECT_NE(dlg.m_DesignDlg.m_Background.Width(), 16);
    EXPECT_EQ(dlg.m_nListSel, BackgroundPosition("Aempty.bmp"));
    EXPECT_EQ(dlg.m_cbObjectType->currentIndex(), kPlaceBitmap);
    EXPECT_EQ(env.ui.PendingAnswers(), 0);
}

TEST_F(WorkflowFiles, ConvertWritesWhatTheCoreWritersWrite)
{
    ChooseImageType(1);
    ChooseBackground("sky.bmp");
    Compose();
    QList<CQXPanKeyObj> expectedTable = dlg.m_arrBitmapTable;
    CDibImage screen;
    ASSERT_TRUE(dlg.m_DesignDlg.RenderScreenImage(screen));
    const QDateTime now = QDateTime::currentDateTime();
    const QByteArray expectedScreen = ScreenProgram::buildFileText(screen, 797, now);
    ASSERT_TRUE(BitmapTableFile::WriteFile(env.dir.filePath("expected795.txt"), expectedTable, 797,
                                           dlg.m_DesignDlg, now));

    env.ui.QueueAnswer(UserInteraction::IDOK);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    dlg.OnConvert();
    const QList<ScriptedUserInteraction::Call> messages = env.ui.CallsOf(Kind::MessageBox);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].text, "Do you save FILE797P.TXT and FILE795P.TXT ?");
    EXPECT_EQ(messages[0].buttons, UserInteraction::MB_OKCANCEL);
    EXPECT_EQ(messages[1].text, "Normal end");
    EXPECT_EQ(WithoutTimeLine(ReadAll(Program("FILE797P.TXT"))), WithoutTimeLine(expectedScreen));
    EXPECT_EQ(WithoutTimeLine(ReadAll(Program("FILE795P.TXT"))),
              WithoutTimeLine(ReadAll(env.dir.filePath("expected795.txt"))));
    EXPECT_EQ(dlg.m_arrBitmapTable.size(), expectedTable.size());
    // No override cursor is left behind.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WorkflowFiles, ConvertCancelledWritesNothing)
{
    ChooseImageType(1);
    env.ui.QueueAnswer(UserInteraction::IDCANCEL);
    dlg.OnConvert();
    EXPECT_FALSE(QFile::exists(Program("FILE797P.TXT")));
    EXPECT_FALSE(QFile::exists(Program("FILE795P.TXT")));
    EXPECT_EQ(env.ui.CallsOf(Kind::MessageBox).size(), 1);
}

TEST_F(WorkflowFiles, ConvertOfTheLogoWritesOnlyItsScreenFile)
{
    env.ui.QueueAnswer(UserInteraction::IDOK);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    dlg.OnConvert();
    const QList<ScriptedUserInteraction::Call> messages = env.ui.CallsOf(Kind::MessageBox);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].text, "Do you save FILE796P.TXT ?");
    EXPECT_EQ(messages[1].text, "Normal end");
    EXPECT_TRUE(QFile::exists(Program("FILE796P.TXT")));
    EXPECT_FALSE(QFile::exists(Program("FILE795P.TXT")));
}

TEST_F(WorkflowFiles, ConvertListsTheNewScreenFileAfterTheLastSmallerOne)
{
    ChooseImageType(1);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    dlg.OnConvert();
    ChooseImageType(3);
    ChooseBackground("sky.bmp");
    const int skyBefore = dlg.m_nListSel;
    for (int round = 0; round < 2; ++round) {
        env.ui.QueueAnswer(UserInteraction::IDOK);
        env.ui.QueueAnswer(UserInteraction::IDOK);
        dlg.OnConvert();
        // Shown as "Background": the item list is refilled and still points at sky.bmp.
        EXPECT_EQ(Column0(dlg.m_lcItems),
                  QStringList({"FILE797P.TXT", "FILE799P.TXT", "Aempty.bmp", "sky.bmp"}));
        EXPECT_EQ(dlg.m_nListSel, skyBefore + 1);
    }
    EXPECT_TRUE(QFile::exists(Program("FILE799P.TXT")));
}

TEST_F(WorkflowFiles, UnwritableBitmapTableEndsInConvertErr)
{
    ChooseImageType(1);
    Compose();
    // A folder where the table file should be: it cannot be replaced.
    ASSERT_TRUE(QDir(env.Folder("program")).mkdir("FILE795P.TXT"));
    env.ui.QueueAnswer(UserInteraction::IDOK);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    dlg.OnConvert();
    const QList<ScriptedUserInteraction::Call> messages = env.ui.CallsOf(Kind::MessageBox);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1].text, "Convert err\n\n" + Program("FILE795P.TXT") +
                                    ": is not a regular file (a folder, a device or a pipe); it "
                                    "is left as it is");
    EXPECT_EQ(messages[1].icon, UserInteraction::MB_ICONERROR);
    // The screen file is written all the same.
    EXPECT_TRUE(QFile::exists(Program("FILE797P.TXT")));
}

} // namespace
