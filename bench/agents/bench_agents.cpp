// A load of many agents: K agent processes, each a program of its own using
// the data library as Kelmora does, work through a day's mix (list houses
// with the common filters, open a house, save it, write follow-ups, add
// clients, check reminders) as fast as they can for a fixed time, first
// against one server, then against a three-node Galera cluster
// (tools/cluster) with the agents spread over its nodes.  Printed: the
// operations per second, the median and 99th-percentile time of each kind of
// operation, the errors, and the conflicts the library ran again or reported.
//   ZT_AGENTS (8) agents, ZT_AGENTS_SECONDS (30) each run,
//   ZT_AGENTS_HOUSES (10000) houses in the database,
//   ZT_AGENTS_CLUSTER=0 leaves the cluster out.
// Started with "--agent N EMP BR FILE" it is one agent (the settings in
// ZT_AGENT_* variables).
#include "data/ZTData.h"
#include "db/dbtool.h"
#include "cipher/cipher.h"
#include "tests/support/test_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// ---- The day's mix ---------------------------------------------------------------------

enum Kind { LIST, OPEN, SAVE, FOLLOW, CLIENT, REMIND, KINDS };
const char* const kKindName[KINDS] = {"list houses", "open a house", "save a house", "write a follow-up",
                                      "add a client", "check reminders"};
// How often each comes in an agent's day, out of 100.
const int kWeight[KINDS] = {25, 25, 10, 20, 5, 15};

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart / (double)f.QuadPart;
}

struct Rng {
    unsigned long long s;
    unsigned Next()
    {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return (unsigned)(s >> 11);
    }
    int Below(int n) { return (int)(Next() % (unsigned)n); }
};

// Boxes an agent would have been shown (the seam answers them at once).
std::vector<std::string> g_boxes;
int RecordBox(HWND, const char* text, const char* caption, UINT flags)
{
    g_boxes.push_back(std::string(caption) + "|" + text);
    UINT kind = flags & MB_TYPEMASK;
    return kind == MB_YESNO || kind == MB_YESNOCANCEL ? IDNO : IDOK;
}

// The bedroom, living-room and bathroom counts the edit dialog writes.
void RoomCounts(tagHOUSE& h)
{
    int b = 0, l = 0, t = 0;
    sscanf(h.szRoomType, "%d/%d/%d", &b, &l, &t);
    h.iBed = b;
    h.iLiving = l;
    h.iBath = t;
}

struct Agent {
    int id, emp, br;
    Rng rng;
    std::vector<tagHOUSE> houses;   // the newest 5000, as the list first shows them
    std::vector<int> estates;
    int serial = 0;

    std::string Filter()
    {
        char buf[200];
        switch (rng.Below(6)) {
        case 0: return "szTrade = '出售' and iSales >= 100 and iSales <= 300";
        case 1: return "szTrade = '出租' and iRent >= 2000 and iRent <= 5000";
        case 2: snprintf(buf, sizeof buf, "iBr = %d", br); return buf;
        case 3: snprintf(buf, sizeof buf, "iEmp = %d and szTrade = '出售'", emp); return buf;
        case 4: return "szTrade = '出售' and iBed >= 2 and iBed <= 3 and dbBuildArea >= 80 and dbBuildArea <= 120";
        default:
            snprintf(buf, sizeof buf, "iEst = %d", estates.empty() ? 0 : estates[(size_t)rng.Below((int)estates.size())]);
            return buf;
        }
    }

    tagHOUSE& AnyHouse() { return houses[(size_t)rng.Below((int)houses.size())]; }

