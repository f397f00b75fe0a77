#include "library/CQXPgco.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes, int minutesAgo = 0)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutesAgo),
                  QFileDevice::FileModificationTime);
}

// A store with a branch whose program folder and exchange folder lie in a temporary folder.
class CQXPgcoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath(QStringLiteral("program"));
        writeStore(true);
    }
    void writeStore(bool withExchange)
    {
        QByteArray ini = "[General]\nBranch=B\nRegister=R\n";
        if (withExchange)
            ini += "ExchangeFolder=" + QFile::encodeName(exchange()) + "\n";
        ini += "[Branch.B]\nFolder10=" + QFile::encodeName(program()) + "\n";
        writeFile(storePath(), ini);
    }
    QString storePath() const { return m_dir.filePath(QStringLiteral("qxctrl.ini")); }
    QString program() const { return m_dir.filePath(QStringLiteral("program")); }
    QString exchange() const { return m_dir.filePath(QStringLiteral("ex change")); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(CQXPgcoTest, SendCopiesFileToExchangeFolder)
{
    const QString source = program() + QStringLiteral("/FILE798P.TXT");
    writeFile(source, "screen 798\r\n");
    QDir().mkpath(exchange());
    writeFile(exchange() + QStringLiteral("/FILE798P.TXT"), "an older copy that is replaced");

    CQXPgco dlg{QxCtrlStore(storePath())};
    dlg.m_dwMode = 1;
    dlg.m_strCommand = QStringLiteral("/SEND \"%1\"").arg(source);
    dlg.m_dwFunc = 0x2A;
    dlg.accept();

    EXPECT_EQ(dlg.result(), QDialog::Accepted) << dlg.statusText().toStdString();
    EXPECT_EQ(readAll(exchange() + QStringLiteral("/FILE798P.TXT")), QByteArray("screen 798\r\n"));
    EXPECT_EQ(readAll(source), QByteArray("screen 798\r\n"));
}

TEST_F(CQXPgcoTest, ReceiveCopiesNewestScreenFileIntoProgramFolder)
{
    QDir().mkpath(exchange());
    writeFile(exchange() + QStringLiteral("/FILE797P.TXT"), "old 797", 30);
    writeFile(exchange() + QStringLiteral("/file799p.txt"), "new 799", 5);
    writeFile(exchange() + QStringLiteral("/FILE002P.TXT"), "not a screen file", 0);
    writeFile(exchange() + QStringLiteral("/FILE7990P.TXT"), "not a screen file", 0);
    writeFile(program() + QStringLiteral("/FILE799P.TXT"), "what the branch had");

    CQXPgco dlg{QxCtrlStore(storePath())};
    dlg.m_dwMode = 2;
    dlg.m_strCommand = QStringLiteral("/RECEIVE");
    dlg.accept();

    EXPECT_EQ(dlg.result(), QDialog::Accepted) << dlg.statusText().toStdString();
    EXPECT_EQ(readAll(program() + QStringLiteral("/FILE799P.TXT")), QByteArray("new 799"));
    EXPECT_FALSE(QFileInfo::exists(program() + QStringLiteral("/FILE797P.TXT")));
    EXPECT_FALSE(QFileInfo::exists(program() + QStringLiteral("/FILE002P.TXT")));
}

TEST_F(CQXPgcoTest, ShowsWhatItIsAboutToDo)
{
    CQXPgco dlg{QxCtrlStore(storePath())};
    dlg.m_dwMode = 1;
    dlg.m_strCommand = QStringLiteral("/SEND \"/x/FILE796P.TXT\"");
    dlg.m_dwFunc = 0xBEEF;
    dlg.show();
    QString all;
    for (const QLabel* label : dlg.findChildren<QLabel*>())
        all += label->text() + QLatin1Char('\n');
    for (const QString& part :
         {QStringLiteral("Send"), dlg.m_strCommand, QStringLiteral("0000BEEF"), exchange()})
        EXPECT_TRUE(all.contains(part)) << all.toStdString();
    dlg.reject();
}

// Every failure stays in the dialog as text: it remains open and nothing is written.
struct FailureCase
{
    const char* name;
    quint32 mode;
    const char* command; // %1 = program folder
    bool exchangeSet;
};

class CQXPgcoFailureTest : public CQXPgcoTest, public ::testing::WithParamInterface<FailureCase>
{};

TEST_P(CQXPgcoFailureTest, StaysOpenWithMessage)
{
    const FailureCase& c = GetParam();
    writeStore(c.exchangeSet);
    CQXPgco dlg{QxCtrlStore(storePath())};
    dlg.m_dwMode = c.mode;
    dlg.m_strCommand = QString::fromLatin1(c.command).arg(program());
    dlg.accept();
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.statusText().isEmpty());
    EXPECT_TRUE(QDir(program()).isEmpty());
    EXPECT_TRUE(!QFileInfo::exists(exchange()) || QDir(exchange()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Transfer, CQXPgcoFailureTest,
    ::testing::Values(FailureCase{"SendMissingFile", 1, "/SEND \"%1/FILE797P.TXT\"", true},
                      FailureCase{"SendUnquotedPath", 1, "/SEND %1/FILE797P.TXT", true},
                      FailureCase{"SendFolder", 1, "/SEND \"%1\"", true},
                      FailureCase{"ReceiveNothingThere", 2, "/RECEIVE", true},
                      FailureCase{"NoExchangeFolder", 2, "/RECEIVE", false},
                      FailureCase{"UnknownMode", 3, "/RECEIVE", true}),
    [](const auto& info) { return std::string(info.param.name); });
