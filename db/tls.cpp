// kelmora-db tls: the agency's own CA and the server's certificate signed
// by it, made with the openssl command, and the lines that put them to use
// in the server's configuration and in the desks' config.ini.
#include "db/dbtool.h"
#include "db/tls_platform.h"
#include "common/platform.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

// The files of the folder.  New files are made under the .new names and
// moved into place once the certificate has been checked against its CA.
const char kCaKey[] = "ca-key.pem";
const char kCa[] = "ca.pem";
const char kKey[] = "server-key.pem";
const char kCert[] = "server-cert.pem";
const char kCaKeyNew[] = "ca-key.new.pem";
const char kCaNew[] = "ca.new.pem";
const char kKeyNew[] = "server-key.new.pem";
const char kCertNew[] = "server-cert.new.pem";
const char kConf[] = "kelmora-tls.cnf";
const char kCsr[] = "server.csr";
const char kSerial[] = "ca.srl";

const int kCaDays = 7300;       // twenty years: the desks keep its certificate
const int kServerDays = 3650;   // ten years

std::string Join(const std::string& dir, const char* name)
{
    if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/'))
        return dir + name;
    return dir + "\\" + name;
}

bool IsFile(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Makes the folder and the folders above it that are missing.
bool MakeFolder(const std::string& dir)
{
    for (size_t i = 1; i <= dir.size(); ++i) {
        if (i < dir.size() && dir[i] != '\\' && dir[i] != '/')
            continue;
        if (dir[i - 1] == ':' || dir[i - 1] == '\\' || dir[i - 1] == '/')
            continue;
        CreateDirectoryA(dir.substr(0, i).c_str(), nullptr);
    }
    return IsFolder(dir);
}

bool IsIPv4(const std::string& s)
{
    int parts = 0;
    size_t i = 0;
    while (i <= s.size()) {
        size_t start = i;
        int value = 0;
        while (i < s.size() && isdigit(static_cast<unsigned char>(s[i])) && i - start < 3)
            value = value * 10 + (s[i++] - '0');
        if (i == start || value > 255)
            return false;
        ++parts;
        if (i == s.size())
            break;
        if (s[i] != '.')
            return false;
        ++i;
    }
    return parts == 4;
}

bool IsIPv6(const std::string& s)
{
    if (s.size() < 2 || s.size() > 45 || std::count(s.begin(), s.end(), ':') < 2)
        return false;
    for (char c : s)
        if (!isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.')
            return false;
    return true;
}

// A host name: labels of letters, digits and hyphens, none beginning or
// ending with a hyphen, at most 63 characters each and 253 in all.
bool IsDnsName(const std::string& s)
{
    if (s.empty() || s.size() > 253)
        return false;
    size_t label = 0;
    for (size_t i = 0; i <= s.size(); ++i) {
        if (i == s.size() || s[i] == '.') {
            if (label == 0 || label > 63 || s[i - 1] == '-')
                return false;
            label = 0;
            continue;
        }
        char c = s[i];
        if (!isalnum(static_cast<unsigned char>(c)) && c != '-')
            return false;
        if (label == 0 && c == '-')
            return false;
        ++label;
    }
    return true;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
}

// The names this machine goes by on the network: its host name and, when
// it has one, its full DNS name.
std::vector<std::string> MachineNames()
{
    std::vector<std::string> names;
    for (COMPUTER_NAME_FORMAT f : {ComputerNameDnsHostname, ComputerNameDnsFullyQualified}) {
        char buf[256];
        DWORD n = sizeof buf;
        if (GetComputerNameExA(f, buf, &n) && n > 0 && n < sizeof buf)
            names.push_back(std::string(buf, n));
    }
    return names;
}

std::string Today(int plusDays)
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    u.QuadPart += static_cast<ULONGLONG>(plusDays) * 24 * 3600 * 10000000ULL;
    ft.dwLowDateTime = u.LowPart;
    ft.dwHighDateTime = u.HighPart;
    SYSTEMTIME t;
    FileTimeToSystemTime(&ft, &t);
    char buf[32];
    snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.wYear, t.wMonth, t.wDay);
    return buf;
}

bool WriteText(const std::string& path, const std::string& text, std::string* err)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = h != INVALID_HANDLE_VALUE && WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size();
    if (h != INVALID_HANDLE_VALUE)
        ok = CloseHandle(h) && ok;
    if (!ok)
        *err = "cannot write " + path + " (error " + std::to_string(GetLastError()) + ")";
    return ok;
}

