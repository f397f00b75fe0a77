#include "cli/CliMessages.h"
#include "cli/CliModule.h"
#include "cli/CliQuickEncode.h"

// qxpan-cli's front needs QtCore alone: it encodes a screen-sized BMP itself and hands every
// other command line to the command module.
int main(int argc, char* argv[])
{
    qInstallMessageHandler(CliMessages::Filter);
    if (const std::optional<int> status = CliQuickEncode::Run(argc, argv))
        return *status;
    return CliModule::Run(argc, argv);
}
