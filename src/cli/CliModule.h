#pragma once

// The command module of qxpan-cli (qxpan-cli-commands.so): every command, on the whole core with
// the graphics libraries. It lies beside the program in the build tree and in the library folder
// once installed.
namespace CliModule {

/// Loads the module and runs the command line through it; its exit status, or 1 with a line on
/// standard error when the module cannot be loaded.
int Run(int argc, char* argv[]);

} // namespace CliModule
