#include "app/QtUserInteraction.h"

#include <QApplication>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
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

// Runs a program to its end; the editor's window does not take input meanwhile, as with the
// blocking wait the users know.
UserInteraction::ProgramRun RunToEnd(const QString& program, const QStringList& arguments)
{
    UserInteraction::ProgramRun run;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(-1))
        return run;
    run.started = true;
    process.waitForFinished(-1);
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
    return RunToEnd(program, arguments);
}

UserInteraction::ProgramRun QtUserInteraction::OpenDocumentAndWait(const QString& path)
{
    // xdg-open hands the file to the program and returns at once on many desktops, so the
    // default program is looked up and run directly; xdg-open is the fallback.
    const QStringList command = DefaultProgramCommand(path);
    if (!command.isEmpty())
        return RunToEnd(command.constFirst(), command.mid(1));
    return RunToEnd(QStringLiteral("xdg-open"), {path});
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
