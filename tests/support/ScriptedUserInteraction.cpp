// Support: scripted answers to every box, question and dialog, with their texts; no tests.
#include "ScriptedUserInteraction.h"

#include <gtest/gtest.h>

namespace {

QString Describe(const ScriptedUserInteraction::Call& call)
{
    static const char* const kinds[] = {"message box",
                                        "save dialog",
                                        "open dialog",
                                        "multi-select open dialog",
                                        "colour dialog",
                                        "detached program start",
                                        "program start and wait",
                                        "document open and wait"};
    QString what = QString::fromLatin1(kinds[int(call.kind)]);
    if (!call.text.isEmpty())
        what += QStringLiteral(" \"%1\" (caption \"%2\")").arg(call.text, call.caption);
    if (!call.request.title.isEmpty() || !call.request.initialName.isEmpty())
        what +=
            QStringLiteral(" \"%1\" for \"%2\"").arg(call.request.title, call.request.initialName);
    if (!call.program.isEmpty())
        what += QStringLiteral(" of \"%1\" %2").arg(call.program, call.arguments.join(u' '));
    return what;
}

} // namespace

ScriptedUserInteraction::~ScriptedUserInteraction()
{
    EXPECT_TRUE(m_answers.isEmpty())
        << m_answers.size() << " scripted answer(s) were never asked for";
}

void ScriptedUserInteraction::QueueAnswer(int answer)
{
    m_answers.append({.kind = AnswerKind::Button, .button = answer});
}

void ScriptedUserInteraction::QueueFileName(const QString& path)
{
    m_answers.append({.kind = AnswerKind::FileName,
                      .files = path.isEmpty() ? QStringList() : QStringList{path}});
}

void ScriptedUserInteraction::QueueFileNames(const QStringList& paths)
{
    m_answers.append({.kind = AnswerKind::FileNames, .files = paths});
}

void ScriptedUserInteraction::QueueColor(std::optional<QColor> color)
{
    m_answers.append({.kind = AnswerKind::Color, .color = color});
}

void ScriptedUserInteraction::QueueStartDetached(bool started)
{
    m_answers.append({.kind = AnswerKind::Started, .run = {started, 0}});
}

void ScriptedUserInteraction::QueueProgramRun(ProgramRun run)
{
    m_answers.append({.kind = AnswerKind::Run, .run = run});
}

QList<ScriptedUserInteraction::Call> ScriptedUserInteraction::CallsOf(Kind kind) const
{
    QList<Call> result;
    std::copy_if(m_calls.begin(), m_calls.end(), std::back_inserter(result),
                 [kind](const Call& call) { return call.kind == kind; });
    return result;
}

ScriptedUserInteraction::Answer ScriptedUserInteraction::Take(AnswerKind expected, Call call)
{
    m_calls.append(call);
    if (m_answers.isEmpty() || m_answers.constFirst().kind != expected) {
        ADD_FAILURE() << "unexpected " << qPrintable(Describe(call))
                      << (m_answers.isEmpty() ? ": no answer queued"
                                              : ": the next queued answer is for another call");
        return {.kind = expected, .button = IDCANCEL};
    }
    return m_answers.takeFirst();
}

int ScriptedUserInteraction::MessageBox(const QString& text, const QString& caption,
                                        Buttons buttons, Icon icon)
{
    return Take(AnswerKind::Button, {Kind::MessageBox, text, caption, buttons, icon}).button;
}

QString ScriptedUserInteraction::GetSaveFileName(const FileDialogRequest& request)
{
    return Take(AnswerKind::FileName, {.kind = Kind::SaveFileName, .request = request})
        .files.value(0);
}

QString ScriptedUserInteraction::GetOpenFileName(const FileDialogRequest& request)
{
    return Take(AnswerKind::FileName, {.kind = Kind::OpenFileName, .request = request})
        .files.value(0);
}

QStringList ScriptedUserInteraction::GetOpenFileNames(const FileDialogRequest& request)
{
    return Take(AnswerKind::FileNames, {.kind = Kind::OpenFileNames, .request = request}).files;
}

std::optional<QColor> ScriptedUserInteraction::ChooseColor(const QColor& initial)
{
    return Take(AnswerKind::Color, {.kind = Kind::ChooseColor, .initialColor = initial}).color;
}

bool ScriptedUserInteraction::StartDetached(const QString& program, const QStringList& arguments)
{
    return Take(AnswerKind::Started,
                {.kind = Kind::StartDetached, .program = program, .arguments = arguments})
        .run.started;
}

UserInteraction::ProgramRun ScriptedUserInteraction::StartAndWait(const QString& program,
                                                                  const QStringList& arguments)
{
    return Take(AnswerKind::Run,
                {.kind = Kind::StartAndWait, .program = program, .arguments = arguments})
        .run;
}

UserInteraction::ProgramRun ScriptedUserInteraction::OpenDocumentAndWait(const QString& path)
{
    return Take(AnswerKind::Run, {.kind = Kind::OpenDocumentAndWait, .program = path}).run;
}
