// Jobs: the registry of running jobs (under a lock of its own), one hidden
// message window per starting thread that receives their results, and the
// threads.
#include "app/shell/jobs.h"

#include <algorithm>
#include <vector>

#define WM_JOB_DONE (WM_APP + 90)

namespace {

const char kSinkClass[] = "ZT_JOB_SINK";

struct Registry {
    CRITICAL_SECTION cs;
    std::vector<ZT_JOB*> jobs;
    Registry() { InitializeCriticalSection(&cs); }
};

// Never destroyed: a job still running when the program ends (its window
// closed during a slow load) takes itself out of the registry after the
// static objects are gone.
Registry& Jobs()
{
    static Registry* r = new Registry;
    return *r;
}

struct Lock {
    Lock() { EnterCriticalSection(&Jobs().cs); }
    ~Lock() { LeaveCriticalSection(&Jobs().cs); }
};

// Takes a job out of the registry; TRUE when its result may still be taken.
BOOL Remove(ZT_JOB* j)
{
    Lock lock;
    std::vector<ZT_JOB*>& v = Jobs().jobs;
    v.erase(std::remove(v.begin(), v.end(), j), v.end());
    return !j->stale;
}

void Finish(ZT_JOB* j)
{
    if (Remove(j) && j->pfnTake)
        j->pfnTake(j);
    j->pfnFree(j);
}

LRESULT CALLBACK SinkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_JOB_DONE) {
        Finish(reinterpret_cast<ZT_JOB*>(lParam));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The calling thread's sink, made on first use.
HWND Sink()
{
    static const bool registered = [] {
        WNDCLASSA wc = {0, SinkProc, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, kSinkClass};
        return RegisterClassA(&wc) != 0;
    }();
    static thread_local HWND sink = nullptr;
    if (registered && (!sink || !IsWindow(sink)))
        sink = CreateWindowExA(0, kSinkClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                               nullptr);
    return sink;
}

// Hands the result back; when the starting thread is gone, the job is
// released here.
void HandBack(ZT_JOB* j)
{
    if (!j->hSink || !PostMessageA(j->hSink, WM_JOB_DONE, 0, reinterpret_cast<LPARAM>(j))) {
        Remove(j);
        j->pfnFree(j);
    }
}

DWORD WINAPI JobThread(LPVOID pv)
{
    ZT_JOB* j = static_cast<ZT_JOB*>(pv);
    j->pfnWork(j);
    HandBack(j);
    return 0;
}

}  // namespace

void Job_Start(ZT_JOB* j)
{
    j->stale = 0;
    j->hSink = Sink();
    {
        Lock lock;
        for (ZT_JOB* o : Jobs().jobs)
            if (o->owner == j->owner && o->kind == j->kind)
                InterlockedExchange(&o->stale, 1);
        Jobs().jobs.push_back(j);
    }
    HANDLE h = CreateThread(nullptr, 0, JobThread, j, 0, nullptr);
    if (h)
        CloseHandle(h);
    else
        JobThread(j);    // no thread to be had: the same work, here
}

void Job_Drop(const void* owner)
{
    Lock lock;
    for (ZT_JOB* o : Jobs().jobs)
        if (o->owner == owner)
            InterlockedExchange(&o->stale, 1);
}

BOOL Job_Pending(const void* owner)
{
    Lock lock;
    for (ZT_JOB* o : Jobs().jobs)
        if (o->owner == owner)
            return TRUE;
    return FALSE;
}

int Job_Count()
{
    Lock lock;
    return static_cast<int>(Jobs().jobs.size());
}

void Job_Settle(const void* owner)
{
    HWND sink = Sink();
    while (Job_Pending(owner)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        while (PeekMessageA(&m, sink, WM_JOB_DONE, WM_JOB_DONE, PM_REMOVE))
            DispatchMessageA(&m);
    }
}
