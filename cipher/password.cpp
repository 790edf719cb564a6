#include "cipher/password.h"

#include <windows.h>
// (Wine's header declares the functions without C linkage for C++.)
extern "C" {
#include <bcrypt.h>
}

#include <cstdlib>
#include <cstring>

namespace {

const char kPrefix[] = "$pbkdf2-sha256$";
enum { SALT_BYTES = 16, KEY_BYTES = 32 };

bool Random(unsigned char* p, size_t cb)
{
    return BCryptGenRandom(nullptr, p, (ULONG)cb, BCRYPT_USE_SYSTEM_PREFERRED_RNG) == 0;
}

std::string Hex(const unsigned char* p, size_t cb)
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < cb; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

int Nibble(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Exactly cb bytes of lower-case hex from p (cb * 2 digits, then '$' or NUL).
bool Unhex(const char* p, unsigned char* out, size_t cb)
{
    for (size_t i = 0; i < cb; ++i) {
        int hi = Nibble(p[2 * i]), lo = hi < 0 ? -1 : Nibble(p[2 * i + 1]);
        if (lo < 0)
            return false;
        out[i] = (unsigned char)(hi << 4 | lo);
    }
    return true;
}

// The parts of a stored hash; false when the text is not one.
bool Parse(const char* s, unsigned long long* pIter, unsigned char* salt, unsigned char* key)
{
    if (!s || strncmp(s, kPrefix, sizeof kPrefix - 1) != 0)
        return false;
    const char* p = s + sizeof kPrefix - 1;
    char* end = nullptr;
    if (*p < '1' || *p > '9')
        return false;
    unsigned long long n = strtoull(p, &end, 10);
    if (!end || *end != '$' || n == 0 || n > 100000000ull)
        return false;
    p = end + 1;
    if (!Unhex(p, salt, SALT_BYTES) || p[2 * SALT_BYTES] != '$')
        return false;
    p += 2 * SALT_BYTES + 1;
    if (!Unhex(p, key, KEY_BYTES) || p[2 * KEY_BYTES] != 0)
        return false;
    *pIter = n;
    return true;
}

}  // namespace

int Pwd_Derive(const char* pszPlain, const unsigned char* pSalt, size_t cbSalt, unsigned long long iIterations,
               unsigned char* pKey, size_t cbKey)
{
    BCRYPT_ALG_HANDLE alg = nullptr;
    if (BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA256_ALGORITHM, nullptr, BCRYPT_ALG_HANDLE_HMAC_FLAG) != 0)
        return 0;
    NTSTATUS s = BCryptDeriveKeyPBKDF2(alg, (PUCHAR)pszPlain, (ULONG)strlen(pszPlain), (PUCHAR)pSalt, (ULONG)cbSalt,
                                       iIterations, pKey, (ULONG)cbKey, 0);
    BCryptCloseAlgorithmProvider(alg, 0);
    return s == 0 ? 1 : 0;
}

std::string Pwd_Hash(const char* pszPlain)
{
    unsigned char salt[SALT_BYTES], key[KEY_BYTES];
    if (!pszPlain || !Random(salt, sizeof salt) || !Pwd_Derive(pszPlain, salt, sizeof salt, PWD_ITERATIONS, key, sizeof key))
        return "";
    std::string s = kPrefix + std::to_string((int)PWD_ITERATIONS) + "$" + Hex(salt, sizeof salt) + "$" + Hex(key, sizeof key);
    SecureZeroMemory(key, sizeof key);
    return s;
}

int Pwd_IsHash(const char* pszStored)
{
    unsigned long long n;
    unsigned char salt[SALT_BYTES], key[KEY_BYTES];
    return Parse(pszStored, &n, salt, key) ? 1 : 0;
}

int Pwd_Verify(const char* pszPlain, const char* pszStored)
{
    unsigned long long n;
    unsigned char salt[SALT_BYTES], want[KEY_BYTES], got[KEY_BYTES];
    if (!pszPlain || !Parse(pszStored, &n, salt, want))
        return 0;
    if (!Pwd_Derive(pszPlain, salt, sizeof salt, n, got, sizeof got))
        return -1;
    unsigned char diff = 0;
    for (size_t i = 0; i < KEY_BYTES; ++i)
        diff |= (unsigned char)(got[i] ^ want[i]);
    SecureZeroMemory(got, sizeof got);
    return diff == 0 ? 1 : 0;
}

std::string Pwd_OneTime()
{
    static const char letters[] = "23456789abcdefghjkmnpqrstuvwxyz";
    const unsigned n = sizeof letters - 1;   // 31
    std::string s;
    while (s.size() < 8) {
        unsigned char b[16];
        if (!Random(b, sizeof b))
            return "";
        // Bytes of 248 and above are dropped so every character is as likely.
        for (unsigned char c : b)
            if (c < 248 && s.size() < 8)
                s += letters[c % n];
    }
    return s;
}
