// Reading "config.ini": the first-run flag, the follow-up thresholds and the
// connection settings of the server; and where the program keeps its files.
// The program writes only "SOFT"/"INITIALIZE" to the file.
#pragma once
#include "app/shell/main_param.h"

#include <string>
#include <vector>

#define ZT_CONFIG_FILE "config.ini"
// The program's folder under the user's application-data folder.
#define ZT_USER_FOLDER "Kelmora"
// The server address when "SERVER"/"HOST" is missing or empty.
#define ZT_DEFAULT_HOST "127.0.0.1"

// The folder of the running program file, without a closing backslash
// ("" when its path cannot be read).
std::string Config_ProgramFolder();
// The user's own folder of the program, "%APPDATA%\Kelmora" ("" when the
// user has no application-data folder).  Not created here.
std::string Config_UserFolder();
// The files config.ini is looked for in, in order: the current folder at
// start (p->szAppDir), the program's folder, the user's folder; a folder
// that appears twice is tried once.
std::vector<std::string> Config_Places(const tagZT_Main_Param* p);
// The file the last Config_Read read ("" when none was found).
const char* Config_Path();
// The servers of the last Config_Read's HOST that are off this machine and
// reached in plain text because the file says SSL=0 (and names no SSL_CA),
// as "host:port, host:port"; "" when there is none.
std::string Config_PlainTextServers();

// Reads the first config.ini of Config_Places into p->bRemind1/2 and p->sql.
// When "SOFT"/"INITIALIZE" reads as 0, the first-run notice is shown once
// (owned by p->hOwner) and "1" is written.  A missing key takes its
// default: "HOST" 127.0.0.1 (also when empty; several servers or one with
// its own port go to sql.szServers, the first one's host to sql.szHost), "CHARSET" "gbk" (the
// program's texts are GBK; an empty value counts as missing), "PORT" 0 (the
// client's default port), "SSL" 1 when a server of "HOST" is off this
// machine and 0 for loopback only, "SSL_CA" none, the
// follow-up thresholds and the time-outs 0, "PWD" empty.
// Returns 1 when the settings can be used; 0 when no file is found (no
// notice then, and nothing is written) or it cannot be read, "UID" or
// "DATABASE" is missing, "CHARSET" is not gbk, "HOST" or "SSL_CA" does not
// fit its field (37 and 259 characters: cutting would name another
// server or file), a list of servers in "HOST" ("host[:port],...", at most
// 8 and 255 characters) is malformed, or a number is out of its range (REMIND1/2 0-255, PORT
// 0-65535, time-outs 0-86400 seconds, SSL 0-1); the cause is then written
// into pszWhy as one short sentence for the user, naming the file.  The
// values read are stored in every case (numbers keep their low bits).
int Config_Read(tagZT_Main_Param* p, char* pszWhy = nullptr, size_t cbWhy = 0);

// A decimal number as the configuration holds it: leading blanks and one
// sign accepted, conversion stops at the first non-digit, no digits give 0.
// Longer numbers wrap modulo 2^32, so the low bits are always exact.
int32_t Config_ToInt(const char* psz);
