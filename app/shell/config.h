// Reading "config.ini": the first-run flag, the follow-up thresholds and the
// connection settings of the server.  The file lies in the program folder;
// the program writes only "SOFT"/"INITIALIZE" to it.
#pragma once
#include "app/shell/main_param.h"

#define ZT_CONFIG_FILE "config.ini"

// Reads the file "<p->szAppDir>\config.ini" into p->bRemind1/2 and p->sql
// (szHost is always "127.0.0.1").  When "SOFT"/"INITIALIZE" reads as 0, the
// first-run notice is shown once (owned by p->hOwner) and "1" is written.
// A missing key takes its default: "CHARSET" "gbk" (the program's texts
// are GBK; an empty value counts as missing), "PORT" 0 (the client's
// default port), the follow-up thresholds and the time-outs 0, "PWD" empty.
// Returns 1 when the settings can be used; 0 when the file is missing (no
// notice then, and nothing is written) or cannot be read, "UID" or
// "DATABASE" is missing, "CHARSET" is not gbk, or a number is out of its
// range (REMIND1/2 0-255, PORT 0-65535, time-outs 0-86400 seconds); the
// cause is then written into pszWhy as one short sentence for the user.
// The values read are stored in every case (numbers keep their low bits).
int Config_Read(tagZT_Main_Param* p, char* pszWhy = nullptr, size_t cbWhy = 0);

// A decimal number as the configuration holds it: leading blanks and one
// sign accepted, conversion stops at the first non-digit, no digits give 0.
// Longer numbers wrap modulo 2^32, so the low bits are always exact.
int32_t Config_ToInt(const char* psz);
