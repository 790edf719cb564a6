// The platform's sockets library, started at process entry and stopped at exit.
#pragma once

// WSAStartup 2.2; 1 when started.
int Sockets_Start();
void Sockets_Stop();
