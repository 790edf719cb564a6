// The recycle bin and operation log tests: the demo data set, the shell as
// start-up leaves it (logged in as the administrator, every right) and a
// main frame for each test, with helpers to open a module window, wait for
// its worker and pick rows as the keyboard does.
#pragma once
#include "tests/support/window_driver.h"

#include <functional>
#include <string>

class RecycleTest : public DemoWindowTest {
public:
    static void SetUpTestSuite() { OpenDemo("kelmora_recycle_win"); }
    // Every record a grid lists.
    static void EachRecord(HWND hGrid, const std::function<void(const void*)>& fn)
    {
        for (const void* rec : TestGrid_Rows(hGrid))
            fn(rec);
    }
};
