// Catches: Receive copying the wrong file or place; a failure that closes or writes.
#include "library/CQXPgco.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A store whose branch has its program folder, and an exchange folder, in a temporary folder.
class Transfer : public ::testing::Test
{
protected:
    void SetUp() override { WriteStore(); }
    void WriteStore(bool withExchange = true)
    {
        QDir().mkpath(Program());
        const QByteArray exchange = "ExchangeFolder=" + QFile::encodeName(Exchange()) + "\n";
        Write(m_dir.filePath(QStringLiteral("qxctrl.ini")),
              "[General]\nBranch=B\nRegister=R\n" + (withExchange ? exchange : QByteArray()) +
                  "[Branch.B]\nFolder10=" + QFile::encodeName(Program()) + "\n");
    }
    void Write(const QString& path, const QByteArray& bytes, int minutesAgo = 0)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutesAgo),
                      QFileDevice::FileModificationTime);
    }
    /// The dialog as the editor sets it up, accepted.
    std::unique_ptr<CQXPgco> Run(quint32 mode, const QString& command)
    {
        auto dlg =
            std::make_unique<CQXPgco>(QxCtrlStore(m_dir.filePath(QStringLiteral("qxctrl.ini"))));
        dlg->m_dwMode = mode;
        dlg->m_strCommand = command;
        dlg->accept();
        return dlg;
    }
    QString Program(const QString& name = {}) const { return In("program/" + name); }
    QString Exchange(const QString& name = {}) const { return In("ex change/" + name); }
    QString In(const QString& path) const { return QDir::cleanPath(m_dir.filePath(path)); }

    QTemporaryDir m_dir;
};

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// Receive takes the newest screen file of the exchange folder, whatever its letter case.
TEST_F(Transfer, ReceiveCopiesTheNewestScreenFile)
{
    Write(Exchange("FILE797P.TXT"), "old 797", 30);
    Write(Exchange("file799p.txt"), "new 799", 5);
    Write(Exchange("FILE002P.TXT"), "not a screen file");
    Write(Exchange("FILE7990P.TXT"), "not a screen file");
    Write(Program("FILE799P.TXT"), "what the branch had");
    auto receive = Run(2, QStringLiteral("/RECEIVE"));
    EXPECT_EQ(receive->result(), QDialog::Accepted) << receive->statusText().toStdString();
    EXPECT_EQ(Read(Program("FILE799P.TXT")), "new 799");
    EXPECT_EQ(QDir(Program()).entryList(QDir::Files), QStringList({"FILE799P.TXT"}));
}

// Every failure stays in the dialog as text: it remains open and nothing is written.
TEST_F(Transfer, AFailureKeepsTheDialogOpenWithAMessage)
{
    for (auto [mode, command, exchangeSet] : {std::tuple{1, "/SEND \"%1/FILE797P.TXT\"", true},
                                              {1, "/SEND %1/FILE797P.TXT", true}, // not quoted
                                              {1, "/SEND \"%1\"", true},          // a folder
                                              {2, "/RECEIVE", true},              // nothing there
                                              {2, "/RECEIVE", false},
                                              {3, "/RECEIVE", true}}) {
        SCOPED_TRACE(testing::Message() << command << " " << exchangeSet);
        WriteStore(exchangeSet);
        auto dlg = Run(mode, QString::fromLatin1(command).replace("%1", Program()));
        EXPECT_TRUE(dlg->result() != QDialog::Accepted && !dlg->statusText().isEmpty());
        EXPECT_TRUE(QDir(Program()).isEmpty() && QDir(Exchange()).isEmpty());
    }
}

} // namespace
