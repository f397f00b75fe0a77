#pragma once

#include <QString>

#include <functional>

/// A message a reader or writer hands to its caller, who shows it as a box or prints it.
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

/// Receives the messages of one operation; may be empty when nobody listens.
using FileMessageSink = std::function<void(const FileMessage&)>;
