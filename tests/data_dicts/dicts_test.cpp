#include "tests/data_dicts/dicts_test.h"

#include <cstdlib>

void DictsTest::SetUp()
{
    ASSERT_NE(TestDb_Open("kelmora_t_dicts"), nullptr);
    TestBoxes_Reset();
}

void DictsTest::TearDown()
{
    TestDb_Close();
}

std::vector<std::string> BoxTexts()
{
    std::vector<std::string> out;
    for (const TestBox& b : TestBoxes_Taken())
        out.push_back(b.text + "|" + b.caption);
    return out;
}

void ExpectOneBox(const char* text, const char* caption, UINT flags)
{
    TestBoxes_ExpectOne(text, caption, flags, ~0u);
}

int InsertRow(const std::string& sql)
{
    TestDb_Exec(sql);
    return atoi(TestDb_Scalar("select last_insert_id()").c_str());
}

std::string Q(const std::string& text)
{
    std::string out(text.size() * 2 + 1, '\0');
    unsigned long n = mysql_real_escape_string(TestDb_Conn(), &out[0], text.data(), (unsigned long)text.size());
    out.resize(n);
    return "'" + out + "'";
}

int AddCity(const char* name)
{
    tagCITY c = {};
    Set(c.szUrban, name);
    EXPECT_EQ(FD_IST_CITY(1, &c), 1) << name;
    return c.iOrdinal;
}

int AddUrban(int iCity, const char* name, int iPriority)
{
    tagURBAN u = {};
    u.iParentIndex = iCity;
    u.iPriority = iPriority;
    Set(u.szUrban, name);
    EXPECT_EQ(FD_IST_URBAN(1, &u), 1) << name;
    return u.iOrdinal;
}

int AddDistrict(int iUrban, const char* name, int iPriority)
{
    tagDISTRICT d = {};
    d.iParentIndex = iUrban;
    d.iPriority = iPriority;
    Set(d.szDistrict, name);
    EXPECT_EQ(FD_IST_DISTRICT(1, &d), 1) << name;
    return d.iOrdinal;
}

int InsertEstate(int iUrban, const char* name, int bRecyle)
{
    return InsertRow("insert into t_estate (iUrban, szEstate, bRecyle) values (" + std::to_string(iUrban) + ", " + Q(name) +
                     ", " + std::to_string(bRecyle) + ")");
}

int InsertHouse(int iEst, const char* buildNo, const char* houseNo, const char* trade, int bRecyle)
{
    return InsertRow("insert into t_house (iEst, szBuildNO, szHouseNO, szTrade, bRecyle) values (" + std::to_string(iEst) +
                     ", " + Q(buildNo) + ", " + Q(houseNo) + ", " + Q(trade) + ", " + std::to_string(bRecyle) + ")");
}

int InsertClient(const char* cliMan, const char* trade, const char* urban, int bRecyle)
{
    return InsertRow("insert into t_client (szCliMan, szTrade, szUrban, szLevel, bRecyle) values (" + Q(cliMan) + ", " +
                     Q(trade) + ", " + Q(urban) + ", " + Q("A级(急需)") + ", " + std::to_string(bRecyle) + ")");
}

int InsertFollow(int iHou, int iCli, const char* content, int bRecyle)
{
    return InsertRow("insert into t_follow (iHou, iCli, iEmp, iBr, szWay, szContent, dtFollow, bRecyle) values (" +
                     std::to_string(iHou) + ", " + std::to_string(iCli) + ", 1, 1, " + Q("电话") + ", " + Q(content) +
                     ", now(), " + std::to_string(bRecyle) + ")");
}

int InsertRecycleEntry(int iObjType, int iObjOrdinal, int iEmp)
{
    return InsertRow("insert into t_recyle (iObjType, iObjOrdinal, iEmp) values (" + std::to_string(iObjType) + ", " +
                     std::to_string(iObjOrdinal) + ", " + std::to_string(iEmp) + ")");
}

HWND MakeCombo()
{
    HWND h = CreateWindowExA(0, "COMBOBOX", "", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 200, 300, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(h, nullptr);
    return h;
}

std::vector<std::string> ComboItems(HWND hCombo)
{
    std::vector<std::string> items;
    int n = (int)SendMessageA(hCombo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        char buf[256] = {0};
        SendMessageA(hCombo, CB_GETLBTEXT, i, (LPARAM)buf);
        items.push_back(buf);
    }
    return items;
}
