// Work off the window thread.  A job runs on a thread of its own and hands
// its result back to the thread that started it (the window thread), which
// takes it the next time it pumps messages: the window thread never waits
// for a job.  A newer job of the same owner and kind makes an older one
// stale, and an owner that goes drops its jobs: the result of a stale or
// dropped job is released without being taken.  Windows and dialogs use it
// for loads that may wait on the server (a dialog's values, the follow-ups
// of a listing) and for searches that may take long (the estate box).
#pragma once
#include "common/platform.h"

struct ZT_JOB {
    const void* owner;              // whose result it is (a window's or dialog's state)
    int kind;                       // a newer job of the owner of the same kind makes this one stale
    void (*pfnWork)(ZT_JOB* j);     // worker thread: the work; its result stays in the job
    void (*pfnTake)(ZT_JOB* j);     // starting thread: takes the result (never for a stale job)
    void (*pfnFree)(ZT_JOB* j);     // releases the job and what its result still holds: after
                                    // pfnTake, or instead of it; it must not touch the owner
    volatile LONG stale;            // set by the helper; a long work may stop early on it
    HWND hSink;                     // set by the helper: where the result is handed back
};

// A new job of type J (a ZT_JOB with its own fields after it) for the owner
// and kind, with its three procedures; the caller fills the rest and starts it.
template <class J>
J* Job_New(const void* owner, int kind, void (*pfnWork)(ZT_JOB*), void (*pfnTake)(ZT_JOB*), void (*pfnFree)(ZT_JOB*))
{
    J* j = new J();
    j->owner = owner;
    j->kind = kind;
    j->pfnWork = pfnWork;
    j->pfnTake = pfnTake;
    j->pfnFree = pfnFree;
    return j;
}

// Starts j (window thread): the older jobs of its owner and kind become
// stale.  A job that gets no thread runs here, and still hands its result
// back through the message queue.
void Job_Start(ZT_JOB* j);
// The owner is going: every job of it becomes stale.
void Job_Drop(const void* owner);
// Whether a job of the owner has not yet handed its result back.
BOOL Job_Pending(const void* owner);
// How many jobs of any owner have not yet handed their results back (a
// benchmark waits for the program to be quiet).
int Job_Count();
// Window thread: waits until every job of the owner has handed its result
// back (taken or released), answering messages sent to this thread
// meanwhile (tests, and lists that must be complete before they are read).
void Job_Settle(const void* owner);
