// Shared set-up of the organisation and operation-log tests: a fresh seeded
// database per test, the box recorder reset, and small readers of t_log.
#pragma once
#include "tests/support/test_support.h"
#include "data/ZTData.h"

#include <cstring>
#include <string>
#include <vector>

class OrgDb : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(TestDb_Open("kelmora_t_org"), nullptr);
        TestBoxes_Reset();
    }
};

// A short text with every byte that tries to break a statement, fitting the
// narrowest name field (tagEMPLIST.szEmp) with room for an appended key.
inline std::string HostileName()
{
    return std::string("O'B\"\\%_ ") + "\xD5\x5C" + "\xB1\x5C" + "');--" + "\xC1\x5C'";
}

template <size_t N> inline void Set(char (&field)[N], const std::string& v)
{
    ASSERT_LT(v.size(), N) << "test value wider than its field";
    memset(field, 0, N);
    memcpy(field, v.data(), v.size());
}

struct LogRow {
    int iAct;
    int iOpEmp;
    std::string szValue;
};

// The t_log rows of one object, oldest first.
inline std::vector<LogRow> LogOf(int iObjType, int iObjID)
{
    std::vector<LogRow> out;
    for (auto& r : TestDb_Query("select iAct, iOpEmp, szValue from t_log where iObjType = " + std::to_string(iObjType) +
                                " and iObjID = " + std::to_string(iObjID) + " order by iOrdinal"))
        out.push_back(LogRow{atoi(r[0].c_str()), atoi(r[1].c_str()), r[2]});
    return out;
}

inline std::string Str(int v) { return std::to_string(v); }
