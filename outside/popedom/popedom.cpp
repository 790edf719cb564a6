// The permission library: right codes to permission words, and the answers
// about one word.  The mapping is documented in ZTPopedom.h.
#include "outside/popedom/ZTPopedom.h"
#include "app/shell/main_param.h"

#include <cstring>

namespace {

enum { OP_VIEW = 0, OP_ADD = 1, OP_MODIFY = 2, OP_DELETE = 3 };

// A code that grants one operation of one word at one scope.
struct OpCode {
    char code[3];
    int word;    // 1..14
    int op;
    int scope;
};

const OpCode kOpCodes[] = {
    // Houses.
    {"01", 1, OP_VIEW, PD_SCOPE_OWN},    {"02", 1, OP_VIEW, PD_SCOPE_BRANCH},
    {"03", 1, OP_VIEW, PD_SCOPE_BRANCHES}, {"04", 1, OP_VIEW, PD_SCOPE_STORES},
    {"05", 1, OP_ADD, PD_SCOPE_OWN},     {"06", 1, OP_ADD, PD_SCOPE_BRANCH},
    {"07", 1, OP_ADD, PD_SCOPE_BRANCHES}, {"08", 1, OP_ADD, PD_SCOPE_STORES},
    {"09", 1, OP_MODIFY, PD_SCOPE_OWN},  {"0A", 1, OP_MODIFY, PD_SCOPE_BRANCH},
    {"0B", 1, OP_MODIFY, PD_SCOPE_BRANCHES}, {"0C", 1, OP_MODIFY, PD_SCOPE_STORES},
    {"0D", 1, OP_DELETE, PD_SCOPE_OWN},  {"0E", 1, OP_DELETE, PD_SCOPE_BRANCH},
    {"0F", 1, OP_DELETE, PD_SCOPE_BRANCHES}, {"0G", 1, OP_DELETE, PD_SCOPE_STORES},
    // Clients.
    {"1C", 2, OP_VIEW, PD_SCOPE_OWN},    {"1D", 2, OP_VIEW, PD_SCOPE_BRANCH},
    {"1F", 2, OP_VIEW, PD_SCOPE_BRANCHES}, {"1G", 2, OP_VIEW, PD_SCOPE_STORES},
    {"1L", 2, OP_ADD, PD_SCOPE_OWN},     {"1M", 2, OP_ADD, PD_SCOPE_BRANCH},
    {"1N", 2, OP_ADD, PD_SCOPE_BRANCHES}, {"1O", 2, OP_ADD, PD_SCOPE_STORES},
    {"1H", 2, OP_MODIFY, PD_SCOPE_OWN},  {"1I", 2, OP_MODIFY, PD_SCOPE_BRANCH},
    {"1J", 2, OP_MODIFY, PD_SCOPE_BRANCHES}, {"1K", 2, OP_MODIFY, PD_SCOPE_STORES},
    {"1P", 2, OP_DELETE, PD_SCOPE_OWN},  {"1Q", 2, OP_DELETE, PD_SCOPE_BRANCH},
    {"1R", 2, OP_DELETE, PD_SCOPE_BRANCHES}, {"1S", 2, OP_DELETE, PD_SCOPE_STORES},
    // Follow-ups.
    {"0H", 3, OP_VIEW, PD_SCOPE_STORES}, {"0L", 3, OP_ADD, PD_SCOPE_STORES},
    {"0T", 3, OP_MODIFY, PD_SCOPE_STORES}, {"0P", 3, OP_DELETE, PD_SCOPE_STORES},
    // Estates.
    {"3E", 4, OP_VIEW, PD_SCOPE_STORES}, {"3B", 4, OP_ADD, PD_SCOPE_STORES},
    {"3D", 4, OP_MODIFY, PD_SCOPE_STORES}, {"3C", 4, OP_DELETE, PD_SCOPE_STORES},
    // Estate buildings.
    {"3F", 5, OP_VIEW, PD_SCOPE_STORES}, {"3G", 5, OP_ADD, PD_SCOPE_STORES},
    {"3H", 5, OP_MODIFY, PD_SCOPE_STORES}, {"3I", 5, OP_DELETE, PD_SCOPE_STORES},
    // Branches.
    {"2P", 6, OP_VIEW, PD_SCOPE_STORES}, {"2S", 6, OP_ADD, PD_SCOPE_STORES},
    {"2Q", 6, OP_MODIFY, PD_SCOPE_STORES}, {"2R", 6, OP_DELETE, PD_SCOPE_STORES},
    // Organisation window: opened by any of its view rights; its record
    // operations are those of the employees.
    {"2P", 7, OP_VIEW, PD_SCOPE_STORES}, {"2T", 7, OP_VIEW, PD_SCOPE_STORES},
    {"33", 7, OP_VIEW, PD_SCOPE_STORES}, {"2U", 7, OP_ADD, PD_SCOPE_STORES},
    {"2X", 7, OP_MODIFY, PD_SCOPE_STORES}, {"30", 7, OP_DELETE, PD_SCOPE_STORES},
    // Positions.
    {"33", 8, OP_VIEW, PD_SCOPE_STORES}, {"34", 8, OP_ADD, PD_SCOPE_STORES},
    {"35", 8, OP_MODIFY, PD_SCOPE_STORES}, {"36", 8, OP_DELETE, PD_SCOPE_STORES},
    // Parameters.
    {"40", 9, OP_VIEW, PD_SCOPE_STORES}, {"41", 9, OP_ADD, PD_SCOPE_STORES},
    {"42", 9, OP_MODIFY, PD_SCOPE_STORES}, {"43", 9, OP_DELETE, PD_SCOPE_STORES},
    // Areas.
    {"37", 10, OP_VIEW, PD_SCOPE_STORES}, {"38", 10, OP_ADD, PD_SCOPE_STORES},
    {"3A", 10, OP_MODIFY, PD_SCOPE_STORES}, {"39", 10, OP_DELETE, PD_SCOPE_STORES},
    // System options.
    {"3O", 11, OP_VIEW, PD_SCOPE_STORES}, {"3Q", 11, OP_MODIFY, PD_SCOPE_STORES},
    // Operation log.
    {"3J", 12, OP_VIEW, PD_SCOPE_STORES}, {"3K", 12, OP_DELETE, PD_SCOPE_STORES},
    // Recycle bin: managing restores and purges.
    {"3L", 13, OP_VIEW, PD_SCOPE_STORES}, {"3M", 13, OP_MODIFY, PD_SCOPE_STORES},
    {"3M", 13, OP_DELETE, PD_SCOPE_STORES},
    // Permission granting.
    {"3R", 14, OP_VIEW, PD_SCOPE_STORES}, {"3R", 14, OP_ADD, PD_SCOPE_STORES},
    {"3R", 14, OP_MODIFY, PD_SCOPE_STORES}, {"3R", 14, OP_DELETE, PD_SCOPE_STORES},
};

// A field right: granted by its own code, or by a sub-right code when the
// parent code is present too.
struct FieldCode {
    char code[3];
    int word;    // 15 clients, 16 houses, 17 estates
    int right;
    bool sub;    // a sub-right of the partial-modification code
};

const FieldCode kFieldCodes[] = {
    {"15", 16, 6, true}, {"12", 16, 7, true}, {"13", 16, 8, true}, {"46", 16, 9, true},
    {"17", 16, 10, true}, {"16", 16, 11, true}, {"14", 16, 12, true},
    {"1B", 16, 13, false}, {"1A", 16, 14, false},
    {"10", 15, 6, true}, {"0X", 15, 7, true}, {"19", 15, 8, true},
    {"18", 15, 10, true}, {"11", 15, 11, true},
    {"45", 15, 13, false}, {"44", 15, 14, false},
    {"47", 17, 15, false},
};

// Field rights 6..12: what a holder of the module's modify right gets.
const uint32_t kEditFieldBits = 0x7Fu << 6;

struct Codes {
    const char* text;
    size_t len;    // whole pairs only
};

Codes ReadCodes(const tagPOPEDOM* pd)
{
    Codes c = {pd ? pd->szValue : "", 0};
    if (pd) {
        size_t n = 0;
        while (n < sizeof pd->szValue && pd->szValue[n]) n++;
        c.len = n - n % 2;
    }
    return c;
}

bool Has(const Codes& c, const char* code)
{
    for (size_t i = 0; i < c.len; i += 2)
        if (c.text[i] == code[0] && c.text[i + 1] == code[1]) return true;
    return false;
}

uint32_t ScopeOf(uint32_t w, int op)
{
    if (op < 0 || op > 3) return 0;
    return (w >> (8 * op)) & 0xFFu;
}

}  // namespace

