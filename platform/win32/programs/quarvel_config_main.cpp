// QuarvelConfig.exe: the settings form; the command line is not used.
#include <windows.h>

#include "config/config_program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return RunQuarvelConfig(); }
