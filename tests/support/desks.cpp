#include "tests/support/desks.h"
#include "tests/support/test_support.h"
#include "data/ZTData.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

namespace {

const char kConflict[] = "其他用户同时修改了同一数据,这次操作没有保存,请刷新后再试.";

std::string GateName(const char* what, int round, int desk = 0)
{
    return std::string("kelmora-desks-") + what + "-" + std::to_string(round) + "-" + std::to_string(desk);
}

std::string DeskFile(int id)
{
    return "desk" + std::to_string(id) + ".txt";
}

// A live house for sale of an estate with building and room numbers.
tagHOUSE DeskHouse(int iEst, const std::string& build, const std::string& room)
{
    tagHOUSE h;
    memset(&h, 0, sizeof h);
    h.iEst = iEst;
    snprintf(h.szBuildNO, sizeof h.szBuildNO, "%s", build.c_str());
    snprintf(h.szHouseNO, sizeof h.szHouseNO, "%s", room.c_str());
    strcpy(h.szTrade, "出售");
    strcpy(h.szRoomType, "3/2/1");
    h.iBed = 3;
    h.iLiving = 2;
    h.iBath = 1;
    strcpy(h.szFloor, "5");
    h.iFloorT = 18;
    h.dbBuildArea = 98.5;
    h.iSales = 320;
    h.iEmp = 1;
    h.iBr = 1;
    strcpy(h.szHouseType, "住宅");
    return h;
}

// One desk's report of one round: what the library returned and the box it
// showed ("" for none).
struct DeskRound {
    int result = -1;
    std::string box;
};

std::vector<DeskRound> ReadDesk(int id)
{
    std::vector<DeskRound> rounds(DESK_ROUNDS);
    std::istringstream in(TestReadFile(DeskFile(id).c_str()));
    for (std::string line; std::getline(in, line);) {
        int round = -1, result = -1, used = 0;
        if (sscanf(line.c_str(), "%d %d %n", &round, &result, &used) >= 2 && round >= 0 && round < DESK_ROUNDS) {
            rounds[round].result = result;
            rounds[round].box = line.substr((size_t)used);
        }
    }
    return rounds;
}

// Runs `desks` desks doing `task` for every round: each round opens the
// gate once every desk says it is ready (its form loaded).
void RunDesks(const DeskPlace& p, int desks, const char* task, int house)
{
    std::vector<HANDLE> go, ready, procs;
    for (int r = 0; r < DESK_ROUNDS; ++r) {
        go.push_back(CreateEventA(nullptr, TRUE, FALSE, GateName("go", r).c_str()));
        for (int d = 1; d <= desks; ++d)
            ready.push_back(CreateEventA(nullptr, TRUE, FALSE, GateName("ready", r, d).c_str()));
    }
    for (int d = 1; d <= desks; ++d) {
        DeleteFileA(DeskFile(d).c_str());
        SetEnvironmentVariableA("ZT_DESK_ID", std::to_string(d).c_str());
        SetEnvironmentVariableA("ZT_DESK_TASK", task);
        SetEnvironmentVariableA("ZT_DESK_HOUSE", std::to_string(house).c_str());
        SetEnvironmentVariableA("ZT_DESK_TAG", p.tag.c_str());
        if (p.before)
            p.before(d);
        // What the desk prints goes to deskN.out, for a failure's story.
        HANDLE h = TestSelf_Start(p.child.c_str(), "desk" + std::to_string(d) + ".out");
        ASSERT_NE(nullptr, h) << "desk " << d << " could not be started";
        procs.push_back(h);
    }
    for (int r = 0; r < DESK_ROUNDS; ++r) {
        DWORD all = WaitForMultipleObjects((DWORD)desks, &ready[(size_t)(r * desks)], TRUE, 60000);
        EXPECT_EQ(WAIT_OBJECT_0, all) << "round " << r << ": a desk never got ready (see deskN.out)";
        if (all != WAIT_OBJECT_0)
            break;
        SetEvent(go[(size_t)r]);
    }
    for (HANDLE h : go)
        SetEvent(h);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects((DWORD)procs.size(), procs.data(), TRUE, 120000));
    for (HANDLE h : procs)
        CloseHandle(h);
    for (HANDLE h : go)
        CloseHandle(h);
    for (HANDLE h : ready)
        CloseHandle(h);
}

long long Count(const DeskPlace& p, const std::string& fromWhere)
{
    return atoll(p.scalar("select count(*) from " + fromWhere).c_str());
}

std::string Quoted(const std::string& s)
{
    return "'" + s + "'";     // tags are letters and digits
}

