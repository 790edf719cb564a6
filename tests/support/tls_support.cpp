#include "tests/support/tls_support.h"
#include "tests/support/test_support.h"

namespace {

#if !defined(__WINE__)
std::string ShellQuote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// The folder is named relative to the current one, which the shell shares.
int RunThroughShell(const std::string& openssl, const std::string& dir, const std::vector<std::string>& args,
                    std::string* output)
{
    std::string cmd = "cd " + ShellQuote(dir) + " && " + ShellQuote(openssl);
    for (const std::string& a : args)
        cmd += " " + ShellQuote(a);
    int rc = TestShell(cmd + " 2>&1", output);
    return rc == 127 ? -1 : rc;
}
#endif

}  // namespace

DbToolRunner TestTlsRunner()
{
#if defined(__WINE__)
    return nullptr;
#else
    return RunThroughShell;
#endif
}
