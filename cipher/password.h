// Employees' passwords as they are stored: a salted, slow hash nobody can
// turn back into the password.  The stored text is
//   "$pbkdf2-sha256$<iterations>$<salt, 32 hex digits>$<key, 64 hex digits>"
// (PBKDF2 with HMAC-SHA256 from the platform's cryptography library,
// bcrypt.dll), about 120 characters.  A stored text of any other form is a
// password enciphered the older, reversible way (CipherPwd): it is still
// accepted at login and re-stored as a hash then.
#pragma once
#include <string>

// Iterations of a new hash.
enum { PWD_ITERATIONS = 120000 };

// A new stored text for the password (a fresh random salt each time); ""
// when the platform's library failed (nothing must then be stored).
std::string Pwd_Hash(const char* pszPlain);
// 1 when the stored text is a hash of this module's form.
int Pwd_IsHash(const char* pszStored);
// 1 when the password is the one the hash was made of, 0 when it is not or
// the text is not a hash; -1 when the platform's library failed.  The key
// is compared in constant time.
int Pwd_Verify(const char* pszPlain, const char* pszStored);
// A new random password for a reset: 8 characters of digits and lower-case
// letters that cannot be taken for one another (no 0/o, 1/l/i); "" when the
// platform's random source failed.
std::string Pwd_OneTime();
// The derived key itself (for checking the platform's function against
// published vectors): 1 on success.
int Pwd_Derive(const char* pszPlain, const unsigned char* pSalt, size_t cbSalt, unsigned long long iIterations,
               unsigned char* pKey, size_t cbKey);
