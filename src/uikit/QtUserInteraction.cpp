#include "uikit/QtUserInteraction.h"

#include <QApplication>
#include <QColorDialog>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpacerItem>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

namespace {

QFileDialog::Options ToQtOptions(UserInteraction::FileDialogOptions options)
{
    QFileDialog::Options result;
    if (!(options & UserInteraction::OverwritePrompt))
        result |= QFileDialog::DontConfirmOverwrite;
    return result;
}

// Runs a program until it ends or the user stops waiting for it. The wait spins an event loop
// so the editor's window keeps repainting, while a modal box keeps the user from changing the
// design underneath the program. Escape and the window's close box do not end the wait; the
// box's button does, and the program then goes on running on its own.
UserInteraction::ProgramRun RunToEnd(const QString& program, const QStringList& arguments,
                                     QWidget* parent)
{
    UserInteraction::ProgramRun run;
    // On the heap: a QProcess kills its program when destroyed, and a program the user stopped
    // waiting for must live on. It deletes itself once the program has ended.
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(program, arguments);
    if (!process->waitForStarted(-1)) {
        delete process;
        return run;
    }
    run.started = true;

    bool stopped = false;
    if (process->state() != QProcess::NotRunning) {
        QEventLoop loop;
        QObject::connect(process, &QProcess::finished, &loop, &QEventLoop::quit);

        QProgressDialog box(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        box.setWindowTitle(QString::fromLatin1(kAppName));
        box.setLabelText(QString::fromUtf8("Waiting for the bitmap editor to close\u2026"));
        auto* stop = new QPushButton(QStringLiteral("Stop Waiting"));
        stop->setToolTip(QStringLiteral("Go on editing now; the bitmap editor stays open"));
        // Connected before the box connects it, so the box is not shown again on the way out.
        QObject::connect(stop, &QPushButton::clicked, &loop, [&stopped, &loop] {
            stopped = true;
            loop.quit();
        });
        box.setCancelButton(stop);
        box.setRange(0, 0);
        box.setAutoClose(false);
        box.setAutoReset(false);
        box.setMinimumDuration(0);
        box.setWindowModality(Qt::ApplicationModal);
        // Escape or the window manager can still hide the box; it comes straight back while the
        // program runs, so the design stays locked until the program ends or the button is used.
        const auto showAgain = [&box, &stopped, process] {
            if (!stopped && process->state() != QProcess::NotRunning)
                box.show();
        };
        QObject::connect(&box, &QProgressDialog::canceled, &box, showAgain);
        QObject::connect(&box, &QDialog::finished, &box, showAgain);
        box.show();

        // The program's end is delivered through the event loop, so an end before exec() is
        // still seen.
        if (process->state() != QProcess::NotRunning)
            loop.exec();
        // The loop also ends when the application quits; the program is still waited for rather
        // than killed with the QProcess.
        if (!stopped && process->state() != QProcess::NotRunning)
            process->waitForFinished(-1);
        box.hide();
    }

    if (stopped && process->state() != QProcess::NotRunning) {
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return run;
    }
    if (process->exitStatus() == QProcess::NormalExit)
        run.exitCode = process->exitCode();
    delete process;
    return run;
}

QString ReadCommandOutput(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(5000) || !process.waitForFinished(10000))
        return {};
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

QString DesktopEntryExec(const QString& desktopFile)
{
    QFile file(desktopFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    bool inEntry = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'['))
            inEntry = line == QLatin1String("[Desktop Entry]");
        else if (inEntry && line.startsWith(QLatin1String("Exec=")))
            return line.mid(5);
    }
    return {};
}

} // namespace

QWidget* QtUserInteraction::DialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

namespace {

// A message box that a question without Cancel does not let go by Escape or its close box: only
// Yes and No answer it, as on the register's home system.
class QuestionBox final : public QMessageBox
{
public:
    QuestionBox(QWidget* parent, bool mustAnswer) : QMessageBox(parent), m_mustAnswer(mustAnswer)
    {
        if (m_mustAnswer)
            setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    }

