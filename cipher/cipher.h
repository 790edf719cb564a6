// Field cipher: turns short texts into lower-case hexadecimal cipher text and
// back.  Passwords, the server password of config.ini, owner and client
// telephones and permission texts are stored only in this form, so every
// detail of it is fixed: texts written by the program must be readable by the
// data library and by every existing database.
//
// The entry points take (context, text, direction): direction 1 enciphers the
// text in place, 0 deciphers it in place.  The context (the program folder)
// is not used.  All return 1.
//
//   CipherPwd       key variant 3, 256-byte form (plain text up to 120 bytes)
//   CipherText      key variant 2, 256-byte form
//   CipherLongText  key variant 2, 512-byte form (plain text up to 256 bytes)
//
// The caller's buffer must hold the result: 2 hex digits per plain byte,
// rounded up to whole 8-byte blocks, plus the NUL.
#pragma once
#include <cstdint>
#include <string>

enum { CIPHER_DECODE = 0, CIPHER_ENCODE = 1 };

int CipherPwd(const char* pszContext, char* pszText, int iDirection);
int CipherText(const char* pszContext, char* pszText, int iDirection);
int CipherLongText(const char* pszContext, char* pszText, int iDirection);

// The layers beneath the entry points.
// Working key of a variant (0..3; others give the working key of an empty key text).
std::string CipherMakeKey(int iVariant, const char* pszCallerText);
// Enciphers plain text under a key text; the result is lower-case hex.
std::string CipherEncode(const char* pszKey, const char* pszPlain, size_t cbPlain);
// Deciphers hex cipher text under a key text; the result ends at the first zero byte.
std::string CipherDecode(const char* pszKey, const char* pszHex, size_t cchHex);

// The 8-byte block transform.  bStandard = 0 is the system's transform (bit 1
// is the least significant bit of byte 0, permuted choice 2 takes bit 47 in
// place of 48); bStandard = 1 is plain DES as published, for checking the
// core against known vectors.
void CipherBlock(const uint8_t key[8], const uint8_t in[8], uint8_t out[8], int bDecipher, int bStandard);
