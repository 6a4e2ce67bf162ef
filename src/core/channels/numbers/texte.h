#pragma once
// UTF-8 text as code points, and the Windows-1252 code page of the 8-bit
// files shared with the Windows programs.

#include <cstddef>
#include <string>
#include <string_view>

// Decodes the code point at byte offset i and advances i past it. A byte that
// does not start a well-formed sequence counts as one character, U+FFFD.
char32_t lisCaractere(std::string_view s, std::size_t& i);
// Appends the UTF-8 form of c (U+FFFD for a value that is no code point).
void ajouteCaractere(std::string& s, char32_t c);

std::u32string versUtf32(std::string_view s);
std::string versUtf8(std::u32string_view s);
std::string versUtf8(char32_t c);

// Number of characters (code points).
std::size_t nbreCaracteres(std::string_view s);
// Byte offset of character n (the end when n is past it).
std::size_t octetDuCaractere(std::string_view s, std::size_t n);
// n characters from character debut (0-based).
std::string_view sousTexte(std::string_view s, std::size_t debut,
                           std::size_t n = std::string_view::npos);

// UTF-8 to Windows-1252 bytes: characters the code page lacks become "?".
// U+0080..U+009F map to the byte of the same value (the one-byte codes of
// the companion data file ride on them).
std::string versWindows1252(std::string_view utf8);
// Windows-1252 bytes to UTF-8 (the five unassigned bytes give U+0081 etc.).
std::string depuisWindows1252(std::string_view octets);
// Case-insensitive comparison of Windows-1252 texts (Latin letters with
// their accents).
bool egauxSansCasse1252(std::string_view a, std::string_view b);
