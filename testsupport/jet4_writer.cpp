#include "testsupport/jet4_writer.h"

#include <cstring>
#include <fstream>
#include <stdexcept>

namespace zolvant::db::test {

namespace {

constexpr std::size_t kPage = 4096;

void put16(std::string& b, std::size_t at, unsigned v) {
    b[at] = static_cast<char>(v & 0xff);
    b[at + 1] = static_cast<char>((v >> 8) & 0xff);
}
void put32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
}
std::string le(std::uint64_t v, int n) {
    std::string s(n, '\0');
    for (int i = 0; i < n; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xff);
    return s;
}

// UTF-8 to UTF-16 code units (input is trusted: tests write it).
std::u16string utf16(const std::string& s) {
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = s[i];
        char32_t cp;
        int n;
        if (c < 0x80) { cp = c; n = 1; }
        else if (c >> 5 == 6) { cp = c & 0x1f; n = 2; }
        else if (c >> 4 == 14) { cp = c & 0x0f; n = 3; }
        else { cp = c & 0x07; n = 4; }
        for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3f);
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xd800 + (cp >> 10));
            out += static_cast<char16_t>(0xdc00 + (cp & 0x3ff));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string ucs2(const std::string& utf8) {
    std::string b;
    for (char16_t u : utf16(utf8)) b += le(u, 2);
    return b;
}

bool isFixed(JetType t) { return t != kJetText && t != kJetMemo && t != kJetOle; }
int fixedSize(JetType t) {
    switch (t) {
    case kJetBool: return 0;
    case kJetByte: return 1;
    case kJetInteger: return 2;
    case kJetLong: case kJetSingle: return 4;
    case kJetCurrency: case kJetDouble: case kJetDateTime: return 8;
    case kJetDecimal: return 17;
    default: return 0;
    }
}

// The RC4 stream Jet uses to hide part of its header page.
void rc4(unsigned char* data, std::size_t n, const unsigned char* key, std::size_t keyLen) {
    unsigned char s[256];
    for (int i = 0; i < 256; ++i) s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % keyLen]) & 0xff;
        std::swap(s[i], s[j]);
    }
    for (std::size_t k = 0, i = 0, j = 0; k < n; ++k) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        data[k] ^= s[(s[i] + s[j]) & 0xff];
    }
}

// One row in Jet 4's layout: column count, fixed columns, variable columns,
// then (backwards) the end offset, the variable offsets, their count, and the
// null mask (a set bit: not Null).
std::string encodeRow(const std::vector<JetColumn>& cols, const std::vector<JetCell>& cells) {
    if (cells.size() != cols.size()) throw std::logic_error("a row needs one cell per column");
    const std::size_t n = cols.size();
    std::string fixedPart, varPart;
    std::vector<unsigned> varOffsets;
    std::string nullMask((n + 7) / 8, '\0');
    std::size_t fixedTotal = 0;
    for (const JetColumn& c : cols) fixedTotal += isFixed(c.type) ? fixedSize(c.type) : 0;
    for (std::size_t i = 0; i < n; ++i) {
        const JetColumn& c = cols[i];
        const JetCell& v = cells[i];
        if (v) nullMask[i / 8] = static_cast<char>(nullMask[i / 8] | (1 << (i % 8)));
        if (isFixed(c.type)) {
            std::string bytes = v ? *v : std::string();
            bytes.resize(fixedSize(c.type), '\0');
            fixedPart += bytes;
        } else {
            varOffsets.push_back(static_cast<unsigned>(2 + fixedTotal + varPart.size()));
            if (v) varPart += *v;
        }
    }
    std::string row = le(n, 2) + fixedPart + varPart;
    if (!varOffsets.empty()) {
        std::string tail = le(2 + fixedTotal + varPart.size(), 2);  // end of the variable data
        for (std::size_t k = varOffsets.size(); k-- > 0;) tail += le(varOffsets[k], 2);
        row += tail + le(varOffsets.size(), 2);
    }
    return row + nullMask;
}

// A data page (or the usage-map page) holding rows, stored from the page's end.
std::string dataPage(std::uint32_t tdefPage, const std::vector<std::string>& rows) {
    std::string p(kPage, '\0');
    p[0] = 0x01;
    p[1] = 0x01;
    put32(p, 4, tdefPage);
    put16(p, 12, static_cast<unsigned>(rows.size()));
    std::size_t end = kPage;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::size_t start = end - rows[r].size();
        std::memcpy(&p[start], rows[r].data(), rows[r].size());
        put16(p, 14 + 2 * r, static_cast<unsigned>(start));
        end = start;
    }
    const std::size_t used = 14 + 2 * rows.size();
    if (end < used) throw std::logic_error("rows overflow the page");
    put16(p, 2, static_cast<unsigned>(end - used));
    return p;
}

