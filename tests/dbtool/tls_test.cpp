// kelmora-db tls: the agency's CA and the server's certificate, read back
// with openssl as a server and a client would read them.
#include "tests/support/test_support.h"
#include "tests/support/tls_support.h"
#include "db/dbtool.h"

#include <algorithm>

namespace {

std::string Sh(const std::string& cmd)
{
    std::string out;
    TestShell(cmd, &out);
    return out;
}

std::string Trimmed(std::string s)
{
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
        s.pop_back();
    return s;
}

// Whether a file named as the printed lines name it exists (a Unix path in
// the Winelib build, a Windows one in the Windows build).
bool Exists(const std::string& nativePath)
{
#if defined(__WINE__)
    return TestShell("test -f '" + nativePath + "'") == 0;
#else
    return GetFileAttributesA(nativePath.c_str()) != INVALID_FILE_ATTRIBUTES;
#endif
}

// Whether only the file's owner may read it: its Unix mode in the Winelib
// build, its access list (one entry, this account's) in the Windows build.
// Under Wine a Windows program's file keeps no access list of its own: Wine
// turns the one it is made with into a Unix mode, giving the owner's group
// what the owner may do, so there the check is that no other user may read.
bool OwnersAlone(const char* path)
{
    std::string unixPath = path;
    for (char& c : unixPath)
        if (c == '\\')
            c = '/';
#if defined(__WINE__)
    return Sh("stat -c %a " + unixPath) == "600\n";
#else
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
        std::string mode = Sh("stat -c %a " + unixPath);
        printf("note: under Wine %s has the mode %s", path, mode.c_str());
        return mode.size() == 4 && mode[2] == '0';
    }
    DWORD n = 0;
    GetFileSecurityA(path, DACL_SECURITY_INFORMATION, nullptr, 0, &n);
    std::vector<BYTE> sd(n ? n : 1);
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    if (!GetFileSecurityA(path, DACL_SECURITY_INFORMATION, sd.data(), n, &n) ||
        !GetSecurityDescriptorDacl(sd.data(), &present, &acl, &defaulted) || !present || !acl)
        return false;
    HANDLE token = nullptr;
    std::vector<BYTE> user(256);
    DWORD cb = 0;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    bool ok = token && GetTokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &cb);
    if (token)
        CloseHandle(token);
    ACCESS_ALLOWED_ACE* ace = nullptr;
    if (!ok || acl->AceCount != 1 || !GetAce(acl, 0, reinterpret_cast<void**>(&ace)) ||
        ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE)
        return false;
    return EqualSid(reinterpret_cast<PSID>(&ace->SidStart), reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid) != 0;
