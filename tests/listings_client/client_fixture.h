// The client window and dialog tests: the demo data set, the shell as
// start-up leaves it (logged in as the administrator, every right) and a
// main frame for each test.
#pragma once
#include "tests/support/window_driver.h"
#include "app/shell/startup.h"
#include "outside/popedom/ZTPopedom.h"

#include <cstring>
#include <string>

class ClientWindowTest : public DemoWindowTest {
protected:
    static void SetUpTestSuite() { OpenDemo("kelmora_client_win"); }
    // Live clients matching a condition.
    static long long Live(const std::string& where)
    {
        return TestDb_Count("t_client where bRecyle = 0" + (where.empty() ? "" : " and (" + where + ")"));
    }
    // The rights of the seeded salesman preset (own clients; telephones
    // viewable, but each look owes a follow-up) for the logged-in user.
    static void UseSalesmanRights()
    {
        char manager[512], salesman[512];
        memset(manager, 0, sizeof manager);
        memset(salesman, 0, sizeof salesman);
        ASSERT_EQ(1, FD_Sct_DefPD(manager, salesman, nullptr, nullptr, nullptr, nullptr, -1));
        tagPOPEDOM pd;
        memset(&pd, 0, sizeof pd);
        memcpy(pd.szValue, salesman, sizeof pd.szValue - 1);
        PD_Calc(&g_ZTMain, &pd);
    }
};
