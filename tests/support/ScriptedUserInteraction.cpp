// Support: scripted answers to every box, question and dialog, with their texts; no tests.
#include "ScriptedUserInteraction.h"

#include <gtest/gtest.h>

namespace {

const char* KindName(ScriptedUserInteraction::Kind kind)
{
    switch (kind) {
    case ScriptedUserInteraction::Kind::MessageBox:
        return "message box";
    case ScriptedUserInteraction::Kind::SaveFileName:
        return "save dialog";
    case ScriptedUserInteraction::Kind::OpenFileName:
        return "open dialog";
    case ScriptedUserInteraction::Kind::OpenFileNames:
        return "multi-select open dialog";
    case ScriptedUserInteraction::Kind::ChooseColor:
        return "colour dialog";
    case ScriptedUserInteraction::Kind::StartDetached:
        return "detached program start";
    case ScriptedUserInteraction::Kind::StartAndWait:
        return "program start and wait";
    case ScriptedUserInteraction::Kind::OpenDocumentAndWait:
        return "document open and wait";
    }
    return "call";
}

QString Describe(const ScriptedUserInteraction::Call& call)
{
    QString what = QString::fromLatin1(KindName(call.kind));
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
    Answer a;
    a.kind = AnswerKind::Button;
    a.button = answer;
    m_answers.append(a);
}

void ScriptedUserInteraction::QueueFileName(const QString& path)
{
    Answer a;
    a.kind = AnswerKind::FileName;
    if (!path.isEmpty())
        a.files = QStringList{path};
    m_answers.append(a);
}

void ScriptedUserInteraction::QueueFileNames(const QStringList& paths)
{
    Answer a;
    a.kind = AnswerKind::FileNames;
    a.files = paths;
    m_answers.append(a);
}

void ScriptedUserInteraction::QueueColor(std::optional<QColor> color)
{
    Answer a;
    a.kind = AnswerKind::Color;
    a.color = color;
    m_answers.append(a);
}

void ScriptedUserInteraction::QueueStartDetached(bool started)
{
    Answer a;
    a.kind = AnswerKind::Started;
    a.started = started;
    m_answers.append(a);
}

void ScriptedUserInteraction::QueueProgramRun(ProgramRun run)
{
    Answer a;
    a.kind = AnswerKind::Run;
    a.run = run;
    m_answers.append(a);
}

QList<ScriptedUserInteraction::Call> ScriptedUserInteraction::CallsOf(Kind kind) const
{
    QList<Call> result;
    for (const Call& call : m_calls) {
        if (call.kind == kind)
            result.append(call);
    }
    return result;
}

std::optional<ScriptedUserInteraction::Answer> ScriptedUserInteraction::Take(AnswerKind expected,
                                                                             const Call& call)
{
    m_calls.append(call);
    if (m_answers.isEmpty()) {
        ADD_FAILURE() << "unexpected " << qPrintable(Describe(call)) << ": no answer queued";
        return std::nullopt;
    }
    const Answer answer = m_answers.takeFirst();
    if (answer.kind != expected) {
        ADD_FAILURE() << "unexpected " << qPrintable(Describe(call))
                      << ": the next queued answer is for another kind of call";
        return std::nullopt;
    }
    return answer;
}

int ScriptedUserInteraction::MessageBox(const QString& text, const QString& caption,
                                        Buttons buttons, Icon icon)
{
    Call call;
    call.kind = Kind::MessageBox;
    call.text = text;
    call.caption = caption;
    call.buttons = buttons;
    call.icon = icon;
    const auto answer = Take(AnswerKind::Button, call);
    return answer ? answer->button : int(IDCANCEL);
}

QString ScriptedUserInteraction::GetSaveFileName(const FileDialogRequest& request)
{
    Call call;
    call.kind = Kind::SaveFileName;
    call.request = request;
    const auto answer = Take(AnswerKind::FileName, call);
    return answer && !answer->files.isEmpty() ? answer->files.constFirst() : QString();
}

QString ScriptedUserInteraction::GetOpenFileName(const FileDialogRequest& request)
{
    Call call;
    call.kind = Kind::OpenFileName;
    call.request = request;
    const auto answer = Take(AnswerKind::FileName, call);
    return answer && !answer->files.isEmpty() ? answer->files.constFirst() : QString();
}

QStringList ScriptedUserInteraction::GetOpenFileNames(const FileDialogRequest& request)
{
    Call call;
    call.kind = Kind::OpenFileNames;
    call.request = request;
    const auto answer = Take(AnswerKind::FileNames, call);
    return answer ? answer->files : QStringList();
}

std::optional<QColor> ScriptedUserInteraction::ChooseColor(const QColor& initial)
{
    Call call;
    call.kind = Kind::ChooseColor;
    call.initialColor = initial;
    const auto answer = Take(AnswerKind::Color, call);
    return answer ? answer->color : std::nullopt;
}

bool ScriptedUserInteraction::StartDetached(const QString& program, const QStringList& arguments)
{
    Call call;
    call.kind = Kind::StartDetached;
    call.program = program;
    call.arguments = arguments;
    const auto answer = Take(AnswerKind::Started, call);
    return answer && answer->started;
}

UserInteraction::ProgramRun ScriptedUserInteraction::StartAndWait(const QString& program,
                                                                  const QStringList& arguments)
{
    Call call;
    call.kind = Kind::StartAndWait;
    call.program = program;
    call.arguments = arguments;
    const auto answer = Take(AnswerKind::Run, call);
    return answer ? answer->run : ProgramRun{};
}

UserInteraction::ProgramRun ScriptedUserInteraction::OpenDocumentAndWait(const QString& path)
{
    Call call;
    call.kind = Kind::OpenDocumentAndWait;
    call.program = path;
    const auto answer = Take(AnswerKind::Run, call);
    return answer ? answer->run : ProgramRun{};
}
