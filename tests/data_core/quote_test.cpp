// Quoted literals for filter conditions: the same text with and without a
// connection, the client library's escaping exactly, whole or nothing, and
// against the server: a quoted value finds exactly its own rows.
#include "tests/support/test_support.h"
#include "data/quote.h"
#include "data/house.h"

#include <map>
#include <vector>

namespace {

std::vector<std::string> HostileValues()
{
    std::vector<std::string> v = {HostileText(), "'", "\\", "\"", "%", "_", "a%b_c\\d", "100%_\\\\'\n\r\x1a",
                                  "ab\xD6\xD0\xD5",     // a half character at the end
                                  "\xD5", "\xD5%", "\xD5_x", "\xD5\\'", "\xB1\x5C%", "\xB1\x5C_", "\xB1\x5F"};
    v.push_back(std::string(300, '\''));
    std::string wide;
    for (int i = 0; i < 300; ++i)
        wide += "\xD5\x5C";
    v.push_back(wide);
    std::string bytes;
    for (int b = 1; b < 256; ++b)
        bytes += (char)b;
    v.push_back(bytes);
    return v;
}

// The client library's literal on a live GBK connection (the test's own).
std::string ClientLiteral(const std::string& v)
{
    std::string out(v.size() * 2 + 1, '\0');
    unsigned long n = mysql_real_escape_string(TestDb_Conn(), &out[0], v.data(), (unsigned long)v.size());
    out.resize(n);
    return "'" + out + "'";
}

std::string Quote(const std::string& v)
{
    std::vector<char> buf(v.size() * 2 + 3);
    EXPECT_TRUE(FD_QuoteText(v.c_str(), buf.data(), buf.size()));
    return buf.data();
}

std::string QuoteLike(const std::string& v, int iMatch)
{
    std::vector<char> buf(v.size() * 4 + 5);
    EXPECT_TRUE(FD_QuoteLike(v.c_str(), iMatch, buf.data(), buf.size()));
    return buf.data();
}

bool Lead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool Trail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE); }

// A text as the server's GBK characters; half characters dropped when asked.
std::vector<std::string> Chars(const std::string& s, bool bDropHalves)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (Lead(s[i]) && i + 1 < s.size() && Trail(s[i + 1])) {
            out.push_back(s.substr(i++, 2));
        } else if (!Lead(s[i]) || !bDropHalves) {
            out.push_back(s.substr(i, 1));
        }
    }
    return out;
}

bool Matches(const std::string& stored, const std::string& value, int iMatch)
{
    auto t = Chars(stored, false), v = Chars(value, true);
    if (v.size() > t.size())
        return false;
    for (size_t at = 0; at + v.size() <= t.size(); ++at) {
        if (iMatch == FD_LIKE_EXACT && (at != 0 || v.size() != t.size()))
            continue;
        if (iMatch == FD_LIKE_STARTS && at != 0)
            continue;
        if (iMatch == FD_LIKE_ENDS && at + v.size() != t.size())
            continue;
        if (std::equal(v.begin(), v.end(), t.begin() + at))
            return true;
    }
    return false;
}

class Quoting : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_NE(nullptr, TestDb_Open("kelmora_t_quote", false)); }
    void SetUp() override { TestBoxes_Reset(); }
};

} // namespace

TEST_F(Quoting, LiteralsAreTheClientLibrarysWithOrWithoutAConnection)
{
    auto values = HostileValues();
    std::vector<std::string> likes;
    for (const auto& v : values) {
        std::string lit = ClientLiteral(v);
        EXPECT_EQ(lit, Quote(v));
        // Exactly enough room, or nothing at all: never a cut literal.
        std::vector<char> buf(lit.size() + 1, 'x');
        EXPECT_TRUE(FD_QuoteText(v.c_str(), buf.data(), buf.size()));
        EXPECT_FALSE(FD_QuoteText(v.c_str(), buf.data(), buf.size() - 1));
        EXPECT_STREQ("", buf.data());
        for (int m = FD_LIKE_CONTAINS; m <= FD_LIKE_EXACT; ++m)
            likes.push_back(QuoteLike(v, m));
    }
    char out[8] = "x";
    EXPECT_FALSE(FD_QuoteLike("a", 9, out, sizeof out));
    EXPECT_STREQ("", out);
    EXPECT_TRUE(FD_QuoteText(nullptr, out, sizeof out));
    EXPECT_STREQ("''", out);

    MYSQL_Terminal();
    size_t k = 0;
    for (const auto& v : values) {
        EXPECT_EQ(ClientLiteral(v), Quote(v));
        for (int m = FD_LIKE_CONTAINS; m <= FD_LIKE_EXACT; ++m)
            EXPECT_EQ(likes[k++], QuoteLike(v, m));
    }
    ASSERT_EQ(1, MYSQL_Init(TestDb_Settings()));
}

