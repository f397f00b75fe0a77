#pragma once

#include "FuzzOutcome.h"

#include <cstddef>
#include <cstdint>

/// Feeds one input to one of the editor's readers and checks what the reader promises for any
/// input. The fuzz targets and the regression test share these, so a finding replays exactly.
class FuzzReaders
{
public:
    /// Panel file reader; the last byte also chooses the image type and the host's lists and
    /// answers. nResult: the reader's 0 or -1.
    static FuzzOutcome Panel(const std::uint8_t* data, std::size_t size);
    /// Bitmap table reader (the input is FILE795P.TXT) and HexToBytes (the input is the text).
    /// nResult: the number of records read.
    static FuzzOutcome BitmapTable(const std::uint8_t* data, std::size_t size);
    /// Screen file import decoder. nResult: its ScreenImportResult.
    static FuzzOutcome ScreenImport(const std::uint8_t* data, std::size_t size);
    /// "funckey.txt" reader, checked against the record lookup done the slow way. nResult: rows.
    static FuzzOutcome FuncKey(const std::uint8_t* data, std::size_t size);
    /// "FILE002P.TXT" reader. nResult: rows.
    static FuzzOutcome FreeFunc(const std::uint8_t* data, std::size_t size);
    /// Configuration store (the input is the INI file): every query, then the screen table
    /// written back. nResult: 1 when the store was readable, else 0.
    static FuzzOutcome Store(const std::uint8_t* data, std::size_t size);
    /// CDibImage::Load (the input is the image file) and the uses a loaded image is put to.
    /// nResult: the load status.
    static FuzzOutcome Image(const std::uint8_t* data, std::size_t size);
};
