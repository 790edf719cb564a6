// The auto-updater beside the program.  Kelmora starts it once after its
// main frame is shown and relies on nothing it does; this one has nothing
// to update and ends at once.
#include "common/platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
