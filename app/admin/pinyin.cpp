#include "app/admin/pinyin.h"
#include "common/gbk.h"

namespace {

// First code of each letter in GB2312 level 1 (B0A1..D7F9), which is
// ordered by reading; I, U and V begin no reading and have no range.
struct LetterStart {
    char letter;
    unsigned code;
};
const LetterStart kLevel1[] = {
    {'A', 0xB0A1}, {'B', 0xB0C5}, {'C', 0xB2C1}, {'D', 0xB4EE}, {'E', 0xB6EA}, {'F', 0xB7A2},
    {'G', 0xB8C1}, {'H', 0xB9FE}, {'J', 0xBBF7}, {'K', 0xBFA6}, {'L', 0xC0AC}, {'M', 0xC2E8},
    {'N', 0xC4C3}, {'O', 0xC5B6}, {'P', 0xC5BE}, {'Q', 0xC6DA}, {'R', 0xC8BB}, {'S', 0xC8F6},
    {'T', 0xCBFA}, {'W', 0xCDDA}, {'X', 0xCEF4}, {'Y', 0xD1B9}, {'Z', 0xD4D1},
};
const unsigned kLevel1Last = 0xD7F9;

// Initials of the other GBK characters: row lead - 0x81, column trail - 0x40;
// '.' for none.
const char* const kTable[] = {
#include "app/admin/pinyin_table.inc"
};
const unsigned kTrailFirst = 0x40;         // the table's first column

char Level1(unsigned code)
{
    char letter = 0;
    for (const LetterStart& s : kLevel1)
        if (code >= s.code)
            letter = s.letter;
    return letter;
}

}  // namespace

char Pinyin_Initial(unsigned char lead, unsigned char trail)
{
    if (!Gbk_IsLead(lead) || !Gbk_IsTrail(trail))
        return 0;
    unsigned code = lead * 256u + trail;
    if (lead >= 0xB0 && trail >= 0xA1 && code <= kLevel1Last)
        return Level1(code);
    char c = kTable[lead - 0x81][trail - kTrailFirst];
    return c == '.' ? 0 : c;
}

size_t Pinyin_Abbrev(const char* pszName, char* pszOut, size_t cbOut)
{
    if (!pszOut || cbOut == 0)
        return 0;
    size_t n = 0;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(pszName ? pszName : "");
    while (*s && n + 1 < cbOut) {
        char c = 0;
        if (*s < 0x80) {
            c = (*s >= 'a' && *s <= 'z') ? static_cast<char>(*s - 'a' + 'A') : static_cast<char>(*s);
            s++;
        } else if (Gbk_IsLead(s[0]) && Gbk_IsTrail(s[1])) {
            c = Pinyin_Initial(s[0], s[1]);
            s += 2;
        } else {
            s++;                             // a stray byte or a lone lead byte
        }
        if (c)
            pszOut[n++] = c;
    }
    pszOut[n] = 0;
    return n;
}