TEST_F(Quoting, QuotedValuesFindExactlyTheirRowsAndChangeNoStatement)
{
    TestDb_Exec("drop table if exists t_quote;"
                "create table t_quote (id int primary key, s varchar(700)) default charset gbk");
    auto values = HostileValues();
    values.push_back("abc");
    values.push_back("ab\xD6\xD0");
    values.push_back("x%y");
    values.push_back("\xD5\x5C\xD5\x5C");
    for (size_t i = 0; i < values.size(); ++i)
        TestDb_Exec("insert into t_quote values (" + std::to_string(i) + ", " + Quote(values[i]) + ")");
    std::map<int, std::string> stored;
    for (const auto& row : TestDb_Query("select id, s from t_quote"))
        stored[atoi(row[0].c_str())] = row[1];
    ASSERT_EQ(values.size(), stored.size());

    for (const auto& v : values) {
        std::vector<int> want, got;
        for (const auto& r : stored)
            if (r.second == v)
                want.push_back(r.first);
        for (const auto& row : TestDb_Query("select id from t_quote where s collate gbk_bin = " + Quote(v) +
                                            " order by id"))
            got.push_back(atoi(row[0].c_str()));
        EXPECT_EQ(want, got) << "= " << Quote(v);
        for (int m = FD_LIKE_CONTAINS; m <= FD_LIKE_EXACT; ++m) {
            want.clear();
            got.clear();
            for (const auto& r : stored)
                if (Matches(r.second, v, m))
                    want.push_back(r.first);
            for (const auto& row : TestDb_Query("select id from t_quote where s collate gbk_bin like " +
                                                QuoteLike(v, m) + " order by id"))
                got.push_back(atoi(row[0].c_str()));
            EXPECT_EQ(want, got) << "like " << QuoteLike(v, m);
        }
    }
    // Every row is still there and stands as it was inserted.
    EXPECT_EQ((long long)values.size(), TestDb_Count("t_quote"));
    EXPECT_EQ(HostileText(), stored[0]);
}

namespace {

DWORD WINAPI SlowStatement(LPVOID)
{
    int n = 0;
    Mem_Free_Hou(FD_Sct_Hou(1, nullptr, &n, "sleep(2) = 0", 0, nullptr, nullptr));
    return 0;
}

TEST_F(Quoting, QuotingDoesNotWaitForAStatementOfAnotherThread)
{
    // A window thread quotes its filter while a worker's statement holds
    // the connection: it must not wait for it.  (One house: the statement
    // sleeps once, for its row.)
    TestDb_Exec("delete from t_house");
    TestDb_Exec("insert into t_house (bRecyle) values (0)");
    HANDLE h = CreateThread(nullptr, 0, SlowStatement, nullptr, 0, nullptr);
    ASSERT_NE(h, nullptr);
    Sleep(400);
    ASSERT_EQ(WaitForSingleObject(h, 0), static_cast<DWORD>(WAIT_TIMEOUT));   // still running
    char out[64];
    DWORD t0 = GetTickCount();
    EXPECT_TRUE(FD_QuoteText("O'Brien", out, sizeof(out)));
    DWORD took = GetTickCount() - t0;
    EXPECT_STREQ(out, "'O\\'Brien'");
    // The statement has more than 1.5 s to go: waiting for it shows.
    EXPECT_LT(took, 800u);
    WaitForSingleObject(h, INFINITE);
    CloseHandle(h);
}

}  // namespace
