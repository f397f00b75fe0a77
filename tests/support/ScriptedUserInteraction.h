// Support: scripted answers to every box, question and dialog, with their texts; no tests.
#pragma once

#include "uikit/UserInteraction.h"

#include <QList>

/// UserInteraction for tests: records every call and answers from a queue filled by the test.
/// A call with no queued answer, or with an answer of the wrong kind, fails the running test.
class ScriptedUserInteraction final : public UserInteraction
{
public:
    enum class Kind
    {
        MessageBox,
        SaveFileName,
        OpenFileName,
        OpenFileNames,
        ChooseColor,
        StartDetached,
        StartAndWait,
        OpenDocumentAndWait
    };

    /// One call as the editor made it.
    struct Call
    {
        Kind kind = Kind::MessageBox;
        QString text = {};    ///< message box text
        QString caption = {}; ///< message box caption
        Buttons buttons = MB_OK;
        Icon icon = MB_NOICON;
        FileDialogRequest request = {}; ///< file dialogs
        QColor initialColor = {};       ///< colour dialog
        QString program = {};           ///< program or document path
        QStringList arguments = {};
    };

    ScriptedUserInteraction() = default;
    /// Fails the test when queued answers were never asked for.
    ~ScriptedUserInteraction() override;

    /// Queues the answer to the next message box (IDOK, IDCANCEL, IDYES, IDNO).
    void QueueAnswer(int answer);
    /// Queues the answer to the next save or open dialog (empty = cancelled).
    void QueueFileName(const QString& path);
    /// Queues the answer to the next multi-select open dialog (empty = cancelled).
    void QueueFileNames(const QStringList& paths);
    /// Queues the answer to the next colour dialog (nothing = cancelled).
    void QueueColor(std::optional<QColor> color);
    /// Queues whether the next detached start succeeds.
    void QueueStartDetached(bool started);
    /// Queues the outcome of the next started-and-waited-for program or opened document.
    void QueueProgramRun(ProgramRun run);

    /// Every call so far, in order.
    const QList<Call>& Calls() const { return m_calls; }
    /// The calls of one kind, in order.
    QList<Call> CallsOf(Kind kind) const;
    /// Answers not yet used.
    qsizetype PendingAnswers() const { return m_answers.size(); }

    int MessageBox(const QString& text, const QString& caption, Buttons buttons,
                   Icon icon) override;
    QString GetSaveFileName(const FileDialogRequest& request) override;
    QString GetOpenFileName(const FileDialogRequest& request) override;
    QStringList GetOpenFileNames(const FileDialogRequest& request) override;
    std::optional<QColor> ChooseColor(const QColor& initial) override;
    bool StartDetached(const QString& program, const QStringList& arguments) override;
    ProgramRun StartAndWait(const QString& program, const QStringList& arguments) override;
    ProgramRun OpenDocumentAndWait(const QString& path) override;

private:
    enum class AnswerKind
    {
        Button,
        FileName,
        FileNames,
        Color,
        Started,
        Run
    };
    struct Answer
    {
        AnswerKind kind = AnswerKind::Button;
        int button = 0;
        QStringList files = {};
        std::optional<QColor> color = {};
        ProgramRun run = {};
    };

    // Records the call and takes the next answer; a missing answer or one of another kind fails
    // the test and gives a cancelled one.
    Answer Take(AnswerKind expected, Call call);

    QList<Call> m_calls;
    QList<Answer> m_answers;
};
