#pragma once
// Jet's values from their bytes in a row: little-endian numbers, the column
// types by code, text in UTF-16 (Jet 4, ACE) or a code page (Jet 3), and
// Currency as the double nearest its exact decimal. The Access file reader
// finds the bytes; nothing here reads a file.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace zolvant::db::jet {

std::uint32_t le32(const unsigned char* p);
std::uint64_t le64(const unsigned char* p);

// The type as Access names it: "Text", "Double", "Long Integer", ...
std::string typeName(int type);
bool isNumberType(int type);
bool isTextType(int type);
// The bytes a value of a fixed-size type takes in a row (0: not fixed).
int storedSize(int type);

// Jet 4 text: UTF-16LE, or after FF FE the compressed form, in which a NUL
// byte switches between one byte per character (high byte zero) and two.
// nullopt: not valid UTF-16 (odd length, a lone surrogate).
std::optional<std::string> decodeJet4Text(const unsigned char* p, std::size_t n);

// Jet 3 text: one or two bytes per character in the file's code page.
std::optional<std::string> decodeCodePage(const unsigned char* p, std::size_t n, const std::string& charset);

// A Currency (ten-thousandths) as the double nearest its exact decimal.
std::optional<double> currencyAsDouble(std::int64_t v);

}  // namespace zolvant::db::jet