    // Window managers squeeze a narrow box's title to "…": leave room for the caption beside the
    // title bar's icon and buttons.
    void KeepCaptionVisible()
    {
        auto* grid = qobject_cast<QGridLayout*>(layout());
        if (!grid)
            return;
        const QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
        const int width = QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + kTitleBarRoom;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (m_mustAnswer && event->key() == Qt::Key_Escape) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override
    {
        if (m_mustAnswer) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

private:
    // An icon and three buttons of a title bar, with some air.
    static constexpr int kTitleBarRoom = 160;
    bool m_mustAnswer = false;
};

} // namespace

int QtUserInteraction::MessageBox(const QString& text, const QString& caption, Buttons buttons,
                                  Icon icon)
{
    QuestionBox box(DialogParent(), buttons == MB_YESNO);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    case MB_NOICON:
        break;
    }
    switch (buttons) {
    case MB_OK:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case MB_YESNOCANCEL:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    box.KeepCaptionVisible();
    switch (box.exec()) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

QString QtUserInteraction::GetSaveFileName(const FileDialogRequest& request)
{
    QFileDialog dialog(DialogParent(), request.title, request.initialName, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOptions(ToQtOptions(request.options));
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtUserInteraction::GetOpenFileName(const FileDialogRequest& request)
{
    QFileDialog dialog(DialogParent(), request.title, request.initialName, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.options & FileMustExist ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setOptions(ToQtOptions(request.options));
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QStringList QtUserInteraction::GetOpenFileNames(const FileDialogRequest& request)
{
    QFileDialog dialog(DialogParent(), request.title, request.initialName, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOptions(ToQtOptions(request.options));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

std::optional<QColor> QtUserInteraction::ChooseColor(const QColor& initial)
{
    QColorDialog dialog(initial, DialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

bool QtUserInteraction::StartDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

UserInteraction::ProgramRun QtUserInteraction::StartAndWait(const QString& program,
                                                            const QStringList& arguments)
{
    return RunToEnd(program, arguments, DialogParent());
}

UserInteraction::ProgramRun QtUserInteraction::OpenDocumentAndWait(const QString& path)
{
    // xdg-open hands the file to the program and returns at once on many desktops, so the
    // default program is looked up and run directly; xdg-open is the fallback.
    const QStringList command = DefaultProgramCommand(path);
    if (!command.isEmpty())
        return RunToEnd(command.constFirst(), command.mid(1), DialogParent());
    return RunToEnd(QStringLiteral("xdg-open"), {path}, DialogParent());
}

QStringList QtUserInteraction::DefaultProgramCommand(const QString& path)
{
    const QString mimeType = QMimeDatabase().mimeTypeForFile(path).name();
    if (mimeType.isEmpty())
        return {};
    const QString desktopId = ReadCommandOutput(
        QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (desktopId.isEmpty())
        return {};
    const QString desktopFile =
        QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopId);
    if (desktopFile.isEmpty())
        return {};
    return ExpandDesktopExec(DesktopEntryExec(desktopFile), path);
}

QStringList QtUserInteraction::ExpandDesktopExec(const QString& exec, const QString& path)
{
    const QStringList parts = QProcess::splitCommand(exec);
    if (parts.isEmpty())
        return {};
    QStringList command;
    bool fileGiven = false;
    for (const QString& part : parts) {
        if (part == QLatin1String("%f") || part == QLatin1String("%F")) {
            command << path;
            fileGiven = true;
        } else if (part == QLatin1String("%u") || part == QLatin1String("%U")) {
            command << QUrl::fromLocalFile(path).toString();
            fileGiven = true;
        } else if (part.size() == 2 && part.startsWith(u'%') && part != QLatin1String("%%")) {
            continue; // icon, name, location and deprecated codes: nothing to pass
        } else {
            QString plain = part;
            command << plain.replace(QLatin1String("%%"), QLatin1String("%"));
        }
    }
    if (!fileGiven)
        command << path;
    return command;
}