// Three desks doing `task` at once, every round: exactly one stored, the
// others told `refusal`.  The stored count.
int OneOfThreeEachRound(const DeskPlace& p, const char* task, const std::string& refusal)
{
    RunDesks(p, 3, task, 0);
    std::vector<DeskRound> d[3] = {ReadDesk(1), ReadDesk(2), ReadDesk(3)};
    int stored = 0, told = 0;
    for (int r = 0; r < DESK_ROUNDS; ++r) {
        int ok = 0;
        for (auto& desk : d) {
            if (desk[(size_t)r].result == 1)
                ++ok;
            else if (desk[(size_t)r].box == refusal)
                ++told;
            else
                ADD_FAILURE() << "round " << r << ": " << desk[(size_t)r].result << " " << desk[(size_t)r].box;
        }
        stored += ok;
        EXPECT_EQ(1, ok) << task << " round " << r;
    }
    printf("%s %s added by three desks at once, %d rounds: %d stored, %d told, %d neither\n", p.label.c_str(), task,
           (int)DESK_ROUNDS, stored, told, 3 * DESK_ROUNDS - stored - told);
    return stored;
}

} // namespace

void Desks_OneHouseTwoForms(const DeskPlace& p)
{
    tagHOUSE h = DeskHouse(8, p.tag, "808");
    ASSERT_EQ(1, FD_Ist_Hou(1, &h));
    std::string key = std::to_string(h.iOrdinal);
    RunDesks(p, 2, "save", h.iOrdinal);

    std::vector<DeskRound> d1 = ReadDesk(1), d2 = ReadDesk(2);
    int saved = 0, told = 0;
    for (int r = 0; r < DESK_ROUNDS; ++r) {
        const DeskRound* rounds[2] = {&d1[(size_t)r], &d2[(size_t)r]};
        for (const DeskRound* x : rounds) {
            if (x->result == 1)
                ++saved;
            else if (x->box.find(kConflict) != std::string::npos)
                ++told;
            else
                ADD_FAILURE() << "round " << r << ": a save neither stored nor told: " << x->result << " " << x->box;
        }
        // Both forms were loaded before either saved: one save only.
        EXPECT_EQ(1, (d1[(size_t)r].result == 1) + (d2[(size_t)r].result == 1)) << "round " << r;
    }
    // Each desk writes its own remark: what the last stored save wrote is there.
    std::string remark = p.scalar("select szRemark from t_house where iOrdinal = " + key);
    int last = -1;
    for (int r = DESK_ROUNDS - 1; r >= 0 && last < 0; --r)
        for (int d = 1; d <= 2; ++d)
            if ((d == 1 ? d1 : d2)[(size_t)r].result == 1)
                last = d;
    EXPECT_EQ("desk" + std::to_string(last) + "-19", remark);
    // Every stored save is logged, and the version counts them.
    EXPECT_EQ(saved, Count(p, "t_log where iObjType = 0 and iAct = 2 and iObjID = " + key));
    EXPECT_EQ(std::to_string(saved), p.scalar("select iVersion from t_house where iOrdinal = " + key));
    int lost = 2 * DESK_ROUNDS - saved - told;
    printf("%s one house saved by two desks at once, %d rounds: %d saves stored, %d told, %d lost\n",
           p.label.c_str(), (int)DESK_ROUNDS, saved, told, lost);
    EXPECT_EQ(DESK_ROUNDS, saved);
    EXPECT_EQ(0, lost);
}

void Desks_OneRoomThreeDesks(const DeskPlace& p)
{
    EXPECT_EQ(DESK_ROUNDS, OneOfThreeEachRound(p, "room", "重复 "));
    std::string where = "t_house where iEst = 9 and szBuildNO = " + Quoted(p.tag);
    for (int r = 0; r < DESK_ROUNDS; ++r)
        EXPECT_EQ(1, Count(p, where + " and szHouseNO = 'R" + std::to_string(r) + "'")) << "round " << r;
    EXPECT_EQ(DESK_ROUNDS, Count(p, where));
}

void Desks_OneTelephoneThreeDesks(const DeskPlace& p)
{
    EXPECT_EQ(DESK_ROUNDS, OneOfThreeEachRound(p, "phone", "客源电话, 联系电话 不允许重复 "));
    EXPECT_EQ(DESK_ROUNDS, Count(p, "t_client where szRemark = " + Quoted(p.tag)));
}

