// ZTData: employees' passwords as the library keeps them.  Callers hand the
// library a password enciphered with CipherPwd (as they always have); what
// is stored is a salted slow hash of it (cipher/password.h), made here.
#pragma once
#include <string>

// The stored text for a password handed over enciphered; "" when the hash
// could not be made (nothing must be stored then).
std::string PasswordToStore(const char* pszEnciphered);
// The login check once the connection is known to be there (FD_LG_Check).
int CheckLoginPassword(int iEmp, const char* pszEnciphered);
