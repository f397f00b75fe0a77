#pragma once

#include "uikit/UserInteraction.h"

class QWidget;

/// UserInteraction with Qt's dialogs and QProcess; programs get argument lists, never a shell.
class QtUserInteraction final : public UserInteraction
{
public:
    QtUserInteraction() = default;

    int MessageBox(const QString& text, const QString& caption, Buttons buttons,
                   Icon icon) override;
    QString GetSaveFileName(const FileDialogRequest& request) override;
    QString GetOpenFileName(const FileDialogRequest& request) override;
    QStringList GetOpenFileNames(const FileDialogRequest& request) override;
    std::optional<QColor> ChooseColor(const QColor& initial) override;
    bool StartDetached(const QString& program, const QStringList& arguments) override;
    ProgramRun StartAndWait(const QString& program, const QStringList& arguments) override;
    ProgramRun OpenDocumentAndWait(const QString& path) override;

    /// The command line of the desktop's default program for a file, with the file filled in;
    /// empty when the desktop names none.
    static QStringList DefaultProgramCommand(const QString& path);
    /// Fills a desktop entry's Exec line with a file; empty when the line cannot be split.
    static QStringList ExpandDesktopExec(const QString& exec, const QString& path);

private:
    static QWidget* DialogParent();
};
