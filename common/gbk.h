// GBK text: where characters begin and end.  A byte from 0x81 to 0xFE
// starts a double-byte character and takes the byte after it as its trail;
// every other byte is a character of its own.
#pragma once
#include <cstddef>

// Whether c starts a double-byte character.
inline bool Gbk_IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
// Whether c may follow a lead byte in a well-formed text (0x40..0x7E,
// 0x80..0xFE): what the server and its client library take as a pair.
inline bool Gbk_IsTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE); }

// The length of the longest start of s (len bytes) that holds at most max
// bytes and ends on a whole character: a double-byte character that would
// be split, or a lead byte whose trail byte is missing, is left out.
size_t Gbk_CutLen(const char* s, size_t len, size_t max);

// Copies the text src into dst of cb bytes, NUL-terminated, cut to cb - 1
// bytes on a whole character (Gbk_CutLen).  A null src gives an empty text.
void Gbk_CopyCut(char* dst, size_t cb, const char* src);
