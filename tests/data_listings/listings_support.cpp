#include "tests/data_listings/listings_support.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

void Listings_Reset()
{
    static bool opened = false;
    if (!opened) {
        ASSERT_NE(nullptr, TestDb_Open("kelmora_t_listings"));
        opened = true;
    }
    TestDb_Exec("truncate table t_house; truncate table t_client; truncate table t_follow;"
                "truncate table t_remind; truncate table t_reminddated; truncate table t_log;"
                "truncate table t_recyle; truncate table t_clienttel");
    TestBoxes_Reset();
}

static std::string LibraryThread()
{
    // The library's connection is the one logged in as the program account.
    return TestDb_Scalar("select group_concat(id) from information_schema.processlist where user = 'kelmora'");
}

void SqlLog_Start()
{
    TestDb_Exec("set global log_output = 'TABLE'; set global general_log = 1; truncate table mysql.general_log");
}

std::vector<std::string> SqlLog_Find(const std::string& prefix)
{
    std::string threads = LibraryThread();
    std::vector<std::string> out;
    if (threads.empty() || threads == "<NULL>")
        return out;
    auto rows = TestDb_Query("select argument from mysql.general_log where command_type = 'Query' and thread_id in (" +
                             threads + ") order by event_time");
    for (auto& r : rows) {
        // The log shows bytes it cannot convert as "\xHH": give them back.
        std::string q;
        const std::string& a = r[0];
        for (size_t i = 0; i < a.size(); ++i) {
            if (a[i] == '\\' && i + 3 < a.size() && a[i + 1] == 'x' && isxdigit((unsigned char)a[i + 2]) &&
                isxdigit((unsigned char)a[i + 3])) {
                q += (char)strtol(a.substr(i + 2, 2).c_str(), nullptr, 16);
                i += 3;
            } else {
                q += a[i];
            }
        }
        if (q.compare(0, prefix.size(), prefix) == 0)
            out.push_back(q);
    }
    return out;
}

void SqlLog_Stop()
{
    TestDb_Exec("set global general_log = 0");
}

void FillHostile(char* field, size_t cb)
{
    std::string h = HostileText();
    size_t n = h.size() < cb - 1 ? h.size() : cb - 1;
    // Never end on the lead byte of a double-byte character.
    size_t i = 0;
    while (i < n) {
        unsigned char c = (unsigned char)h[i];
        size_t w = (c >= 0x81 && c <= 0xFE) ? 2 : 1;
        if (i + w > n)
            break;
        i += w;
    }
    memcpy(field, h.data(), i);
    field[i] = '\0';
}

tagHOUSE NewHouse(int iEst, const char* pszBuild, const char* pszRoom)
{
    tagHOUSE h;
    memset(&h, 0, sizeof h);
    h.iEst = iEst;
    strcpy(h.szBuildNO, pszBuild);
    strcpy(h.szHouseNO, pszRoom);
    strcpy(h.szTrade, "出售");
    strcpy(h.dDelegate, ServerDay(0).c_str());
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
    strcpy(h.szHouseStruct, "平层");
    return h;
}

tagCLIENT NewClient(const char* pszCliTel, const char* pszLinkTel)
{
    tagCLIENT c;
    memset(&c, 0, sizeof c);
    strcpy(c.szTrade, "求购");
    strcpy(c.szCliMan, "王芳");
    snprintf(c.szCliTel, sizeof c.szCliTel, "%s", pszCliTel);
    snprintf(c.szLinkTel, sizeof c.szLinkTel, "%s", pszLinkTel);
    c.iMinBuy = 100;
    c.iMaxBuy = 200;
    c.iEmp = 1;
    c.iBr = 1;
    return c;
}

tagFOLLOW NewFollow(int iHou, int iCli, const char* content)
{
    tagFOLLOW f;
    memset(&f, 0, sizeof f);
    f.iHou = iHou;
    f.iCli = iCli;
    f.iEmp = 1;
    f.iBr = 1;
    strcpy(f.szWay, "电话");
    snprintf(f.szContent, sizeof f.szContent, "%s", content);
    return f;
}

size_t ErrLogCount()
{
    std::string all = TestReadFile("errlog.log");
    size_t n = 0;
    for (size_t p = all.find("\r\n"); p != std::string::npos; p = all.find("\r\n", p + 2))
        ++n;
    return n;
}

std::string ServerDay(int iDays)
{
    return TestDb_Scalar("select date_add(curdate(), interval " + std::to_string(iDays) + " day)");
}

void FillToBrim(const BrimText* texts, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        memset(texts[i].field, 'A' + (int)i, texts[i].cb);
}

void ExpectBrimRow(const char* table, int key, const BrimText* texts, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        EXPECT_EQ(std::string(texts[i].cb, (char)('A' + i)),
                  TestDb_Scalar(std::string("select ") + texts[i].column + " from " + table + " where iOrdinal = " +
                                std::to_string(key)))
            << texts[i].column;
}
