#include "app/QtUserInteraction.h"

#include <QApplication>
#include <QColorDialog>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QProgressDialog>
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

// Runs a program to its end. The wait spins an event loop so the editor's window keeps
// repainting, while a modal box keeps the user from changing the design underneath the program.
// The box cannot end the wait: only the program's end does, so the caller's refresh always sees
// the finished file.
UserInteraction::ProgramRun RunToEnd(const QString& program, const QStringList& arguments,
                                     QWidget* parent)
{
    UserInteraction::ProgramRun run;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(-1))
        return run;
    run.started = true;

    if (process.state() != QProcess::NotRunning) {
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);

        QProgressDialog box(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        box.setWindowTitle(QString::fromLatin1(kAppName));
        box.setLabelText(QString::fromUtf8("Waiting for the bitmap editor to close\u2026"));
        box.setCancelButton(nullptr);
        box.setRange(0, 0);
        box.setAutoClose(false);
        box.setAutoReset(false);
        box.setMinimumDuration(0);
        box.setWindowModality(Qt::ApplicationModal);
        // Escape or the window manager can still hide the box; it comes straight back while the
        // program runs, so the design stays locked.
        const auto showAgain = [&box, &process] {
            if (process.state() != QProcess::NotRunning)
                box.show();
        };
        QObject::connect(&box, &QProgressDialog::canceled, &box, showAgain);
        QObject::connect(&box, &QDialog::finished, &box, showAgain);
        box.show();

        // The program's end is delivered through the event loop, so an end before exec() is
        // still seen.
        if (process.state() != QProcess::NotRunning)
            loop.exec();
        // The loop also ends when the application quits; the program is still waited for rather
        // than killed with the QProcess.
        if (process.state() != QProcess::NotRunning)
            process.waitForFinished(-1);
        box.hide();
    }

    if (process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
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

int QtUserInteraction::MessageBox(const QString& text, const QString& caption, Buttons buttons,
                                  Icon icon)
{
    QMessageBox box(DialogParent());
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
