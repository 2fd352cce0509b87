#include "db/access/jet_values.h"

// glib first: mdbtools.h expects its types.
#include <glib.h>
#include <mdbtools.h>

#include <charconv>
#include <cstring>

#include "db/access/access_reader.h"

namespace zolvant::db {

namespace jet {

// ------------------------------------------------------------ bytes

std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint64_t le64(const unsigned char* p) {
    return static_cast<std::uint64_t>(le32(p)) | static_cast<std::uint64_t>(le32(p + 4)) << 32;
}

std::string typeName(int type) {
    switch (type) {
    case MDB_BOOL: return "Yes/No";
    case MDB_BYTE: return "Byte";
    case MDB_INT: return "Integer";
    case MDB_LONGINT: return "Long Integer";
    case MDB_MONEY: return "Currency";
    case MDB_FLOAT: return "Single";
    case MDB_DOUBLE: return "Double";
    case MDB_DATETIME: return "Date/Time";
    case MDB_BINARY: return "Binary";
    case MDB_TEXT: return "Text";
    case MDB_OLE: return "OLE Object";
    case MDB_MEMO: return "Memo";
    case MDB_REPID: return "Replication ID";
    case MDB_NUMERIC: return "Decimal";
    case MDB_COMPLEX: return "Attachment or multi-valued";
    default: return "unknown type " + std::to_string(type);
    }
}

bool isNumberType(int type) {
    return type == MDB_BYTE || type == MDB_INT || type == MDB_LONGINT || type == MDB_MONEY || type == MDB_FLOAT ||
           type == MDB_DOUBLE;
}
bool isTextType(int type) { return type == MDB_TEXT || type == MDB_MEMO; }

int storedSize(int type) {
    switch (type) {
    case MDB_BYTE: return 1;
    case MDB_INT: return 2;
    case MDB_LONGINT: case MDB_FLOAT: return 4;
    case MDB_MONEY: case MDB_DOUBLE: case MDB_DATETIME: return 8;
    default: return 0;
    }
}

// ------------------------------------------------------------ text

namespace {

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xc0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3f));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xe0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (cp & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3f));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (cp & 0x3f));
    }
}

}  // namespace

std::optional<std::string> decodeJet4Text(const unsigned char* p, std::size_t n) {
    std::u16string units;
    if (n >= 2 && p[0] == 0xff && p[1] == 0xfe) {
        bool compressed = true;
        for (std::size_t i = 2; i < n;) {
            if (p[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                units += static_cast<char16_t>(p[i++]);
            } else {
                if (i + 1 >= n) return std::nullopt;
                units += static_cast<char16_t>(p[i] | p[i + 1] << 8);
                i += 2;
            }
        }
    } else {
        if (n % 2 != 0) return std::nullopt;
        for (std::size_t i = 0; i < n; i += 2) units += static_cast<char16_t>(p[i] | p[i + 1] << 8);
    }
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xd800 && u < 0xdc00) {
            if (i + 1 >= units.size() || units[i + 1] < 0xdc00 || units[i + 1] >= 0xe000) return std::nullopt;
            appendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xd800) << 10) + (units[i + 1] - 0xdc00));
            ++i;
        } else if (u >= 0xdc00 && u < 0xe000) {
            return std::nullopt;
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

std::optional<std::string> decodeCodePage(const unsigned char* p, std::size_t n, const std::string& charset) {
    if (n == 0) return std::string();
    gsize written = 0;
    GError* error = nullptr;
    gchar* text = g_convert(reinterpret_cast<const gchar*>(p), static_cast<gssize>(n), "UTF-8", charset.c_str(),
                            nullptr, &written, &error);
    if (error) g_error_free(error);
    if (!text) return std::nullopt;
    std::string out(text, written);
    g_free(text);
    return out;
}

// ------------------------------------------------------------ numbers

std::optional<double> currencyAsDouble(std::int64_t v) {
    // The exact decimal of v / 10000, then the double nearest it.
    const bool negative = v < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / 10000) + ".";
    const std::string frac = std::to_string(magnitude % 10000);
    text += std::string(4 - frac.size(), '0') + frac;
    double d = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), d);
    if (r.ec != std::errc()) return std::nullopt;
    return d;
}

}  // namespace jet

double singleAsDouble(float value) {
    char buf[64];
    const auto written = std::to_chars(buf, buf + sizeof buf, value);
    double d = 0;
    const auto parsed = std::from_chars(buf, written.ptr, d);
    if (written.ec != std::errc() || parsed.ec != std::errc()) return static_cast<double>(value);
    const float back = static_cast<float>(d);
    if (std::memcmp(&back, &value, sizeof value) != 0) return static_cast<double>(value);
    return d;
}

}  // namespace zolvant::db
