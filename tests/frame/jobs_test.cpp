// Work off the window thread: a job's result comes back to the thread that
// started it, and the result of a stale or dropped job is released unseen.
// With it, the calendar every window and filter reads dates by.
#include "tests/frame/shell_fixture.h"
#include "app/shell/jobs.h"
#include "common/date.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Probe {
    std::vector<std::string> taken;     // in the order they were taken
    int freed = 0;
    DWORD takeThread = 0;
};

struct TestJob : ZT_JOB {
    Probe* probe;
    std::string name;
    DWORD sleepMs;
    DWORD workThread;
};

TestJob* NewJob(Probe* probe, const void* owner, int kind, const char* name, DWORD sleepMs)
{
    TestJob* j = new TestJob();
    j->owner = owner;
    j->kind = kind;
    j->probe = probe;
    j->name = name;
    j->sleepMs = sleepMs;
    j->pfnWork = [](ZT_JOB* job) {
        TestJob* t = static_cast<TestJob*>(job);
        Sleep(t->sleepMs);
        t->workThread = GetCurrentThreadId();
    };
    j->pfnTake = [](ZT_JOB* job) {
        TestJob* t = static_cast<TestJob*>(job);
        t->probe->taken.push_back(t->name + (t->workThread != GetCurrentThreadId() ? "" : " (worked here)"));
        t->probe->takeThread = GetCurrentThreadId();
    };
    j->pfnFree = [](ZT_JOB* job) {
        TestJob* t = static_cast<TestJob*>(job);
        t->probe->freed++;
        delete t;
    };
    return j;
}

TEST(Jobs, ANewerJobMakesTheOlderOfItsKindStaleAndResultsComeBackToTheStartingThread)
{
    Shell_Setup();
    Probe probe;
    int owner = 0, other = 0;
    Job_Start(NewJob(&probe, &owner, 1, "slow", 300));
    Job_Start(NewJob(&probe, &owner, 1, "newer", 0));
    Job_Start(NewJob(&probe, &owner, 2, "other kind", 100));
    Job_Start(NewJob(&probe, &other, 1, "other owner", 0));
    EXPECT_TRUE(Job_Pending(&owner));
    // Nothing comes back while this thread does not pump messages.
    Sleep(400);
    EXPECT_TRUE(probe.taken.empty());
    Job_Settle(&owner);
    Job_Settle(&other);
    EXPECT_FALSE(Job_Pending(&owner));
    std::vector<std::string> taken = probe.taken;
    std::sort(taken.begin(), taken.end());
    EXPECT_EQ(taken, (std::vector<std::string>{"newer", "other kind", "other owner"}));
    EXPECT_EQ(probe.freed, 4);
    EXPECT_EQ(probe.takeThread, GetCurrentThreadId());
}

TEST(Jobs, AnOwnerThatGoesDropsItsJobsWhoseResultsAreReleasedUnseen)
{
    Shell_Setup();
    Probe probe;
    int owner = 0;
    Job_Start(NewJob(&probe, &owner, 1, "one", 150));
    Job_Start(NewJob(&probe, &owner, 2, "two", 50));
    Job_Drop(&owner);
    Job_Settle(&owner);
    EXPECT_TRUE(probe.taken.empty());
    EXPECT_EQ(probe.freed, 2);
    // A job started afterwards for the same owner is taken again.
    Job_Start(NewJob(&probe, &owner, 1, "three", 0));
    Job_Settle(&owner);
    EXPECT_EQ(probe.taken, std::vector<std::string>{"three"});
}

TEST(Calendar, StrictAndLenientDaysTodayAndDayNumbers)
{
    for (const char* day : {"2024-02-29", "2000-02-29", "1000-01-01", "2026-12-31"})
        EXPECT_TRUE(Date_IsText(day)) << day;
    for (const char* bad : {"2023-02-29", "1900-02-29", "2026-13-01", "2026-1-5", "0999-01-01", "2026-12-09 ",
                            "2026-12-0x", ""})
        EXPECT_FALSE(Date_IsText(bad)) << bad;
    int y = 0, m = 0, d = 0;
    EXPECT_TRUE(Date_Parse("2026-1-5", &y, &m, &d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20260105);
    for (const char* bad : {"2026-02-30", "2026-12-09 or 1", "20261209", "2026-12-09'", "-2026-1-1", ""})
        EXPECT_FALSE(Date_Parse(bad, &y, &m, &d)) << bad;

    EXPECT_EQ(Date_DayNumber(1970, 1, 1), 0);
    EXPECT_EQ(Date_DayNumber(2025, 3, 1) - Date_DayNumber(2025, 2, 28), 1);
    EXPECT_EQ(Date_DayNumber(2024, 3, 1) - Date_DayNumber(2024, 2, 28), 2);
    long day = 0;
    EXPECT_TRUE(Date_DayNumberOf("2026-12-09 08:30:00", &day));
    EXPECT_EQ(day, Date_DayNumber(2026, 12, 9));
    EXPECT_FALSE(Date_DayNumberOf("", &day));
    EXPECT_TRUE(Date_DayNumberOf("2024-02-29", &day));
    EXPECT_EQ(day, Date_DayNumber(2024, 2, 29));
    EXPECT_TRUE(Date_DayNumberOf("2026-1-5", &day));     // typed short forms still read
    EXPECT_EQ(day, Date_DayNumber(2026, 1, 5));
    EXPECT_FALSE(Date_DayNumberOf("20xx-01-05", &day));

    char today[16];
    Date_Today(today, sizeof(today));
    EXPECT_TRUE(Date_IsText(today));
    EXPECT_TRUE(Date_DayNumberOf(today, &day));
    EXPECT_EQ(day, Date_TodayNumber());
}

}  // namespace
