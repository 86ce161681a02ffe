// txcmd: the command-line remote control of the host (a windowed program, no console).
#include "txcmd/CommandText.h"
#include "txcmd/RemoteCommand.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // The argument string is taken from the full command line, as the start-up code
    // would, so that the rule lives in one tested place.
    return tx::remote::RemoteCommandMain(instance, tx::remote::ArgumentsOf(::GetCommandLineW()));
}