// The openssl configuration of both certificates: the CA may sign
// certificates and nothing else; the server's names its host names and
// addresses, which a client checks against the host it connected to.
std::string OpensslConfig(const std::vector<std::string>& names)
{
    std::string text =
        "# Made by kelmora-db tls for this run; removed afterwards.\n"
        "[req]\n"
        "distinguished_name = req_dn\n"
        "prompt = no\n"
        "[req_dn]\n"
        "CN = placeholder\n"
        "[ca_ext]\n"
        "basicConstraints = critical, CA:TRUE, pathlen:0\n"
        "keyUsage = critical, keyCertSign, cRLSign\n"
        "subjectKeyIdentifier = hash\n"
        "[server_ext]\n"
        "basicConstraints = critical, CA:FALSE\n"
        "keyUsage = critical, digitalSignature, keyEncipherment\n"
        "extendedKeyUsage = serverAuth\n"
        "subjectKeyIdentifier = hash\n"
        "authorityKeyIdentifier = keyid\n"
        "subjectAltName = @server_names\n"
        "[server_names]\n";
    int dns = 0, ip = 0;
    for (const std::string& n : names) {
        if (IsIPv4(n) || IsIPv6(n))
            text += "IP." + std::to_string(++ip) + " = " + n + "\n";
        else
            text += "DNS." + std::to_string(++dns) + " = " + n + "\n";
    }
    return text;
}

struct Openssl {
    DbToolRunner run;
    std::string command, dir;
    std::string* err;

    bool operator()(const std::vector<std::string>& args)
    {
        std::string output;
        int rc = run(command, dir, args, &output);
        if (rc == 0)
            return true;
        std::string line = command;
        for (const std::string& a : args)
            line += " " + a;
        while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
            output.pop_back();
        if (rc < 0)
            *err = output + "\nthe openssl command is needed: install it (the Debian package openssl; on Windows "
                            "OpenSSL for Windows, or Git for Windows, which carries it) or name it with --openssl FILE";
        else
            *err = "openssl failed (exit status " + std::to_string(rc) + "): " + line + "\n" + output;
        return false;
    }
};

}  // namespace