std::string tdefPage(const JetTable& t, std::uint32_t usageRow, std::uint32_t freeRow, std::size_t rowCount) {
    std::string p(kPage, '\0');
    p[0] = 0x02;
    p[1] = 0x01;
    const std::size_t n = t.columns.size();
    std::size_t varCount = 0;
    for (const JetColumn& c : t.columns) varCount += isFixed(c.type) ? 0 : 1;
    put32(p, 16, static_cast<std::uint32_t>(rowCount));
    p[40] = 0x4e;  // a user table
    put16(p, 41, static_cast<unsigned>(n));
    put16(p, 43, static_cast<unsigned>(varCount));
    put16(p, 45, static_cast<unsigned>(n));
    put32(p, 47, 0);  // no indexes
    put32(p, 51, 0);
    put32(p, 55, usageRow);
    put32(p, 59, freeRow);
    std::size_t at = 63;
    unsigned fixedOffset = 0, varIndex = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const JetColumn& c = t.columns[i];
        p[at] = static_cast<char>(c.type);
        put16(p, at + 5, static_cast<unsigned>(i));
        put16(p, at + 9, static_cast<unsigned>(i));
        const bool fixed = isFixed(c.type);
        if (c.type == kJetText || c.type == kJetMemo) put16(p, at + 11, 0x409);  // sort order: General
        if (c.type == kJetDecimal) {
            p[at + 11] = 18;  // precision
            p[at + 12] = 4;   // scale
        }
        p[at + 15] = static_cast<char>((fixed ? 0x01 : 0x00) | 0x02);
        if (c.type == kJetText) p[at + 16] = 0x01;  // compressed Unicode allowed
        if (fixed) {
            put16(p, at + 21, fixedOffset);
            fixedOffset += static_cast<unsigned>(fixedSize(c.type));
            put16(p, at + 23, static_cast<unsigned>(fixedSize(c.type)));
        } else {
            put16(p, at + 7, varIndex++);
            put16(p, at + 23, c.type == kJetText ? static_cast<unsigned>(2 * c.textLength) : 0);
        }
        at += 25;
    }
    for (const JetColumn& c : t.columns) {
        const std::string name = ucs2(c.name);
        put16(p, at, static_cast<unsigned>(name.size()));
        std::memcpy(&p[at + 2], name.data(), name.size());
        at += 2 + name.size();
    }
    put16(p, at, 0xffff);  // no variable-column usage maps follow
    at += 2;
    put32(p, 8, static_cast<std::uint32_t>(at - 8));
    put16(p, 2, static_cast<unsigned>(kPage - at - 8));
    return p;
}

// A type-0 usage map: the pages of the list, as bits from page 0.
std::string usageMap(const std::vector<std::uint32_t>& pages) {
    std::string m(5 + 64, '\0');
    for (std::uint32_t pg : pages) {
        if (pg / 8 >= 64) throw std::logic_error("page beyond the usage map");
        m[5 + pg / 8] = static_cast<char>(m[5 + pg / 8] | (1 << (pg % 8)));
    }
    return m;
}

// Splits rows over data pages.
std::vector<std::vector<std::string>> pagesOf(const std::vector<std::string>& rows, int rowsPerPage) {
    std::vector<std::vector<std::string>> pages;
    std::size_t used = kPage;
    for (const std::string& r : rows) {
        const std::size_t need = r.size() + 2;
        if (pages.empty() || used < 14 + need ||
            (rowsPerPage > 0 && static_cast<int>(pages.back().size()) >= rowsPerPage)) {
            pages.emplace_back();
            used = kPage - 14;
        }
        pages.back().push_back(r);
        used -= need;
    }
    return pages;
}

}  // namespace

JetCell jetByte(std::uint8_t v) { return le(v, 1); }
JetCell jetInteger(std::int16_t v) { return le(static_cast<std::uint16_t>(v), 2); }
JetCell jetLong(std::int32_t v) { return le(static_cast<std::uint32_t>(v), 4); }
JetCell jetCurrency(std::int64_t v) { return le(static_cast<std::uint64_t>(v), 8); }
JetCell jetSingle(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return le(bits, 4);
}
JetCell jetDouble(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    return le(bits, 8);
}
JetCell jetText(const std::string& utf8, bool compressIfPossible) {
    const std::u16string units = utf16(utf8);
    bool compressible = compressIfPossible && !units.empty();
    for (char16_t u : units) compressible = compressible && u != 0 && u < 0x100;
    std::string b;
    if (compressible) {
        b = "\xff\xfe";
        for (char16_t u : units) b += static_cast<char>(u);
    } else {
        for (char16_t u : units) b += le(u, 2);
    }
    return b;
}

