// Shared pieces of the dictionary tests: a fresh database per test, direct
// SQL helpers and a recorder for drop-down fills.
#pragma once
#include "tests/support/test_support.h"
#include "data/ZTData.h"

#include <string>
#include <vector>

// Each test starts on a fresh, seeded database with no boxes recorded.
class DictsTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// The boxes shown since the test began, as "text|caption".
std::vector<std::string> BoxTexts();
// Asserts that exactly one box was shown, with this text and caption and
// these button/icon flags, and forgets it.
void ExpectOneBox(const char* text, const char* caption, UINT flags = MB_OK);

// Inserts a row directly and returns its key.
int InsertRow(const std::string& sql);
// Escaped text between quotes for direct SQL.
std::string Q(const std::string& text);

// A city, urban area or district added through the library.
int AddCity(const char* name);
int AddUrban(int iCity, const char* name, int iPriority = 0);
int AddDistrict(int iUrban, const char* name, int iPriority = 0);
// Rows written directly (for data other families own).
int InsertEstate(int iUrban, const char* name, int bRecyle = 0);
int InsertHouse(int iEst, const char* buildNo, const char* houseNo, const char* trade, int bRecyle = 0);
int InsertClient(const char* cliMan, const char* trade, const char* urban, int bRecyle = 0);
int InsertFollow(int iHou, int iCli, const char* content, int bRecyle = 0);
int InsertRecycleEntry(int iObjType, int iObjOrdinal, int iEmp = 1);

// Collects the texts a fill hands out.
struct FillRecorder {
    std::vector<std::string> texts;
    static void Add(void* ctx, const char* text) { static_cast<FillRecorder*>(ctx)->texts.push_back(text); }
};

// A hidden real combo box, and its items.
HWND MakeCombo();
std::vector<std::string> ComboItems(HWND hCombo);

// Sets a fixed text field from a C string (the test owns the length).
template <size_t N> void Set(char (&field)[N], const std::string& text)
{
    ASSERT_LT(text.size(), N) << "test text too long for its field";
    memset(field, 0, N);
    memcpy(field, text.data(), text.size());
}
