// The delaying relay: one thread accepts; each connection has, per
// direction, a reader that stamps every chunk with the moment it is due and
// a writer that sends it then.  Kept apart from the client library's
// headers: the sockets header of the platform does not mix with them.
#include <winsock2.h>
#include <ws2tcpip.h>
#include "bench/round_trips/relay.h"

#include <deque>
#include <string>
#include <vector>

namespace {

LONGLONG NowUs()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return c.QuadPart * 1000000 / f.QuadPart;
}

struct Chunk {
    LONGLONG due;
    std::string bytes;    // empty: the sender closed its side
};

struct Link;

// One direction of a connection.
struct Pipe {
    Link* link;
    SOCKET from, to;
    bool bClient;                 // from the client to the server
    CRITICAL_SECTION cs;
    HANDLE hReady;                // set when a chunk was queued
    std::deque<Chunk> q;
};

struct Link {
    Relay* relay;
    SOCKET client, server;
    Pipe up, down;
    volatile LONG bAnswered;      // the server has sent since the client last did
};

}  // namespace

struct Relay {
    SOCKET listener;
    int port;
    int serverPort;
    LONGLONG halfUs;
    volatile LONG trips;
    CRITICAL_SECTION cs;
    std::vector<Link*> links;
    std::vector<HANDLE> threads;
    HANDLE hAccept;
};

namespace {

DWORD WINAPI ReadPipe(LPVOID pv)
{
    Pipe* p = static_cast<Pipe*>(pv);
    Relay* r = p->link->relay;
    std::vector<char> buf(65536);
    for (;;) {
        int n = recv(p->from, buf.data(), static_cast<int>(buf.size()), 0);
        LONGLONG now = NowUs();
        if (p->bClient && n > 0 && InterlockedExchange(&p->link->bAnswered, 0))
            InterlockedIncrement(&r->trips);
        if (!p->bClient && n > 0)
            InterlockedExchange(&p->link->bAnswered, 1);
        EnterCriticalSection(&p->cs);
        p->q.push_back(Chunk{now + r->halfUs, n > 0 ? std::string(buf.data(), static_cast<size_t>(n)) : std::string()});
        LeaveCriticalSection(&p->cs);
        SetEvent(p->hReady);
        if (n <= 0)
            return 0;
    }
}

DWORD WINAPI WritePipe(LPVOID pv)
{
    Pipe* p = static_cast<Pipe*>(pv);
    for (;;) {
        EnterCriticalSection(&p->cs);
        bool any = !p->q.empty();
        Chunk c = any ? p->q.front() : Chunk{0, std::string()};
        LeaveCriticalSection(&p->cs);
        if (!any) {
            WaitForSingleObject(p->hReady, INFINITE);
            continue;
        }
        LONGLONG wait = c.due - NowUs();
        if (wait > 0) {
            // Sleep most of the wait, then spin the last millisecond: the
            // delay is what is measured.
            if (wait > 1500)
                Sleep(static_cast<DWORD>((wait - 1000) / 1000));
            while (NowUs() < c.due)
                SwitchToThread();
        }
        EnterCriticalSection(&p->cs);
        p->q.pop_front();
        LeaveCriticalSection(&p->cs);
        if (c.bytes.empty()) {
            shutdown(p->to, SD_SEND);
            return 0;
        }
        size_t sent = 0;
        while (sent < c.bytes.size()) {
            int n = send(p->to, c.bytes.data() + sent, static_cast<int>(c.bytes.size() - sent), 0);
            if (n <= 0)
                return 0;
            sent += static_cast<size_t>(n);
        }
    }
}

SOCKET Listen(int* pPort)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return s;
    sockaddr_in a;
    memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    int len = sizeof a;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(s, 8) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    *pPort = ntohs(a.sin_port);
    return s;
}

SOCKET ConnectServer(int port)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return s;
    sockaddr_in a;
    memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<u_short>(port));
    if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

void NoDelay(SOCKET s)
{
    BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

void StartPipe(Relay* r, Pipe* p, Link* l, SOCKET from, SOCKET to, bool bClient)
{
    p->link = l;
    p->from = from;
    p->to = to;
    p->bClient = bClient;
    InitializeCriticalSection(&p->cs);
    p->hReady = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE a = CreateThread(nullptr, 0, ReadPipe, p, 0, nullptr);
    HANDLE b = CreateThread(nullptr, 0, WritePipe, p, 0, nullptr);
    EnterCriticalSection(&r->cs);
    r->threads.push_back(a);
    r->threads.push_back(b);
    LeaveCriticalSection(&r->cs);
}

DWORD WINAPI AcceptLoop(LPVOID pv)
{
    Relay* r = static_cast<Relay*>(pv);
    for (;;) {
        SOCKET c = accept(r->listener, nullptr, nullptr);
        if (c == INVALID_SOCKET)
            return 0;
        SOCKET s = ConnectServer(r->serverPort);
        if (s == INVALID_SOCKET) {
            closesocket(c);
            continue;
        }
        NoDelay(c);
        NoDelay(s);
        Link* l = new Link();
        l->relay = r;
        l->client = c;
        l->server = s;
        l->bAnswered = 1;
        EnterCriticalSection(&r->cs);
        r->links.push_back(l);
        LeaveCriticalSection(&r->cs);
        StartPipe(r, &l->up, l, c, s, true);
        StartPipe(r, &l->down, l, s, c, false);
    }
}

}  // namespace

Relay* Relay_Start(int iServerPort, int iDelayMs)
{
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return nullptr;
    Relay* r = new Relay();
    r->serverPort = iServerPort;
    r->halfUs = static_cast<LONGLONG>(iDelayMs) * 500;
    r->trips = 0;
    InitializeCriticalSection(&r->cs);
    r->listener = Listen(&r->port);
    if (r->listener == INVALID_SOCKET) {
        delete r;
        return nullptr;
    }
    r->hAccept = CreateThread(nullptr, 0, AcceptLoop, r, 0, nullptr);
    return r;
}

int Relay_Port(const Relay* r)
{
    return r ? r->port : 0;
}

long Relay_RoundTrips(const Relay* r)
{
    return r ? InterlockedCompareExchange(const_cast<volatile LONG*>(&r->trips), 0, 0) : 0;
}

void Relay_Stop(Relay* r)
{
    if (!r)
        return;
    closesocket(r->listener);
    WaitForSingleObject(r->hAccept, 5000);
    CloseHandle(r->hAccept);
    EnterCriticalSection(&r->cs);
    for (Link* l : r->links) {
        closesocket(l->client);
        closesocket(l->server);
        SetEvent(l->up.hReady);
        SetEvent(l->down.hReady);
    }
    std::vector<HANDLE> threads = r->threads;
    LeaveCriticalSection(&r->cs);
    for (HANDLE h : threads) {
        WaitForSingleObject(h, 5000);
        CloseHandle(h);
    }
    // The links stay allocated: a thread that did not end in time may
    // still read them.  The program ends soon after.
    WSACleanup();
}
