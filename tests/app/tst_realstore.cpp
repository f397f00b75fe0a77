// The application object on a real configuration store file, as `qxpan --config FILE` runs it.
#include "AppTestEnvironment.h"
#include "app/CQXPanApp.h"
#include "app/CQXPanMainDlg.h"
#include "reglib/CDefScrInfo.h"
#include "reglib/CQxCtrlApi.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Points the user's configuration and data folders into a temporary folder for one test.
class TemporaryHome
{
public:
    TemporaryHome()
        : m_oldConfig(qgetenv("XDG_CONFIG_HOME")), m_oldData(qgetenv("XDG_DATA_HOME")),
          m_oldStore(qgetenv("QXPAN_CONFIG"))
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
        qunsetenv("QXPAN_CONFIG");
    }
    ~TemporaryHome()
    {
        Restore("XDG_CONFIG_HOME", m_oldConfig);
        Restore("XDG_DATA_HOME", m_oldData);
        Restore("QXPAN_CONFIG", m_oldStore);
    }
    QString StorePath() const { return m_dir.filePath(QStringLiteral("qxctrl.ini")); }
    QString DataPath() const { return m_dir.filePath(QStringLiteral("data")); }

private:
    static void Restore(const char* name, const QByteArray& value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QTemporaryDir m_dir;
    QByteArray m_oldConfig, m_oldData, m_oldStore;
};

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(RealStore, DefaultStoreShowsTheDemoBranchAndKeepsTheWindow)
{
    TemporaryHome home;
    const QxCtrlStore store(home.StorePath());
    const FileResult ready = store.EnsureExists();
    ASSERT_TRUE(ready) << qPrintable(ready.Text());

    ScriptedUserInteraction ui;
    CQXPanApp app(store, &ui);
    QString caption;
    QStringList imageTypes;
    QRect frame;
    WhenDialogRuns([&](CQXPanMainDlg& dlg) {
        caption = dlg.windowTitle();
        for (int i = 0; i < dlg.m_cbImageType->count(); ++i)
            imageTypes << dlg.m_cbImageType->itemText(i);
        dlg.move(40, 30);
        dlg.resize(800, 600);
        QTest::qWait(10);
        frame = dlg.frameGeometry();
        QTest::keyClick(&dlg, Qt::Key_Escape);
    });
    EXPECT_FALSE(app.InitInstance());

    EXPECT_EQ(caption, "Full Check Window - DEMO (ECR-1)");
    EXPECT_EQ(imageTypes, QStringList({"796 - Screen Logo", "797 - Check Window 22",
                                       "798 - Check Window 21", "799 - Check Window 23"}));
    _ScreenDefinition_InterfaceTable table;
    ASSERT_NE(CDefScrInfo(store).GetScrIFTab(nullptr, DEFSCR_SCRNO_PANELEDITOR, table), 0);
    EXPECT_EQ(table.dwMode, 2u);
    EXPECT_EQ(table.rcWindow, (QxRect{40, 30, 40 + frame.width(), 30 + frame.height()}));
    EXPECT_TRUE(ui.Calls().isEmpty());
}

// The editor's run on a store the branch software also writes: closing changes the lines of the
// editor's own screen table and nothing else, keeps the store's mode, and leaves a read-only
// store as it is with a word to the user.
class ClosingOnAStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(store.EnsureExists());
        QFile file(store.path());
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("\n; written by hand, kept as it is\n[Other]\nKey%2FSlash=\\\\srv\\share\n"
                   "Quoted=\"a, b\"   ; a comment\nRaw=\xFF\xFE\n");
    }
    // Runs the editor, moves its window and closes it with Esc.
    void RunAndClose()
    {
        CQXPanApp app(store, &ui);
        WhenDialogRuns([](CQXPanMainDlg& dlg) {
            dlg.move(70, 60);
            QTest::qWait(10);
            QTest::keyClick(&dlg, Qt::Key_Escape);
        });
        EXPECT_FALSE(app.InitInstance());
    }
    static QList<QByteArray> LinesOutsideScreen12(const QByteArray& text)
    {
        QList<QByteArray> kept;
        bool inTable = false;
        for (const QByteArray& line : text.split('\n')) {
            if (line.startsWith('['))
                inTable = line == "[Screen12]";
            if (!inTable)
                kept.append(line);
        }
        return kept;
    }

    TemporaryHome home;
    QxCtrlStore store{home.StorePath()};
    ScriptedUserInteraction ui;
};