JetCell jetMemo(const std::string& utf8) {
    const std::string text = *jetText(utf8);
    return le(static_cast<std::uint32_t>(text.size()) | 0x80000000u, 4) + std::string(8, '\0') + text;
}

std::string buildJet4File(const std::vector<JetTable>& tables, const JetOptions& options) {
    // MSysObjects: one row per table, itself included (as a system table).
    JetTable catalog{"MSysObjects",
                     {{"Id", kJetLong}, {"ParentId", kJetLong}, {"Name", kJetText, 128}, {"Type", kJetInteger},
                      {"Flags", kJetLong}, {"LvProp", kJetOle}, {"Database", kJetMemo}},
                     {},
                     1};
    // Pages: 0 header, 1 usage maps, 2 the catalog's definition, 3 its data;
    // then each table's definition followed by its data pages.
    std::vector<std::string> tableRows;
    std::vector<std::vector<std::vector<std::string>>> tablePages;
    std::vector<std::uint32_t> tdefOf;
    std::uint32_t next = 4;
    for (const JetTable& t : tables) {
        std::vector<std::string> rows;
        for (const auto& cells : t.rows) rows.push_back(encodeRow(t.columns, cells));
        tablePages.push_back(pagesOf(rows, options.rowsPerPage));
        tdefOf.push_back(next);
        next += 1 + static_cast<std::uint32_t>(tablePages.back().size());
    }
    catalog.rows.push_back({jetLong(2), jetLong(0), jetText("MSysObjects"), jetInteger(1),
                            jetLong(static_cast<std::int32_t>(0x80000002u)), kJetNull, kJetNull});
    for (std::size_t i = 0; i < tables.size(); ++i)
        catalog.rows.push_back({jetLong(static_cast<std::int32_t>(tdefOf[i])), jetLong(0), jetText(tables[i].name),
                                jetInteger(static_cast<std::int16_t>(tables[i].catalogType)), jetLong(0), kJetNull,
                                tables[i].linkedFile.empty() ? kJetNull : jetMemo(tables[i].linkedFile)});
    std::vector<std::string> catalogRows;
    for (const auto& cells : catalog.rows) catalogRows.push_back(encodeRow(catalog.columns, cells));

    // Usage-map rows on page 1: two per table (pages owned, pages with room).
    std::vector<std::string> maps{usageMap({3}), usageMap({3})};
    for (std::size_t i = 0; i < tables.size(); ++i) {
        std::vector<std::uint32_t> owned;
        for (std::size_t k = 0; k < tablePages[i].size(); ++k) owned.push_back(tdefOf[i] + 1 + static_cast<std::uint32_t>(k));
        maps.push_back(usageMap(owned));
        maps.push_back(usageMap(owned));
    }

    std::string file;
    // Header page: tag, engine name, version, then the RC4-hidden block with
    // the code page (1252), a zero database key (no encoding) and the sort
    // order.
    std::string header(kPage, '\0');
    header[1] = 0x01;
    const char* name = options.ace ? "Standard ACE DB" : "Standard Jet DB";
    std::memcpy(&header[4], name, std::strlen(name) + 1);
    put32(header, 0x14, options.ace ? 2 : 1);
    put16(header, 0x3c, 1252);
    put32(header, 0x3e, 0);
    put16(header, 0x6e, 0x409);
    const unsigned char key[4] = {0xc7, 0xda, 0x39, 0x6b};
    rc4(reinterpret_cast<unsigned char*>(&header[0x18]), 128, key, 4);
    file += header;
    file += dataPage(0, maps);
    file += tdefPage(catalog, (1u << 8) | 0u, (1u << 8) | 1u, catalog.rows.size());
    file += dataPage(2, catalogRows);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const std::uint32_t usage = (1u << 8) | static_cast<std::uint32_t>(2 + 2 * i);
        file += tdefPage(tables[i], usage, usage + 1, tables[i].rows.size());
        for (const auto& rows : tablePages[i]) file += dataPage(tdefOf[i], rows);
    }
    return file;
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace zolvant::db::test