    // One operation of the kind; true when the library did it.
    bool Do(Kind k)
    {
        switch (k) {
        case LIST: {
            tagHOUSE* p = nullptr;
            int n = 0;
            std::string where = Filter();
            bool ok = FD_Sct_Hou(emp, &p, &n, where.c_str(), 0, nullptr, nullptr) != nullptr;
            Mem_Free_Hou(p);
            return ok;
        }
        case OPEN: {
            // The edit dialog: the house read again and its follow-ups.
            tagHOUSE& h = AnyHouse();
            char where[40];
            snprintf(where, sizeof where, "iOrdinal = %d", h.iOrdinal);
            tagHOUSE* p = nullptr;
            int n = 0;
            bool ok = FD_Sct_Hou(emp, &p, &n, where, 0, nullptr, nullptr) != nullptr;
            if (ok && n == 1)
                h = p[0];
            Mem_Free_Hou(p);
            tagFOLLOW* f = nullptr;
            n = 0;
            ok = FD_Sct_Follow(&f, h.iOrdinal, 0, &n, nullptr) != nullptr && ok;
            Mem_Free_Follow(f);
            return ok;
        }
        case SAVE: {
            tagHOUSE& h = AnyHouse();
            RoomCounts(h);
            tagHOUSE edited = h;
            edited.iSales = h.iSales + (rng.Below(2) ? 1 : -1);
            snprintf(edited.szRemark, sizeof edited.szRemark, "代理%d调价%d", id, ++serial);
            if (!FD_Upd_Hou(emp, &h, &edited))
                return false;
            h = edited;
            return true;
        }
        case FOLLOW: {
            tagFOLLOW f = {};
            f.iHou = AnyHouse().iOrdinal;
            f.iEmp = emp;
            f.iBr = br;
            strcpy(f.szWay, rng.Below(2) ? "电话" : "上门");
            snprintf(f.szContent, sizeof f.szContent, "代理%d回访%d", id, ++serial);
            if (rng.Below(4) == 0) {
                // With a reminder (for today: the reminder checks find it).
                tagREMIND r = {};
                r.iHou = f.iHou;
                r.iEmp = emp;
                r.iBr = br;
                SYSTEMTIME t;
                GetLocalTime(&t);
                snprintf(r.dRemind, sizeof r.dRemind, "%04d-%02d-%02d", t.wYear, t.wMonth, t.wDay);
                snprintf(r.szContent, sizeof r.szContent, "再联系%d", serial);
                return FD_Ist_FollowRemind(emp, &f, &r) != 0;
            }
            return FD_Ist_Follow(emp, &f) != 0;
        }
        case CLIENT: {
            tagCLIENT c = {};
            c.iEmp = emp;
            c.iBr = br;
            strcpy(c.szTrade, rng.Below(2) ? "求购" : "求租");
            snprintf(c.szCliMan, sizeof c.szCliMan, "客户%d-%d", id, ++serial);
            snprintf(c.szCliTel, sizeof c.szCliTel, "13%d%08d%u", id, serial, (unsigned)GetTickCount());
            c.iMinBuy = 100;
            c.iMaxBuy = 300;
            c.iMinArea = 60;
            c.iMaxArea = 120;
            return FD_Ist_Cli(emp, &c) != 0;
        }
        default: {
            tagREMIND* r = nullptr;
            int n = -1;
            r = FD_SCT_Remind(&r, &n, emp, br);
            Mem_Free_Remind(r);
            return n >= 0;
        }
        }
    }
};

int RunAgent(int id, int emp, int br, const char* file)
{
    ZTData_SetMessageBoxHook(RecordBox);
    static tagZT_SQL_MATION m;
    memset(&m, 0, sizeof m);
    m.pszAppDir = ".";
    snprintf(m.szUser, sizeof m.szUser, "%s", TestEnv("ZT_AGENT_USER").c_str());
    snprintf(m.szPwd, sizeof m.szPwd, "%s", TestEnv("ZT_AGENT_PASSWORD").c_str());
    CipherPwd(".", m.szPwd, CIPHER_ENCODE);
    strcpy(m.szHost, "127.0.0.1");
    snprintf(m.szServers, sizeof m.szServers, "%s", TestEnv("ZT_AGENT_SERVERS").c_str());
    snprintf(m.szDatabase, sizeof m.szDatabase, "%s", TestEnv("ZT_AGENT_DB").c_str());
    strcpy(m.szCharset, "gbk");
    m.iConnectTimeout = 5;
    m.iReadTimeout = 60;
    if (!MYSQL_Init(&m)) {
        fprintf(stderr, "agent %d: no connection (%u)\n", id, MYSQL_ErrorNumber());
        return 1;
    }
    Agent a;
    a.id = id;
    a.emp = emp;
    a.br = br;
    a.rng.s = 0x9E3779B97F4A7C15ull * (unsigned long long)(id + 1);
    tagHOUSE* p = nullptr;
    int n = 0;
    if (!FD_Sct_Hou(emp, &p, &n, "", 0, nullptr, nullptr) || n == 0) {
        fprintf(stderr, "agent %d: no houses\n", id);
        return 1;
    }
    a.houses.assign(p, p + n);
    Mem_Free_Hou(p);
    for (const tagHOUSE& h : a.houses)
        if (std::find(a.estates.begin(), a.estates.end(), h.iEst) == a.estates.end())
            a.estates.push_back(h.iEst);

    std::ostringstream out;
    double until = Now() + atof(TestEnv("ZT_AGENT_SECONDS", "30").c_str());
    while (Now() < until) {
        int pick = a.rng.Below(100), k = 0;
        while (pick >= kWeight[k])
            pick -= kWeight[k++];
        double t0 = Now();
        bool ok = a.Do((Kind)k);
        out << k << " " << (Now() - t0) * 1e3 << " " << (ok ? 1 : 0) << "\n";
    }
    long retried = 0, reported = 0;
    ZTData_ConflictCounts(&retried, &reported);
    out << "C " << retried << " " << reported << "\n";
    for (const std::string& b : g_boxes) {
        std::string one = b;
        std::replace(one.begin(), one.end(), '\n', ' ');
        out << "B " << one << "\n";
    }
    MYSQL_Terminal();
    std::string text = out.str();
    HANDLE h = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(h, text.data(), (DWORD)text.size(), &written, nullptr);
    CloseHandle(h);
    return 0;
}

