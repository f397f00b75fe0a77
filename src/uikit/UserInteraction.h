#pragma once

#include <QColor>
#include <QFlags>
#include <QString>
#include <QStringList>

#include <optional>

/// The application's name: the caption of every message box that names no other.
inline constexpr char kAppName[] = "QXPan";

/// Every message box, question, file dialog, colour dialog and program start of the editor goes
/// through this interface, so that tests can script the answers.
class UserInteraction
{
public:
    /// Answers of a message box; the numbers are the ones the editor's handlers compare against.
    enum Answer : int
    {
        IDOK = 1,
        IDCANCEL = 2,
        IDYES = 6,
        IDNO = 7
    };
    /// Button sets of a message box.
    enum Buttons : int
    {
        MB_OK = 0,
        MB_OKCANCEL = 1,
        MB_YESNOCANCEL = 3,
        MB_YESNO = 4
    };
    /// Icons of a message box.
    enum Icon : int
    {
        MB_NOICON = 0,
        MB_ICONERROR = 0x10,
        MB_ICONQUESTION = 0x20,
        MB_ICONEXCLAMATION = 0x30,
        MB_ICONINFORMATION = 0x40
    };

    /// Options of the file dialogs.
    enum FileDialogOption : int
    {
        OverwritePrompt = 0x1, ///< save: ask before replacing an existing file
        FileMustExist = 0x2,   ///< open: only existing files can be chosen
    };
    Q_DECLARE_FLAGS(FileDialogOptions, FileDialogOption)

    /// What a file dialog shows.
    struct FileDialogRequest
    {
        QString title;         ///< window title; empty = the toolkit's default
        QString initialName;   ///< initial file name, optionally with its folder
        QString filter;        ///< Qt filter text, e.g. "Panel File (*.pan);;All Files (*)"
        QString defaultSuffix; ///< appended when the user types a name without one, e.g. "pan"
        FileDialogOptions options;
    };

    /// Outcome of a program that was started and waited for.
    struct ProgramRun
    {
        bool started = false; ///< false when the program could not be started at all
        int exitCode = -1;    ///< its exit code when it ended normally, else -1
    };

    virtual ~UserInteraction() = default;

    /// Shows a modal message box and returns the answer (IDOK, IDCANCEL, IDYES or IDNO).
    virtual int MessageBox(const QString& text,
                           const QString& caption = QString::fromLatin1(kAppName),
                           Buttons buttons = MB_OK, Icon icon = MB_NOICON) = 0;

    /// Save dialog: the chosen path, or an empty string when cancelled.
    virtual QString GetSaveFileName(const FileDialogRequest& request) = 0;
    /// Open dialog: the chosen path, or an empty string when cancelled.
    virtual QString GetOpenFileName(const FileDialogRequest& request) = 0;
    /// Open dialog with multiple selection: the chosen paths, empty when cancelled.
    virtual QStringList GetOpenFileNames(const FileDialogRequest& request) = 0;
    /// Colour dialog: the chosen colour, or nothing when cancelled.
    virtual std::optional<QColor> ChooseColor(const QColor& initial) = 0;

    /// Starts a program without waiting for it; false when it could not be started.
    virtual bool StartDetached(const QString& program, const QStringList& arguments) = 0;
    /// Starts a program and waits until it ends.
    virtual ProgramRun StartAndWait(const QString& program, const QStringList& arguments) = 0;
    /// Opens a document with the desktop's default program for it and waits until that ends.
    virtual ProgramRun OpenDocumentAndWait(const QString& path) = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(UserInteraction::FileDialogOptions)
