// Field cipher: the block transform against published DES vectors, the
// system's departures, the two field forms and the properties callers rely on.
#include "tests/support/test_support.h"
#include "cipher/cipher.h"

#include <cstring>
#include <random>

namespace {

void FromHex(const char* hex, uint8_t out[8])
{
    for (int i = 0; i < 8; ++i) {
        unsigned v = 0;
        sscanf(hex + 2 * i, "%2x", &v);
        out[i] = (uint8_t)v;
    }
}

std::string Hex(const uint8_t* p, size_t n)
{
    std::string s;
    char b[3];
    for (size_t i = 0; i < n; ++i) {
        snprintf(b, sizeof b, "%02X", p[i]);
        s += b;
    }
    return s;
}

bool IsLowerHex(const std::string& s)
{
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

std::string Enc(int (*f)(const char*, char*, int), const std::string& plain)
{
    char buf[1100] = {0};
    memcpy(buf, plain.data(), plain.size());
    EXPECT_EQ(1, f(".", buf, CIPHER_ENCODE));
    return buf;
}

std::string Dec(int (*f)(const char*, char*, int), const std::string& hex)
{
    char buf[1100] = {0};
    memcpy(buf, hex.data(), hex.size());
    EXPECT_EQ(1, f(".", buf, CIPHER_DECODE));
    return buf;
}

std::string RandomText(std::mt19937& rng, size_t n)
{
    std::uniform_int_distribution<int> byte(1, 255);
    std::string s(n, 'x');
    for (auto& c : s)
        c = (char)byte(rng);
    return s;
}

} // namespace

TEST(CipherBlock, StandardModeReproducesPublishedDesVectors)
{
    struct { const char* key; const char* plain; const char* cipher; } vectors[] = {
        {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
        {"0E329232EA6D0D73", "8787878787878787", "0000000000000000"},
        {"0123456789ABCDEF", "4E6F772069732074", "3FA40E8A984D4815"},
        {"0101010101010101", "95F8A5E5DD31D900", "8000000000000000"},
    };
    for (auto& v : vectors) {
        uint8_t key[8], in[8], out[8], back[8];
        FromHex(v.key, key);
        FromHex(v.plain, in);
        CipherBlock(key, in, out, 0, 1);
        EXPECT_EQ(v.cipher, Hex(out, 8)) << "key " << v.key;
        CipherBlock(key, out, back, 1, 1);
        EXPECT_EQ(v.plain, Hex(back, 8));
    }
}

TEST(CipherBlock, SystemTransformDepartsFromStandardAndStillInverts)
{
    uint8_t key[8], in[8], std_out[8], sys_out[8], back[8];
    FromHex("133457799BBCDFF1", key);
    FromHex("0123456789ABCDEF", in);
    CipherBlock(key, in, std_out, 0, 1);
    CipherBlock(key, in, sys_out, 0, 0);
    EXPECT_NE(Hex(std_out, 8), Hex(sys_out, 8));
    CipherBlock(key, sys_out, back, 1, 0);
    EXPECT_EQ(Hex(in, 8), Hex(back, 8));
}

TEST(CipherFields, KnownAnswersStayFixed)
{
    // Stored passwords and telephones were written with these exact texts;
    // any change of the cipher or its key pieces makes them unreadable.
    EXPECT_EQ(96u, CipherMakeKey(2, "").size());
    EXPECT_EQ(96u, CipherMakeKey(3, "").size());
    EXPECT_EQ(CipherMakeKey(2, "ignored"), CipherMakeKey(2, ""));
    EXPECT_NE(CipherMakeKey(2, ""), CipherMakeKey(3, ""));
    EXPECT_EQ("", CipherMakeKey(7, "x"));
    std::string pwd = Enc(CipherPwd, "482913");
    std::string tel = Enc(CipherText, "13800138000");
    EXPECT_EQ(16u, pwd.size());
    EXPECT_EQ(32u, tel.size());
    EXPECT_EQ("48074f185a3ef33b", pwd);
    EXPECT_EQ("02736bbc0618aef157b824591971d124", tel);
}

TEST(CipherFields, EmptyTextStaysEmpty)
{
    EXPECT_EQ("", Enc(CipherPwd, ""));
    EXPECT_EQ("", Dec(CipherPwd, ""));
    EXPECT_EQ("", Enc(CipherLongText, ""));
    EXPECT_EQ("", Dec(CipherText, ""));
}

TEST(CipherFields, LengthsAreWholeBlocksOfLowerCaseHex)
{
    EXPECT_EQ(16u, Enc(CipherText, "12345678").size());
    EXPECT_EQ(32u, Enc(CipherText, "123456789").size());
    std::mt19937 rng(7);
    for (size_t n = 1; n <= 120; ++n) {
        std::string h = Enc(CipherText, RandomText(rng, n));
        EXPECT_EQ((n + 7) / 8 * 16, h.size()) << n;
        EXPECT_EQ(0u, h.size() % 16);
        EXPECT_TRUE(IsLowerHex(h)) << h;
    }
}

TEST(CipherFields, RoundTripsInBothForms)
{
    std::mt19937 rng(42);
    for (size_t n = 1; n <= 120; ++n) {
        std::string t = RandomText(rng, n);
        EXPECT_EQ(t, Dec(CipherPwd, Enc(CipherPwd, t))) << n;
        EXPECT_EQ(t, Dec(CipherText, Enc(CipherText, t))) << n;
    }
    for (size_t n = 1; n <= 256; n += 5) {
        std::string t = RandomText(rng, n);
        EXPECT_EQ(t, Dec(CipherLongText, Enc(CipherLongText, t))) << n;
    }
    std::string t256 = RandomText(rng, 256);
    std::string h = Enc(CipherLongText, t256);
    EXPECT_EQ(512u, h.size());
    EXPECT_EQ(t256, Dec(CipherLongText, h));
    // Chinese text (GBK bytes) round-trips too.
    std::string zh = "业务员权限 房源 · 客源";
    EXPECT_EQ(zh, Dec(CipherText, Enc(CipherText, zh)));
}

TEST(CipherFields, TelephonePrefixGivesCipherPrefix)
{
    std::string whole = Enc(CipherText, "13912345678");
    std::string first8 = Enc(CipherText, "13912345");
    ASSERT_EQ(16u, first8.size());
    EXPECT_EQ(first8, whole.substr(0, 16));
    std::string first16 = Enc(CipherText, "0571-88886666-12");
    EXPECT_EQ(first16.substr(0, 16), Enc(CipherText, "0571-88886666-1234").substr(0, 16));
}

TEST(CipherFields, PasswordsAndTelephonesUseDifferentKeys)
{
    EXPECT_NE(Enc(CipherPwd, "482913"), Enc(CipherText, "482913"));
    // Both field forms of variant 2 agree on texts that fit the short form.
    EXPECT_EQ(Enc(CipherText, "13800138000"), Enc(CipherLongText, "13800138000"));
}

TEST(CipherFields, OverlongTextIsCutNotOverrun)
{
    // Beyond the form's limit the contract ends; the work area must still hold.
    char buf[1100];
    memset(buf, 0, sizeof buf);
    memset(buf, 'x', 300);
    CipherPwd(".", buf, CIPHER_ENCODE);
    EXPECT_EQ(240u, strlen(buf));
    CipherPwd(".", buf, CIPHER_DECODE);
    EXPECT_EQ(std::string(120, 'x'), std::string(buf));
}
