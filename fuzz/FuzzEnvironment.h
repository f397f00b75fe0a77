#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

/// The process-wide surroundings of the fuzz targets: a private temporary folder that stands in
/// for HOME, the XDG folders and TMPDIR, so no run can touch the user's own files.
class FuzzEnvironment
{
public:
    /// Creates the private folder (under $TMPDIR or /tmp) and points the environment at it; it is
    /// removed when the process ends normally. Safe to call more than once.
    static void Init();
    /// The private folder; empty before Init.
    static QString Folder();
    /// Replaces the file name in the private folder by the bytes given; returns its path, empty
    /// when it could not be written.
    static QString WriteFile(const QString& name, const std::uint8_t* data, std::size_t size);
};