TEST_F(ClosingOnAStore, ChangesItsScreenTableLinesOnlyAndKeepsTheMode)
{
    ASSERT_TRUE(QFile::setPermissions(
        store.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    // What a write killed half-way left beside the store goes as well.
    const QString leftover = QFileInfo(store.path())
                                 .dir()
                                 .filePath(QStringLiteral(".qxctrl.ini.qxpan-999999999-AbCdEf"));
    QFile leftoverFile(leftover);
    ASSERT_TRUE(leftoverFile.open(QIODevice::WriteOnly));
    leftoverFile.close();
    const QByteArray before = ReadAll(store.path());
    RunAndClose();
    const QByteArray after = ReadAll(store.path());
    EXPECT_FALSE(QFile::exists(leftover));
    EXPECT_NE(after, before);
    EXPECT_EQ(LinesOutsideScreen12(after), LinesOutsideScreen12(before));
    EXPECT_TRUE(after.contains("\nWindow=70, 60, "));
    EXPECT_EQ(QFile::permissions(store.path()) & 0x7077, // owner, group, others
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    EXPECT_TRUE(ui.Calls().isEmpty());
}

TEST_F(ClosingOnAStore, LeavesAReadOnlyStoreAndSaysSo)
{
    ASSERT_TRUE(QFile::setPermissions(store.path(), QFileDevice::ReadOwner));
    const QByteArray before = ReadAll(store.path());
    ui.QueueAnswer(UserInteraction::IDOK);
    RunAndClose();
    EXPECT_EQ(ReadAll(store.path()), before);
    const auto boxes = ui.CallsOf(ScriptedUserInteraction::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text,
              "The window's place and size are not kept: " + store.path() + ": is read-only");
}

// Stores the application cannot load from; closing must leave each of them byte for byte.
struct BrokenStore
{
    const char* name;
    void (*breakIt)(const TemporaryHome&, const QxCtrlStore&);
};

void PrintTo(const BrokenStore& c, std::ostream* os)
{
    *os << c.name;
}

class FailedLoad : public ::testing::TestWithParam<BrokenStore>
{};

TEST_P(FailedLoad, LeavesTheStoreByteIdentical)
{
    TemporaryHome home;
    const QxCtrlStore store(home.StorePath());
    GetParam().breakIt(home, store);
    const QByteArray before = ReadAll(store.path());

    ScriptedUserInteraction ui;
    CQXPanApp app(store, &ui);
    bool filled = true;
    WhenDialogRuns([&](CQXPanMainDlg& dlg) {
        filled = dlg.m_cbImageType->count() > 0;
        dlg.close();
    });
    testing::internal::CaptureStderr();
    EXPECT_FALSE(app.InitInstance());
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_FALSE(filled);
    EXPECT_EQ(ReadAll(store.path()), before);
    EXPECT_NE(err.find(QDir::toNativeSeparators(store.path()).toStdString()), std::string::npos)
        << err;
    EXPECT_TRUE(ui.Calls().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Stores, FailedLoad,
    ::testing::Values(BrokenStore{"NoBranch",
                                  [](const TemporaryHome&, const QxCtrlStore& store) {
                                      QFile file(store.path());
                                      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                                      file.write("[Other]\nKey=1\n");
                                  }},
                      BrokenStore{"Garbage",
                                  [](const TemporaryHome&, const QxCtrlStore& store) {
                                      QFile file(store.path());
                                      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                                      file.write(QByteArray("\x00\xff\x13garbage=[[\n\x01", 16));
                                  }},
                      BrokenStore{"BranchFoldersGone",
                                  [](const TemporaryHome& home, const QxCtrlStore& store) {
                                      ASSERT_TRUE(store.EnsureExists());
                                      // The folders' parent is gone; only their last level would be
                                      // made.
                                      ASSERT_TRUE(QDir(home.DataPath()).removeRecursively());
                                  }}),
    [](const ::testing::TestParamInfo<BrokenStore>& info) { return std::string(info.param.name); });

} // namespace
