#pragma once

#include <optional>

// The front's own encode: a plain 24-bit BMP of the register's 1024 x 768 is the screen picture as
// it is, so it needs neither an image decoder nor the renderer, and qxpan-cli writes its screen
// file without loading the graphics libraries (which take longer to load than the encode takes).
namespace CliQuickEncode {

/// Runs "encode IN OUT --number N" when argv asks for it and IN is such a BMP, and returns the
/// exit status; nothing for any other command line or picture (and for any input it would have to
/// complain about), which the command module then handles with its own messages.
std::optional<int> Run(int argc, char* argv[]);

} // namespace CliQuickEncode
