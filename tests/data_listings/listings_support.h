// Shared set-up of the listing tests: one database for the program, emptied
// listing tables before each test, the statement log of the server, and
// filling record fields with hostile text.
#pragma once
#include "tests/support/db_fixture.h"
#include "data/ZTData.h"

#include <functional>
#include <string>
#include <vector>

// Opens the program's database once; empties houses, clients, follow-ups,
// reminders, the operation log and the recycle bin; resets the box recorder.
void Listings_Reset();

// The server's statement log: started empty, then the statements of the
// library's connection that begin with a prefix.
void SqlLog_Start();
std::vector<std::string> SqlLog_Find(const std::string& prefix);
void SqlLog_Stop();

// Hostile text cut to fit a field of cb bytes (whole characters only).
void FillHostile(char* field, size_t cb);
template <size_t N> inline void FillHostile(char (&field)[N]) { FillHostile(field, N); }

// A live house of an estate with building and room numbers, other fields
// plausible (trade "出售", commission date today).
tagHOUSE NewHouse(int iEst, const char* pszBuild, const char* pszRoom);
// A client with its two telephone texts (stored as given).
tagCLIENT NewClient(const char* pszCliTel, const char* pszLinkTel);
// A follow-up by telephone of a house (iHou) or a client (iCli), written by
// employee 1 of branch 1.
tagFOLLOW NewFollow(int iHou, int iCli, const char* content);

// A text field of a record and its column.
struct BrimText {
    char* field;
    size_t cb;
    const char* column;
};
// Fills every field to its last byte, without a NUL, each with its own
// letter ('A' for the first, 'B' for the second, ...).
void FillToBrim(const BrimText* texts, size_t n);
// Expects every column of the row with that key to hold its field's letters
// exactly: the field whole and nothing of the one after it.
void ExpectBrimRow(const char* table, int key, const BrimText* texts, size_t n);

// Number of lines of errlog.log in the working folder.
size_t ErrLogCount();

// "YYYY-MM-DD" of the server's date plus some days.
std::string ServerDay(int iDays);
