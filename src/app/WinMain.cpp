// flipset.exe
#include "app/MainApp.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return flipset::MainApp().Run(GetCommandLineA());
}