// ---- The coordinator ----------------------------------------------------------------------

std::string Image()
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
#if defined(__WINE__)
    return std::string(exe) + ".so";
#else
    return exe;
#endif
}

std::string Trim(std::string s)
{
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' '))
        s.pop_back();
    return s;
}

std::string LoadAverage()
{
    std::string out;
    TestShell("cut -d' ' -f1-3 /proc/loadavg", &out);
    return Trim(out);
}

struct Target {
    std::string name;                 // what the run is against
    std::vector<std::string> servers; // one list per agent
    std::string db, user, password;
};

// Runs the K agents against a target and prints what they did.
bool RunAgents(const Target& t, const std::vector<std::pair<int, int>>& staff, int k, int seconds)
{
    SetEnvironmentVariableA("ZT_AGENT_DB", t.db.c_str());
    SetEnvironmentVariableA("ZT_AGENT_USER", t.user.c_str());
    SetEnvironmentVariableA("ZT_AGENT_PASSWORD", t.password.c_str());
    SetEnvironmentVariableA("ZT_AGENT_SECONDS", std::to_string(seconds).c_str());
    std::string before = LoadAverage();
    std::vector<HANDLE> procs;
    for (int i = 0; i < k; ++i) {
        const std::pair<int, int>& who = staff[(size_t)i % staff.size()];
        SetEnvironmentVariableA("ZT_AGENT_SERVERS", t.servers[(size_t)i % t.servers.size()].c_str());
        std::string file = "agent" + std::to_string(i) + ".txt";
        DeleteFileA(file.c_str());
        std::string cmd = "\"" + Image() + "\" --agent " + std::to_string(i) + " " + std::to_string(who.first) + " " +
                          std::to_string(who.second) + " " + file;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            printf("could not start agent %d\n", i);
            return false;
        }
        CloseHandle(pi.hThread);
        procs.push_back(pi.hProcess);
    }
    for (HANDLE h : procs) {
        WaitForSingleObject(h, (DWORD)(seconds + 300) * 1000);
        CloseHandle(h);
    }
    std::string after = LoadAverage();

    std::vector<double> ms[KINDS];
    long errors[KINDS] = {0}, retried = 0, reported = 0;
    std::map<std::string, int> boxes;
    int reports = 0;
    for (int i = 0; i < k; ++i) {
        std::istringstream in(TestReadFile(("agent" + std::to_string(i) + ".txt").c_str()));
        for (std::string line; std::getline(in, line);) {
            if (line.empty())
                continue;
            if (line[0] == 'C') {
                long r = 0, p = 0;
                sscanf(line.c_str() + 2, "%ld %ld", &r, &p);
                retried += r;
                reported += p;
                ++reports;
            } else if (line[0] == 'B') {
                ++boxes[line.substr(2)];
            } else {
                int kind = 0, ok = 0;
                double t = 0;
                if (sscanf(line.c_str(), "%d %lf %d", &kind, &t, &ok) == 3 && kind >= 0 && kind < KINDS) {
                    ms[kind].push_back(t);
                    if (!ok)
                        ++errors[kind];
                }
            }
        }
    }
    printf("\n%s: %d agents (%d reported back) for %d s; load average before %s, after %s\n", t.name.c_str(), k,
           reports, seconds, before.c_str(), after.c_str());
    printf("  %-20s %8s %8s %10s %10s %7s\n", "operation", "count", "per s", "median ms", "p99 ms", "errors");
    long all = 0, allErrors = 0;
    for (int kind = 0; kind < KINDS; ++kind) {
        std::vector<double>& v = ms[kind];
        std::sort(v.begin(), v.end());
        double med = v.empty() ? 0 : v[v.size() / 2];
        double p99 = v.empty() ? 0 : v[std::min(v.size() - 1, (size_t)std::ceil(v.size() * 0.99) - 1)];
        printf("  %-20s %8zu %8.1f %10.1f %10.1f %7ld\n", kKindName[kind], v.size(), v.size() / (double)seconds, med,
               p99, errors[kind]);
        all += (long)v.size();
        allErrors += errors[kind];
    }
    printf("  %-20s %8ld %8.1f %10s %10s %7ld\n", "all", all, all / (double)seconds, "", "", allErrors);
    printf("  conflicts run again %ld, reported %ld\n", retried, reported);
    for (const auto& b : boxes)
        printf("  box shown %d times: %s\n", b.second, b.first.c_str());
    return reports == k;
}

