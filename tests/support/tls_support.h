// Certificates of the tests, made by the set-up tool's own maker
// (DbTool_Tls, what "kelmora-db tls" runs).
#pragma once
#include "db/dbtool.h"

// How the tests have DbTool_Tls run openssl: in the Winelib build through
// the tool's own runner (null); in the Windows build through the host's
// shell, since a Windows program under Wine cannot start and wait for the
// Linux openssl command (and Wine has no openssl.exe of its own).
DbToolRunner TestTlsRunner();
