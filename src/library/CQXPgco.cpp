#include "library/CQXPgco.h"

#include "fileio/FileCopy.h"

#include "reglib/CQxCtrlApi.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

constexpr quint32 kModeSend = 1;
constexpr quint32 kModeReceive = 2;

// The path of "/SEND \"path\"", or empty when the command is not a send command. Everything
// between the first and the last quote is the path, so a name that holds quotes itself works.
QString sendPath(const QString& command)
{
    static const QRegularExpression re(QStringLiteral("^\\s*/SEND\\s+\"(.+)\"\\s*$"),
                                       QRegularExpression::CaseInsensitiveOption |
                                           QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = re.match(command);
    return m.hasMatch() ? m.captured(1) : QString();
}

// An existing target is replaced whole or not at all.
bool copyReplacing(const QString& from, const QString& to, QString& message)
{
    const FileResult copied = CopyFileReplacing(from, to);
    if (!copied)
        message = (copied.path == from ? QStringLiteral("Cannot read \"%1\": %2")
                                       : QStringLiteral("Cannot write \"%1\": %2"))
                      .arg(copied.path, copied.reason);
    return bool(copied);
}

} // namespace

CQXPgco::CQXPgco(const QxCtrlStore& store, QWidget* parent) : QDialog(parent), m_store(store)
{
    setWindowTitle(QStringLiteral("Receive/Send"));
    auto* layout = new QVBoxLayout(this);
    m_description = new QLabel(this);
    m_description->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(m_description);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CQXPgco::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CQXPgco::reject);
}

QString CQXPgco::statusText() const
{
    return m_status->text();
}

void CQXPgco::showEvent(QShowEvent* event)
{
    // The caller sets the members after construction, so describe them only now.
    describe();
    QDialog::showEvent(event);
}

void CQXPgco::describe()
{
    const QString mode = m_dwMode == kModeSend      ? QStringLiteral("Send")
                         : m_dwMode == kModeReceive ? QStringLiteral("Receive")
                                                    : QStringLiteral("Unknown (%1)").arg(m_dwMode);
    const QString exchange = CQxCtrlApi(m_store).ExchangeFolder();
    m_description->setText(
        QStringLiteral("Mode: %1\nCommand: %2\nRegister flags: 0x%3\nExchange folder: %4")
            .arg(mode, m_strCommand,
                 QString::number(m_dwFunc, 16).toUpper().rightJustified(8, u'0'),
                 exchange.isEmpty() ? QStringLiteral("(not set)") : exchange));
}

void CQXPgco::accept()
{
    describe();
    const QString exchange = CQxCtrlApi(m_store).ExchangeFolder();
    QString message;
    bool done = false;
    if (exchange.isEmpty()) {
        message = QStringLiteral("No exchange folder is set in the configuration store \"%1\".")
                      .arg(m_store.path());
    } else if (!QDir().mkpath(exchange)) {
        message = QStringLiteral("Cannot create the exchange folder \"%1\".").arg(exchange);
    } else if (m_dwMode == kModeSend) {
        done = send(exchange, message);
    } else if (m_dwMode == kModeReceive) {
        done = receive(exchange, message);
    } else {
        message = QStringLiteral("Unknown transfer mode %1.").arg(m_dwMode);
    }
    m_status->setText(message);
    if (done)
        QDialog::accept();
}

bool CQXPgco::send(const QString& exchange, QString& message)
{
    const QString path = sendPath(m_strCommand);
    if (path.isEmpty()) {
        message = QStringLiteral("Cannot read the command \"%1\".").arg(m_strCommand);
        return false;
    }
    const QFileInfo source(path);
    if (!source.isFile()) {
        message = QStringLiteral("There is no file \"%1\" to send.").arg(path);
        return false;
    }
    return copyReplacing(path, QDir(exchange).filePath(source.fileName()), message);
}

bool CQXPgco::receive(const QString& exchange, QString& message)
{
    QString program;
    if (CQxCtrlApi(m_store).GetActFolPath(DEFBS_ENV_PROGRAM, program) == 0) {
        message = QStringLiteral("The configuration store names no program file folder.");
        return false;
    }
    // The register leaves its files in the exchange folder; the one it wrote last is the one
    // just received. Of files with equal times the last by name wins, so the choice never
    // depends on the order the folder lists its files in.
    const QFileInfoList candidates = QDir(exchange).entryInfoList(
        {QStringLiteral("FILE79?P.TXT")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    const QFileInfo* newest = nullptr;
    for (const QFileInfo& info : candidates) {
        if (!newest || info.lastModified() >= newest->lastModified())
            newest = &info;
    }
    if (!newest) {
        message =
            QStringLiteral("There is no FILE79?P.TXT in the exchange folder \"%1\".").arg(exchange);
        return false;
    }
    if (!QDir().mkpath(program)) {
        message = QStringLiteral("Cannot create the program file folder \"%1\".").arg(program);
        return false;
    }
    // Register file names are upper case; keep them so whatever case the exchange used.
    return copyReplacing(newest->filePath(), QDir(program).filePath(newest->fileName().toUpper()),
                         message);
}
