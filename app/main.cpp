// Kelmora: the program's entry.
#include "app/entry.h"

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE, LPSTR, int)
{
    return Kelmora_Main(hInst);
}