// The demo's staff (employee, branch), the administrator left out.
std::vector<std::pair<int, int>> Staff(MYSQL* c)
{
    std::vector<std::pair<int, int>> out;
    if (mysql_query(c, "select iOrdinal, iBr from t_employee where bRecyle = 0 and iOrdinal <> 1 order by iOrdinal") == 0) {
        MYSQL_RES* r = mysql_store_result(c);
        while (MYSQL_ROW row = r ? mysql_fetch_row(r) : nullptr)
            out.push_back({atoi(row[0]), atoi(row[1])});
        if (r)
            mysql_free_result(r);
    }
    if (out.empty())
        out.push_back({1, 1});
    return out;
}

int Coordinate()
{
    int k = atoi(TestEnv("ZT_AGENTS", "8").c_str());
    int seconds = atoi(TestEnv("ZT_AGENTS_SECONDS", "30").c_str());
    int nHouses = atoi(TestEnv("ZT_AGENTS_HOUSES", "10000").c_str());
    bool cluster = TestEnv("ZT_AGENTS_CLUSTER", "1") != "0";
    printf("a day's mix of %d agent processes, %d s a run, %d houses; mix:", k, seconds, nHouses);
    for (int i = 0; i < KINDS; ++i)
        printf(" %s %d%%%s", kKindName[i], kWeight[i], i + 1 < KINDS ? "," : "\n");

    // One server: the throwaway server of tools/bench.
    double t0 = Now();
    tagZT_SQL_MATION* s = TestDb_Open("kelmora_agents");
    if (!s)
        return 1;
    std::string err;
    if (!DbTool_DemoAtScale(TestDb_Conn(), nHouses, &err)) {
        printf("the data could not be made: %s\n", err.c_str());
        return 1;
    }
    std::vector<std::pair<int, int>> staff = Staff(TestDb_Conn());
    Target one;
    one.name = "one server";
    one.servers.push_back("127.0.0.1:" + TestEnv("ZT_TEST_DB_PORT", "3306"));
    one.db = s->szDatabase;
    one.user = s->szUser;
    char pwd[257];
    memcpy(pwd, s->szPwd, sizeof pwd);
    CipherPwd(".", pwd, CIPHER_DECODE);
    one.password = pwd;
    TestDb_Close();
    printf("(one server's data made in %.1f s)\n", Now() - t0);
    bool ok = RunAgents(one, staff, k, seconds);
    if (!cluster)
        return ok ? 0 : 1;

    // The cluster: three nodes, the agents spread over them.
    t0 = Now();
    std::string tool = TestEnv("ZT_ROOT", "../../..") + "/tools/cluster";
    std::string out;
    if (TestShell("timeout 300 '" + tool + "' start cluster 2>&1", &out) != 0) {
        printf("\nthe cluster did not start: %s\n", Trim(out).c_str());
        TestShell("'" + tool + "' stop cluster >/dev/null 2>&1");
        return ok ? 0 : 1;
    }
    std::string ports, password;
    TestShell("cat cluster/ports", &ports);
    TestShell("cat cluster/password", &password);
    int port[4] = {0, 0, 0, 0};
    std::istringstream in(ports);
    for (std::string line; std::getline(in, line);)
        for (int n = 1; n <= 3; ++n)
            if (line.rfind("sql" + std::to_string(n) + "=", 0) == 0)
                port[n] = atoi(line.c_str() + 5);
    Target three;
    three.name = "three-node cluster";
    three.db = "kelmora";
    three.user = "kelmora";
    three.password = Trim(password);
    for (int first = 1; first <= 3; ++first) {
        std::string list;
        for (int i = 0; i < 3; ++i)
            list += (i ? "," : "") + std::string("127.0.0.1:") + std::to_string(port[(first - 1 + i) % 3 + 1]);
        three.servers.push_back(list);
    }
    MYSQL* c = mysql_init(nullptr);
    mysql_options(c, MYSQL_SET_CHARSET_NAME, "gbk");
    bool made = mysql_real_connect(c, "127.0.0.1", "kelmora", three.password.c_str(), "kelmora", (unsigned)port[1],
                                   nullptr, CLIENT_MULTI_STATEMENTS) &&
                DbTool_DemoAtScale(c, nHouses, &err);
    std::vector<std::pair<int, int>> clusterStaff = Staff(c);
    mysql_close(c);
    if (made) {
        printf("(cluster started and its data made in %.1f s)\n", Now() - t0);
        ok = RunAgents(three, clusterStaff, k, seconds) && ok;
    } else {
        printf("\nthe cluster's data could not be made: %s\n", err.c_str());
        ok = false;
    }
    TestShell("'" + tool + "' stop cluster >/dev/null 2>&1");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 6 && strcmp(argv[1], "--agent") == 0)
        return RunAgent(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), argv[5]);
    setvbuf(stdout, nullptr, _IONBF, 0);
    return Coordinate();
}