ZTPD_API void PD_Calc(tagZT_Main_Param* p, tagPOPEDOM* pPopedom)
{
    if (!p) return;
    uint32_t w[18];
    memset(w, 0, sizeof w);
    Codes c = ReadCodes(pPopedom);

    for (const OpCode& oc : kOpCodes) {
        if (!Has(c, oc.code)) continue;
        uint32_t shift = 8u * static_cast<uint32_t>(oc.op);
        uint32_t held = (w[oc.word] >> shift) & 0xFFu;
        if (static_cast<uint32_t>(oc.scope) > held)
            w[oc.word] = (w[oc.word] & ~(0xFFu << shift)) | (static_cast<uint32_t>(oc.scope) << shift);
    }

    bool housePartial = Has(c, "0Y");
    bool clientPartial = Has(c, "0Z");
    for (const FieldCode& fc : kFieldCodes) {
        if (!Has(c, fc.code)) continue;
        if (fc.sub && !(fc.word == 16 ? housePartial : clientPartial)) continue;
        w[fc.word] |= 1u << fc.right;
    }
    if (ScopeOf(w[1], OP_MODIFY)) w[16] |= kEditFieldBits;
    if (ScopeOf(w[2], OP_MODIFY)) w[15] |= kEditFieldBits;

    uint32_t* out = &p->W1;
    for (int i = 0; i < 17; i++) out[i] = w[i + 1];
}

ZTPD_API uint32_t PD_Self(uint32_t dwWord, int iOp, int iExtra)
{
    if (iOp == 0 && iExtra == -1) return dwWord == 0 ? 1u : 0u;
    return ScopeOf(dwWord, iOp);
}

ZTPD_API uint32_t PD_Akst(uint32_t dwWord, int iOp, int iExtra1, int)
{
    if (iOp == 0 && iExtra1 == -2) return dwWord == 0 ? 2u : 0u;
    switch (ScopeOf(dwWord, iOp)) {
    case PD_SCOPE_NONE: return 0;
    case PD_SCOPE_OWN: return iOp == 0 ? 1u : 4u;
    case PD_SCOPE_BRANCH: return iOp == 0 ? 16u : 64u;
    default: return 256u;
    }
}

ZTPD_API uint32_t PD_Part(uint32_t dwWord, int iRight, int)
{
    if (iRight < 6 || iRight > 15) return 0;
    return (dwWord >> iRight) & 1u;
}