// Desk 1 deletes an employee while desk 2 gives him a new house: never
// both, so no live house keeps a deleted agent.
void Desks_EmployeeDeletedWhileGivenAHouse(const DeskPlace& p)
{
    std::string rows;
    for (int r = 0; r < DESK_ROUNDS; ++r)
        rows += std::string(r ? "," : "") + "(" + std::to_string(200 + r) + ", 'agent" + std::to_string(r) + "', 1)";
    p.exec("delete from t_employee where iOrdinal >= 200 and iOrdinal < 300;"
           " insert into t_employee (iOrdinal, szEmp, iBr) values " + rows);
    RunDesks(p, 2, "agent", 0);
    std::vector<DeskRound> del = ReadDesk(1), add = ReadDesk(2);
    int deleted = 0, housed = 0;
    for (int r = 0; r < DESK_ROUNDS; ++r) {
        deleted += del[(size_t)r].result == 1;
        housed += add[(size_t)r].result == 1;
        EXPECT_NE(2, (del[(size_t)r].result == 1) + (add[(size_t)r].result == 1))
            << "round " << r << ": the employee was deleted and given a house";
    }
    long long orphans = Count(p, "t_house h join t_employee e on e.iOrdinal = h.iEmp"
                                 " where h.bRecyle = 0 and e.bRecyle = 1");
    printf("%s an employee deleted while given a house, %d rounds: %d deleted, %d houses given, %lld live "
           "houses of deleted employees\n",
           p.label.c_str(), (int)DESK_ROUNDS, deleted, housed, orphans);
    EXPECT_EQ(0, orphans);
    EXPECT_EQ(DESK_ROUNDS, deleted + housed);
    p.exec("delete from t_employee where iOrdinal >= 200 and iOrdinal < 300");
}

// For each round: its form loaded (a save) or its record made (an add),
// then ready, then at the gate's opening the change.
void Desks_Child()
{
    int id = atoi(TestEnv("ZT_DESK_ID").c_str());
    std::string task = TestEnv("ZT_DESK_TASK");
    std::string tag = TestEnv("ZT_DESK_TAG");
    std::string where = "iOrdinal = " + TestEnv("ZT_DESK_HOUSE");
    std::ostringstream out;
    for (int r = 0; r < DESK_ROUNDS; ++r) {
        HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, GateName("go", r).c_str());
        HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, GateName("ready", r, id).c_str());
        ASSERT_TRUE(go && ready);
        TestBoxes_Reset();
        int result = 0;
        if (task == "save") {
            tagHOUSE* list = nullptr;
            int n = 0;
            ASSERT_NE(nullptr, FD_Sct_Hou(0, &list, &n, where.c_str(), 0, nullptr, nullptr));
            ASSERT_EQ(1, n);
            tagHOUSE loaded = list[0], edited = list[0];
            Mem_Free_Hou(list);
            snprintf(edited.szRemark, sizeof edited.szRemark, "desk%d-%d", id, r);
            SetEvent(ready);
            WaitForSingleObject(go, 60000);
            result = FD_Upd_Hou(1, &loaded, &edited);
        } else if (task == "room") {
            tagHOUSE h = DeskHouse(9, tag, "R" + std::to_string(r));
            SetEvent(ready);
            WaitForSingleObject(go, 60000);
            result = FD_Ist_Hou(1, &h);
        } else if (task == "agent") {
            tagHOUSE h = DeskHouse(10, tag, "A" + std::to_string(r));
            h.iEmp = 200 + r;
            tagEMPLOYEE e;
            memset(&e, 0, sizeof e);
            e.iOrdinal = 200 + r;
            SetEvent(ready);
            WaitForSingleObject(go, 60000);
            result = id == 1 ? FD_Del_Emp(1, &e) : FD_Ist_Hou(1, &h);
        } else {
            tagCLIENT c;
            memset(&c, 0, sizeof c);
            strcpy(c.szTrade, "求购");
            strcpy(c.szCliMan, "王芳");
            snprintf(c.szCliTel, sizeof c.szCliTel, "T%s-%d", tag.c_str(), r);
            snprintf(c.szRemark, sizeof c.szRemark, "%s", tag.c_str());
            c.iMinBuy = 100;
            c.iMaxBuy = 200;
            c.iEmp = 1;
            c.iBr = 1;
            SetEvent(ready);
            WaitForSingleObject(go, 60000);
            result = FD_Ist_Cli(1, &c);
        }
        std::vector<TestBox> boxes = TestBoxes_Taken();
        std::string box = boxes.empty() ? "" : boxes[0].text;
        for (char& c : box)
            if (c == '\n')
                c = ' ';
        out << r << " " << result << " " << box << "\n";
        CloseHandle(go);
        CloseHandle(ready);
    }
    std::string text = out.str();
    HANDLE f = CreateFileA(DeskFile(id).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    DWORD written = 0;
    WriteFile(f, text.data(), (DWORD)text.size(), &written, nullptr);
    CloseHandle(f);
}
