#pragma once

#include <QString>

/// What the editor shows of a result in a box (qxpan-cli prints the text).
struct FileMessage
{
    /// Icon of the message box.
    enum Icon
    {
        NoIcon,
        StopIcon,
        ExclamationIcon,
    };

    QString text;  ///< the message text
    QString title; ///< the box title; empty means the application's name
    Icon icon = NoIcon;
};

/// What a file operation came to: done (code 0), or its failure code with the file, the reason
/// and what the user is told. The one result shape of the readers and writers; the editor shows
/// it in a box, the tool prints it.
struct FileResult
{
    /// The code of a failure that has no code of its own.
    static constexpr int kFailed = -1;

    int code = 0;   ///< 0 done, else the failure's code (the documented ones keep their values)
    QString path;   ///< the file the failure concerns
    QString reason; ///< why, as the system says it ("No space left on device", ...)
    QString text;   ///< the operation's own message, when it has one ("Wrong PAN file.")
    QString title;  ///< the box title; empty means the application's name
    FileMessage::Icon icon = FileMessage::NoIcon;

    explicit operator bool() const { return code == 0; }
    /// The line the tool prints: text when there is one, else "path: reason"; empty when done or
    /// when the code alone tells what happened.
    QString Text() const
    {
        if (code == 0)
            return QString();
        if (!text.isEmpty())
            return text;
        return reason.isEmpty() ? QString() : path + QStringLiteral(": ") + reason;
    }
    /// The editor's box: text when there is one, else the reason alone (the title names the
    /// application). An empty text shows no box.
    FileMessage Message() const
    {
        return {code == 0 ? QString() : text.isEmpty() ? reason : text, title, icon};
    }

    static FileResult Done() { return {}; }
    static FileResult Failed(const QString& path, const QString& reason, int code = kFailed)
    {
        return {code, path, reason, {}, {}, FileMessage::NoIcon};
    }
    /// This failure, telling the user message in a box with the icon.
    FileResult Told(const QString& message, FileMessage::Icon boxIcon = FileMessage::NoIcon) const
    {
        FileResult told = *this;
        told.text = message;
        told.icon = boxIcon;
        return told;
    }
};
