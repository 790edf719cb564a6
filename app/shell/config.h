// Reading "config.ini": the first-run flag, the follow-up thresholds and the
// connection settings of the server.  The file lies in the program folder;
// the program writes only "SOFT"/"INITIALIZE" to it.
#pragma once
#include "app/shell/main_param.h"

#define ZT_CONFIG_FILE "config.ini"

// Reads the file "<p->szAppDir>\config.ini" into p->bRemind1/2 and p->sql
// (szHost is always "127.0.0.1").  When "SOFT"/"INITIALIZE" reads as 0, the
// first-run notice is shown once (owned by p->hOwner) and "1" is written.
void Config_Read(tagZT_Main_Param* p);

// A decimal number as the configuration holds it: leading blanks and one
// sign accepted, conversion stops at the first non-digit, no digits give 0.
// Longer numbers wrap modulo 2^32, so the low bits are always exact.
int32_t Config_ToInt(const char* psz);
