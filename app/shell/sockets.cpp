// Kept apart from every other source: the sockets header of the platform
// does not mix with the client library's headers.
#include <winsock2.h>
#include "app/shell/sockets.h"

int Sockets_Start()
{
    WSADATA wsa;
    return WSAStartup(MAKEWORD(2, 2), &wsa) == 0 ? 1 : 0;
}

void Sockets_Stop() { WSACleanup(); }
