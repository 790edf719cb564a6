#include "cipher/cipher.h"

#include <cstring>
#include <vector>

namespace {

// Key-text pieces and master key of the system.  Stored cipher texts can only
// be read with exactly these values: never change them.
const char kVariant0Sentence[] = "Every house deserves a careful agent here.";
const char kVariant1Text[]     = "房产密钥";
const char kKeyPrefix[]        = "Kelmora.RealEstate.FieldKey.v1";
const char kVariant2Suffix[]   = "#Telephone&Text!";
const char kVariant3Suffix[]   = "#Password&Key!?";
const char kMasterKey[]        = "凯尔摩拉字段密钥";

static_assert(sizeof(kVariant0Sentence) - 1 == 42, "variant 0 sentence is 42 characters");
static_assert(sizeof(kVariant1Text) - 1 == 8, "variant 1 text is 8 GBK bytes");
static_assert(sizeof(kKeyPrefix) - 1 == 30, "key prefix is 30 characters");
static_assert(sizeof(kVariant2Suffix) - 1 == 16, "variant 2 suffix is 16 characters");
static_assert(sizeof(kVariant3Suffix) - 1 == 15, "variant 3 suffix is 15 characters");
static_assert(sizeof(kMasterKey) - 1 == 16, "master key is 16 GBK bytes");

const uint8_t IP[64] = {
    58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
    62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
    57, 49, 41, 33, 25, 17, 9, 1, 59, 51, 43, 35, 27, 19, 11, 3,
    61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};
const uint8_t FP[64] = {
    40, 8, 48, 16, 56, 24, 64, 32, 39, 7, 47, 15, 55, 23, 63, 31,
    38, 6, 46, 14, 54, 22, 62, 30, 37, 5, 45, 13, 53, 21, 61, 29,
    36, 4, 44, 12, 52, 20, 60, 28, 35, 3, 43, 11, 51, 19, 59, 27,
    34, 2, 42, 10, 50, 18, 58, 26, 33, 1, 41, 9, 49, 17, 57, 25};
const uint8_t E[48] = {
    32, 1, 2, 3, 4, 5, 4, 5, 6, 7, 8, 9, 8, 9, 10, 11, 12, 13, 12, 13, 14, 15, 16, 17,
    16, 17, 18, 19, 20, 21, 20, 21, 22, 23, 24, 25, 24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1};
const uint8_t P[32] = {
    16, 7, 20, 21, 29, 12, 28, 17, 1, 15, 23, 26, 5, 18, 31, 10,
    2, 8, 24, 14, 32, 27, 3, 9, 19, 13, 30, 6, 22, 11, 4, 25};
const uint8_t PC1[56] = {
    57, 49, 41, 33, 25, 17, 9, 1, 58, 50, 42, 34, 26, 18,
    10, 2, 59, 51, 43, 35, 27, 19, 11, 3, 60, 52, 44, 36,
    63, 55, 47, 39, 31, 23, 15, 7, 62, 54, 46, 38, 30, 22,
    14, 6, 61, 53, 45, 37, 29, 21, 13, 5, 28, 20, 12, 4};
// Permuted choice 2 as published; entry 36 (index 35) is 48.
const uint8_t PC2_STANDARD[48] = {
    14, 17, 11, 24, 1, 5, 3, 28, 15, 6, 21, 10,
    23, 19, 12, 4, 26, 8, 16, 7, 27, 20, 13, 2,
    41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48,
    44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};
const uint8_t SHIFTS[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};
const uint8_t S[8][64] = {
    {14, 4, 13, 1, 2, 15, 11, 8, 3, 10, 6, 12, 5, 9, 0, 7,
     0, 15, 7, 4, 14, 2, 13, 1, 10, 6, 12, 11, 9, 5, 3, 8,
     4, 1, 14, 8, 13, 6, 2, 11, 15, 12, 9, 7, 3, 10, 5, 0,
     15, 12, 8, 2, 4, 9, 1, 7, 5, 11, 3, 14, 10, 0, 6, 13},
    {15, 1, 8, 14, 6, 11, 3, 4, 9, 7, 2, 13, 12, 0, 5, 10,
     3, 13, 4, 7, 15, 2, 8, 14, 12, 0, 1, 10, 6, 9, 11, 5,
     0, 14, 7, 11, 10, 4, 13, 1, 5, 8, 12, 6, 9, 3, 2, 15,
     13, 8, 10, 1, 3, 15, 4, 2, 11, 6, 7, 12, 0, 5, 14, 9},
    {10, 0, 9, 14, 6, 3, 15, 5, 1, 13, 12, 7, 11, 4, 2, 8,
     13, 7, 0, 9, 3, 4, 6, 10, 2, 8, 5, 14, 12, 11, 15, 1,
     13, 6, 4, 9, 8, 15, 3, 0, 11, 1, 2, 12, 5, 10, 14, 7,
     1, 10, 13, 0, 6, 9, 8, 7, 4, 15, 14, 3, 11, 5, 2, 12},
    {7, 13, 14, 3, 0, 6, 9, 10, 1, 2, 8, 5, 11, 12, 4, 15,
     13, 8, 11, 5, 6, 15, 0, 3, 4, 7, 2, 12, 1, 10, 14, 9,
     10, 6, 9, 0, 12, 11, 7, 13, 15, 1, 3, 14, 5, 2, 8, 4,
     3, 15, 0, 6, 10, 1, 13, 8, 9, 4, 5, 11, 12, 7, 2, 14},
    {2, 12, 4, 1, 7, 10, 11, 6, 8, 5, 3, 15, 13, 0, 14, 9,
     14, 11, 2, 12, 4, 7, 13, 1, 5, 0, 15, 10, 3, 9, 8, 6,
     4, 2, 1, 11, 10, 13, 7, 8, 15, 9, 12, 5, 6, 3, 0, 14,
     11, 8, 12, 7, 1, 14, 2, 13, 6, 15, 0, 9, 10, 4, 5, 3},
    {12, 1, 10, 15, 9, 2, 6, 8, 0, 13, 3, 4, 14, 7, 5, 11,
     10, 15, 4, 2, 7, 12, 9, 5, 6, 1, 13, 14, 0, 11, 3, 8,
     9, 14, 15, 5, 2, 8, 12, 3, 7, 0, 4, 10, 1, 13, 11, 6,
     4, 3, 2, 12, 9, 5, 15, 10, 11, 14, 1, 7, 6, 0, 8, 13},
    {4, 11, 2, 14, 15, 0, 8, 13, 3, 12, 9, 7, 5, 10, 6, 1,
     13, 0, 11, 7, 4, 9, 1, 10, 14, 3, 5, 12, 2, 15, 8, 6,
     1, 4, 11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5, 9, 2,
     6, 11, 13, 8, 1, 4, 10, 7, 9, 5, 0, 15, 14, 2, 3, 12},
    {13, 2, 8, 4, 6, 15, 11, 1, 10, 9, 3, 14, 5, 0, 12, 7,
     1, 15, 13, 8, 10, 3, 7, 4, 12, 5, 6, 11, 0, 14, 9, 2,
     7, 11, 4, 1, 9, 12, 14, 2, 0, 6, 10, 13, 15, 3, 5, 8,
     2, 1, 14, 7, 4, 10, 8, 13, 15, 12, 9, 0, 3, 5, 6, 11}};

// One bit per byte, index 0 = bit 1 of the standard's numbering.
void Unpack(const uint8_t bytes[8], uint8_t bits[64], int bStandard)
{
    for (int n = 0; n < 64; ++n) {
        int shift = bStandard ? 7 - (n % 8) : n % 8;
        bits[n] = (bytes[n / 8] >> shift) & 1;
    }
}

void Pack(const uint8_t bits[64], uint8_t bytes[8], int bStandard)
{
    memset(bytes, 0, 8);
    for (int n = 0; n < 64; ++n) {
        int shift = bStandard ? 7 - (n % 8) : n % 8;
        bytes[n / 8] |= (uint8_t)(bits[n] << shift);
    }
}

void MakeSubkeys(const uint8_t key[8], uint8_t sub[16][48], int bStandard)
{
    uint8_t kbits[64], cd[56];
    Unpack(key, kbits, bStandard);
    for (int i = 0; i < 56; ++i)
        cd[i] = kbits[PC1[i] - 1];
    uint8_t pc2[48];
    memcpy(pc2, PC2_STANDARD, sizeof pc2);
    if (!bStandard)
        pc2[35] = 47;
    for (int r = 0; r < 16; ++r) {
        for (int s = 0; s < SHIFTS[r]; ++s) {
            uint8_t c0 = cd[0], d0 = cd[28];
            memmove(cd, cd + 1, 27);
            cd[27] = c0;
            memmove(cd + 28, cd + 29, 27);
            cd[55] = d0;
        }
        for (int i = 0; i < 48; ++i)
            sub[r][i] = cd[pc2[i] - 1];
    }
}

void Feistel(const uint8_t r[32], const uint8_t k[48], uint8_t out[32])
{
    uint8_t x[48], s[32];
    for (int i = 0; i < 48; ++i)
        x[i] = r[E[i] - 1] ^ k[i];
    for (int b = 0; b < 8; ++b) {
        const uint8_t* g = x + 6 * b;
        int row = (g[0] << 1) | g[5];
        int col = (g[1] << 3) | (g[2] << 2) | (g[3] << 1) | g[4];
        int v = S[b][row * 16 + col];
        for (int j = 0; j < 4; ++j)
            s[4 * b + j] = (v >> (3 - j)) & 1;
    }
    for (int i = 0; i < 32; ++i)
        out[i] = s[P[i] - 1];
}

void BlockWithSubkeys(uint8_t sub[16][48], const uint8_t in[8], uint8_t out[8], int bDecipher, int bStandard)
{
    uint8_t bits[64], lr[64];
    Unpack(in, bits, bStandard);
    for (int i = 0; i < 64; ++i)
        lr[i] = bits[IP[i] - 1];
    uint8_t* L = lr;
    uint8_t* R = lr + 32;
    for (int round = 0; round < 16; ++round) {
        uint8_t f[32], nr[32];
        Feistel(R, sub[bDecipher ? 15 - round : round], f);
        for (int i = 0; i < 32; ++i)
            nr[i] = L[i] ^ f[i];
        memcpy(L, R, 32);
        memcpy(R, nr, 32);
    }
    // No swap after the last round: the pre-output block is R16 L16.
    uint8_t pre[64];
    memcpy(pre, R, 32);
    memcpy(pre + 32, L, 32);
    for (int i = 0; i < 64; ++i)
        bits[i] = pre[FP[i] - 1];
    Pack(bits, out, bStandard);
}

// The key text cut into 8-byte chunks, the last one filled with "a".
std::vector<std::vector<uint8_t>> KeyChunks(const char* pszKey)
{
    std::vector<std::vector<uint8_t>> chunks;
    size_t k = strlen(pszKey);
    for (size_t off = 0; off < k; off += 8) {
        std::vector<uint8_t> c(8, 'a');
        for (size_t i = 0; i < 8 && off + i < k; ++i)
            c[i] = (uint8_t)pszKey[off + i];
        chunks.push_back(c);
    }
    return chunks;
}

void PassECB(const std::vector<uint8_t>& key, std::vector<uint8_t>& data, int bDecipher)
{
    uint8_t sub[16][48];
    MakeSubkeys(key.data(), sub, 0);
    for (size_t off = 0; off + 8 <= data.size(); off += 8) {
        uint8_t out[8];
        BlockWithSubkeys(sub, &data[off], out, bDecipher, 0);
        memcpy(&data[off], out, 8);
    }
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

int RunEntry(int iVariant, size_t cbWork, char* pszText, int iDirection)
{
    if (!pszText)
        return 1;
    // Longest plain text the form admits: whole hex output plus NUL must fit.
    const size_t cbMaxPlain = (cbWork == 256) ? 120 : 256;
    std::vector<char> work(cbWork, 0);
    std::string key = CipherMakeKey(iVariant, "");
    size_t len = strnlen(pszText, cbWork - 1);
    memcpy(work.data(), pszText, len);
    std::string result;
    if (iDirection) {
        // Text beyond the form's limit is outside the contract; it is cut
        // rather than allowed to overrun the work area.
        result = CipherEncode(key.c_str(), work.data(), len < cbMaxPlain ? len : cbMaxPlain);
    } else {
        result = CipherDecode(key.c_str(), work.data(), len);
    }
    if (result.size() >= cbWork)
        result.resize(cbWork - 1);
    memcpy(pszText, result.c_str(), result.size() + 1);
    return 1;
}

} // namespace

void CipherBlock(const uint8_t key[8], const uint8_t in[8], uint8_t out[8], int bDecipher, int bStandard)
{
    uint8_t sub[16][48];
    MakeSubkeys(key, sub, bStandard);
    BlockWithSubkeys(sub, in, out, bDecipher, bStandard);
}

std::string CipherEncode(const char* pszKey, const char* pszPlain, size_t cbPlain)
{
    if (cbPlain == 0)
        return std::string();
    std::vector<uint8_t> data((cbPlain + 7) / 8 * 8, 0);
    memcpy(data.data(), pszPlain, cbPlain);
    auto chunks = KeyChunks(pszKey);
    for (size_t i = chunks.size(); i-- > 0;)
        PassECB(chunks[i], data, 0);
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(data.size() * 2);
    for (uint8_t b : data) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

std::string CipherDecode(const char* pszKey, const char* pszHex, size_t cchHex)
{
    if (cchHex == 0)
        return std::string();
    size_t nbytes = (cchHex + 1) / 2;
    std::vector<uint8_t> data((nbytes + 7) / 8 * 8, 0);
    for (size_t i = 0; i < cchHex; ++i) {
        int v = HexValue(pszHex[i]);
        data[i / 2] |= (uint8_t)((i % 2 == 0) ? v << 4 : v);
    }
    auto chunks = KeyChunks(pszKey);
    for (size_t i = 0; i < chunks.size(); ++i)
        PassECB(chunks[i], data, 1);
    size_t n = 0;
    while (n < data.size() && data[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(data.data()), n);
}

std::string CipherMakeKey(int iVariant, const char* pszCallerText)
{
    std::string text;
    const char* caller = pszCallerText ? pszCallerText : "";
    switch (iVariant) {
    case 0: text = std::string(caller) + kVariant0Sentence; break;
    case 1: text = std::string(caller) + kVariant1Text; break;
    case 2: text = std::string(kKeyPrefix) + kVariant2Suffix; break;
    case 3: text = std::string(kKeyPrefix) + kVariant3Suffix; break;
    default: break;
    }
    return CipherEncode(kMasterKey, text.data(), text.size());
}

int CipherPwd(const char*, char* pszText, int iDirection)
{
    return RunEntry(3, 256, pszText, iDirection);
}

int CipherText(const char*, char* pszText, int iDirection)
{
    return RunEntry(2, 256, pszText, iDirection);
}

int CipherLongText(const char*, char* pszText, int iDirection)
{
    return RunEntry(2, 513, pszText, iDirection);
}
