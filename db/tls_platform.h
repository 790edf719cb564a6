// What differs between the two builds for "kelmora-db tls": how the openssl
// command is found and run, and how a file is named to the programs of this
// machine that are not Win32 programs (the database server, the client
// library of the Winelib build).  Everything else of the verb is in tls.cpp.
#pragma once
#include <string>
#include <vector>

// The openssl command to run when none is named: on Windows the first
// openssl.exe on the PATH or in the usual install folders (Git for Windows,
// OpenSSL for Windows), "" when there is none (the places looked in then go
// into *looked); under Winelib "openssl", found on the PATH when run.
std::string TlsPlatform_FindOpenssl(std::string* looked);
// Runs openssl with args in the folder dir (which must exist); what it
// wrote on its output and error output goes to *output.  Its exit status,
// or -1 when it could not be started (*output then says why).
int TlsPlatform_Run(const std::string& openssl, const std::string& dir, const std::vector<std::string>& args,
                    std::string* output);
// A new empty file only its owner may read or write (an existing file is
// replaced): programs that write into it later keep that.  false with the
// reason in *err.
bool TlsPlatform_CreatePrivateFile(const std::string& path, std::string* err);
// The full name of a file as the database server of this machine reads it
// in its configuration file (a Unix path under Winelib; on Windows the full
// path with forward slashes, which my.ini reads as they are).
std::string TlsPlatform_ServerPath(const std::string& path);
// The full name of a file as the program's client library on this machine
// opens it (config.ini's SSL_CA): a Unix path under Winelib, the Windows
// path on Windows.
std::string TlsPlatform_ClientPath(const std::string& path);
// What an administrator types so that the server's own account may read the
// server's key (one line, for the printed advice).
std::string TlsPlatform_GrantServerRead(const std::string& serverPath);