#endif
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST(TlsTool, MakesTheAgencysCaAndAServerCertificateForItsNamesAndNeverReplacesTheCa)
{
    TestShell("rm -rf tls_a tls_b tls_c");
    DbToolTlsRequest req;
    req.dir = "tls_a";
    req.names = {"db.agency.lan", "192.168.1.20", "127.0.0.2", "DB.Agency.lan"};
    DbToolTlsResult res;
    std::string err;
    ASSERT_TRUE(DbTool_Tls(req, &res, &err, TestTlsRunner())) << err;
    EXPECT_FALSE(res.caKept);

    // The server's certificate comes from the CA and names this machine and
    // every name given (each once), addresses as addresses.
    std::string host = Trimmed(Sh("hostname -s"));
    EXPECT_EQ(TestShell("openssl verify -CAfile tls_a/ca.pem tls_a/server-cert.pem >/dev/null 2>&1"), 0);
    std::string san = Sh("openssl x509 -in tls_a/server-cert.pem -noout -ext subjectAltName");
    EXPECT_TRUE(Has(san, "DNS:" + host + ",") || Has(san, "DNS:" + host + "\n")) << san;
    EXPECT_TRUE(Has(san, "DNS:db.agency.lan")) << san;
    EXPECT_FALSE(Has(san, "DB.Agency.lan")) << san;
    EXPECT_TRUE(Has(san, "IP Address:192.168.1.20")) << san;
    EXPECT_TRUE(Has(san, "IP Address:127.0.0.2")) << san;
    EXPECT_TRUE(Has(Sh("openssl x509 -in tls_a/server-cert.pem -noout -ext basicConstraints,extendedKeyUsage"),
                    "TLS Web Server Authentication"));
    EXPECT_TRUE(Has(Sh("openssl x509 -in tls_a/ca.pem -noout -ext basicConstraints"), "CA:TRUE"));
    EXPECT_EQ(Sh("openssl pkey -in tls_a/server-key.pem -pubout"),
              Sh("openssl x509 -in tls_a/server-cert.pem -noout -pubkey"))
        << "the key is the certificate's";
    // The keys are the owner's alone; nothing of the run is left over.
    for (const char* key : {"tls_a\\ca-key.pem", "tls_a\\server-key.pem"})
        EXPECT_TRUE(OwnersAlone(key)) << key;
    EXPECT_EQ(Sh("ls tls_a | tr '\\n' ' '"), "ca-key.pem ca.pem ca.srl server-cert.pem server-key.pem ");

    // The lines printed for the server and the desks name the files as they
    // are read on this machine.
    for (const std::string& line : {"ssl_cert = " + res.cert + "\n", "ssl_key = " + res.key + "\n",
                                    "ssl_ca = " + res.ca + "\n", std::string("require_secure_transport = ON\n"),
                                    std::string("\nSSL=1\n"), "\nSSL_CA=" + res.clientCa + "\n"})
        EXPECT_TRUE(Has(res.text, line)) << line << "\nin:\n" << res.text;
    for (const std::string& f : {res.cert, res.key, res.ca, res.clientCa})
        EXPECT_TRUE(Exists(f)) << f;

    // Another run keeps the CA (the desks' copies stay good) and signs a new
    // certificate for the names now given.
    std::string ca = TestReadFile("tls_a/ca.pem"), caKey = TestReadFile("tls_a/ca-key.pem");
    std::string cert = TestReadFile("tls_a/server-cert.pem");
    req.names = {"db2.agency.lan"};
    ASSERT_TRUE(DbTool_Tls(req, &res, &err, TestTlsRunner())) << err;
    EXPECT_TRUE(res.caKept);
    EXPECT_TRUE(res.serverReplaced);
    EXPECT_TRUE(Has(res.text, "kept")) << res.text;
    EXPECT_EQ(TestReadFile("tls_a/ca.pem"), ca);
    EXPECT_EQ(TestReadFile("tls_a/ca-key.pem"), caKey);
    EXPECT_NE(TestReadFile("tls_a/server-cert.pem"), cert);
    EXPECT_EQ(TestShell("openssl verify -CAfile tls_a/ca.pem tls_a/server-cert.pem >/dev/null 2>&1"), 0);
    san = Sh("openssl x509 -in tls_a/server-cert.pem -noout -ext subjectAltName");
    EXPECT_TRUE(Has(san, "DNS:db2.agency.lan")) << san;
    EXPECT_FALSE(Has(san, "192.168.1.20")) << san;

    // A CA key without its certificate is refused, and left as it is.
    TestShell("mkdir tls_b && cp tls_a/ca-key.pem tls_b/");
    req.dir = "tls_b";
    EXPECT_FALSE(DbTool_Tls(req, &res, &err, TestTlsRunner()));
    EXPECT_TRUE(Has(err, "ca.pem")) << err;
    EXPECT_EQ(TestReadFile("tls_b/ca-key.pem"), caKey);
    EXPECT_EQ(Sh("ls tls_b | tr '\\n' ' '"), "ca-key.pem ");

    // A name that is no host name or address never reaches openssl.
    req.dir = "tls_c";
    req.names = {"db.agency.lan", "db agency\nDNS.9 = evil.example"};
    EXPECT_FALSE(DbTool_Tls(req, &res, &err, TestTlsRunner()));
    EXPECT_TRUE(Has(err, "neither a host name nor an address")) << err;
    EXPECT_NE(TestShell("test -e tls_c"), 0) << "nothing was made";
}

// Without openssl nothing is written and the administrator is told what to
// install or name (through the tool's own runner, in both builds).
TEST(TlsTool, WithoutOpensslNothingIsWrittenAndTheAdministratorIsToldWhatToInstall)
{
    TestShell("rm -rf tls_none");
    DbToolTlsRequest req;
    req.dir = "tls_none";
    req.openssl = "no-such-openssl";
    DbToolTlsResult res;
    std::string err;
    EXPECT_FALSE(DbTool_Tls(req, &res, &err));
    EXPECT_TRUE(Has(err, "no-such-openssl")) << err;
    EXPECT_TRUE(Has(err, "--openssl FILE")) << err;
    EXPECT_EQ(Sh("ls -A tls_none 2>/dev/null | tr '\\n' ' '"), "") << "nothing was left in the folder";
    EXPECT_TRUE(res.text.empty());
#if !defined(__WINE__)
    // A Windows machine without it: the places looked in are named.
    req.openssl.clear();
    if (GetFileAttributesA("C:\\Program Files\\Git\\usr\\bin\\openssl.exe") == INVALID_FILE_ATTRIBUTES) {
        EXPECT_FALSE(DbTool_Tls(req, &res, &err));
        EXPECT_TRUE(Has(err, "the openssl command was not found (looked in PATH")) << err;
        EXPECT_TRUE(Has(err, "Git for Windows")) << err;
    }
#endif
}

}  // namespace