bool DbTool_Tls(const DbToolTlsRequest& req, DbToolTlsResult* res, std::string* err, DbToolRunner run)
{
    *res = DbToolTlsResult();
    if (req.dir.empty()) {
        *err = "usage: kelmora-db tls DIR [NAME|ADDRESS ...]";
        return false;
    }
    // The names the server's certificate carries: this machine's own and
    // those given, each once.
    std::vector<std::string> names;
    auto add = [&](const std::string& name) {
        for (const std::string& n : names)
            if (Lower(n) == Lower(name))
                return;
        names.push_back(name);
    };
    for (const std::string& n : MachineNames())
        if (IsDnsName(n))
            add(n);
    for (const std::string& n : req.names) {
        if (!IsIPv4(n) && !IsIPv6(n) && !IsDnsName(n)) {
            *err = "\"" + n + "\" is neither a host name nor an address; nothing was written";
            return false;
        }
        add(n);
    }
    if (names.empty()) {
        *err = "this machine's host name cannot go into a certificate: give the server's names and addresses "
               "(kelmora-db tls DIR NAME|ADDRESS ...); nothing was written";
        return false;
    }

    const std::string& dir = req.dir;
    bool caKey = IsFile(Join(dir, kCaKey)), caCert = IsFile(Join(dir, kCa));
    if (caKey != caCert) {
        *err = Join(dir, caKey ? kCaKey : kCa) + " is there without " + (caKey ? kCa : kCaKey) +
               ": a CA needs both.  Put the missing file back, or move the other one away to make a new CA "
               "(every desk then needs the new " + kCa + "); nothing was written";
        return false;
    }
    if (!MakeFolder(dir)) {
        *err = "cannot make the folder " + dir;
        return false;
    }

    Openssl openssl = {run ? run : TlsPlatform_Run, req.openssl, dir, err};
    if (openssl.command.empty()) {
        std::string looked;
        openssl.command = run ? "openssl" : TlsPlatform_FindOpenssl(&looked);
        if (openssl.command.empty()) {
            *err = "the openssl command was not found (looked in " + looked +
                   "): install OpenSSL for Windows or Git for Windows (which carries it), or name it with "
                   "--openssl FILE; or make the folder with kelmora-db tls on another machine that has openssl "
                   "and copy it here.  Nothing was written";
            return false;
        }
    }

    const char* newFiles[] = {kCaKeyNew, kCaNew, kKeyNew, kCertNew, kConf, kCsr};
    auto cleanUp = [&] {
        for (const char* f : newFiles)
            DeleteFileA(Join(dir, f).c_str());
    };
    cleanUp();
    bool newCa = !caKey;
    const char* caKeyFile = newCa ? kCaKeyNew : kCaKey;
    const char* caFile = newCa ? kCaNew : kCa;
    std::string host = names[0];
    bool ok = WriteText(Join(dir, kConf), OpensslConfig(names), err);
    if (ok && newCa) {
        ok = TlsPlatform_CreatePrivateFile(Join(dir, kCaKeyNew), err) &&
             openssl({"genpkey", "-quiet", "-algorithm", "RSA", "-pkeyopt", "rsa_keygen_bits:3072", "-out", kCaKeyNew}) &&
             openssl({"req", "-x509", "-new", "-config", kConf, "-extensions", "ca_ext", "-key", kCaKeyNew, "-subj",
                      "/O=Kelmora/CN=Kelmora CA " + host, "-days", std::to_string(kCaDays), "-sha256", "-out",
                      kCaNew});
    }
    ok = ok && TlsPlatform_CreatePrivateFile(Join(dir, kKeyNew), err) &&
         openssl({"genpkey", "-quiet", "-algorithm", "RSA", "-pkeyopt", "rsa_keygen_bits:2048", "-out", kKeyNew}) &&
         openssl({"req", "-new", "-config", kConf, "-key", kKeyNew, "-subj", "/O=Kelmora/CN=" + host, "-out", kCsr}) &&
         openssl({"x509", "-req", "-in", kCsr, "-CA", caFile, "-CAkey", caKeyFile, "-CAserial", kSerial,
                  "-CAcreateserial", "-days", std::to_string(kServerDays), "-sha256", "-extfile", kConf,
                  "-extensions", "server_ext", "-out", kCertNew}) &&
         openssl({"verify", "-CAfile", caFile, kCertNew});
    // Into place: a CA only where none is (a CA key is never replaced), the
    // server's files over the earlier ones.
    if (ok && newCa &&
        (!MoveFileExA(Join(dir, kCaKeyNew).c_str(), Join(dir, kCaKey).c_str(), 0) ||
         !MoveFileExA(Join(dir, kCaNew).c_str(), Join(dir, kCa).c_str(), 0))) {
        *err = "cannot move the new CA into " + dir + " (error " + std::to_string(GetLastError()) + ")";
        ok = false;
    }
    res->serverReplaced = IsFile(Join(dir, kCert)) || IsFile(Join(dir, kKey));
    if (ok && (!MoveFileExA(Join(dir, kKeyNew).c_str(), Join(dir, kKey).c_str(), MOVEFILE_REPLACE_EXISTING) ||
               !MoveFileExA(Join(dir, kCertNew).c_str(), Join(dir, kCert).c_str(), MOVEFILE_REPLACE_EXISTING))) {
        *err = "cannot move the server's new certificate into " + dir + " (error " + std::to_string(GetLastError()) +
               ")";
        ok = false;
    }
    cleanUp();
    if (!ok)
        return false;

    res->caKept = !newCa;
    res->names = names;
    res->ca = TlsPlatform_ServerPath(Join(dir, kCa));
    res->caKey = TlsPlatform_ServerPath(Join(dir, kCaKey));
    res->cert = TlsPlatform_ServerPath(Join(dir, kCert));
    res->key = TlsPlatform_ServerPath(Join(dir, kKey));
    res->clientCa = TlsPlatform_ClientPath(Join(dir, kCa));

    std::string list;
    for (const std::string& n : names)
        list += (list.empty() ? "" : ", ") + n;
    std::string& t = res->text;
    t += newCa ? "A new CA of the agency:\n" : "The CA already in the folder is kept (the desks' ca.pem stays valid):\n";
    t += "  " + res->ca + "      its certificate: every desk gets a copy\n";
    t += "  " + res->caKey + "  its key: only you may read it; keep a copy offline, it makes certificates "
         "the desks trust\n";
    t += std::string(res->serverReplaced ? "A new certificate of the server (the earlier one is replaced), "
                                           : "The server's certificate, ") +
         "for " + list + ", valid until " + Today(kServerDays) + ":\n";
    t += "  " + res->cert + "\n";
    t += "  " + res->key + "  its key\n";
    t += "\n1. Add these lines to the server's configuration (a file of /etc/mysql/mariadb.conf.d/ on Debian, my.ini "
         "on Windows) and restart the server:\n\n";
    t += "[mariadb]\n";
    t += "ssl_cert = " + res->cert + "\n";
    t += "ssl_key = " + res->key + "\n";
    t += "ssl_ca = " + res->ca + "\n";
    t += "require_secure_transport = ON\n\n";
    t += "   require_secure_transport refuses every connection over the network that is not encrypted; leave it\n"
         "   out while desks still connect without SSL.  The server's own account must be able to read its key:\n"
         "     " + TlsPlatform_GrantServerRead(res->key) + "\n";
    t += "\n2. Give the program's account encrypted connections only:\n"
         "     kelmora-db --user root --password ... --require-ssl account USER PASSWORD HOSTPATTERN\n";
    t += "\n3. Copy ca.pem to every desk and name it in the [SERVER] section of its config.ini (the path where it "
         "lies on that desk):\n\n";
    t += "SSL=1\n";
    t += "SSL_CA=" + res->clientCa + "\n\n";
    t += "   kelmora-db --ssl-ca FILE --out config.ini config USER PASSWORD DATABASE PORT HOST writes both; HOST must\n"
         "   be one of the certificate's names: " + list + "\n";
    return true;
}
