// Run by the build: makes the seed component database from the CSV files.
// A stamp beside the build's files records what the seed was made from (the
// two files and the schema); when it differs, or the seed is missing, the
// seed is made again beside the old one and renamed over it, so that a
// reused build tree never keeps the seed of older data. No program run from
// the installed tree writes the seed: only this build step does.

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "db/components_csv.h"
#include "db/engine.h"
#include "db/schema.h"
#include "db/seed_data.h"

namespace {

namespace fs = std::filesystem;

// FNV-1a over the inputs: a change of any byte makes a new seed.
std::string fingerprint(const std::string& componentsCsv, const std::string& kijCsv) {
    std::uint64_t h = 1469598103934665603ULL;
    const auto add = [&](const std::string& text) {
        for (unsigned char c : text) h = (h ^ c) * 1099511628211ULL;
        h = (h ^ 0xff) * 1099511628211ULL;  // keeps "ab"+"c" apart from "a"+"bc"
    };
    add(zolvant::db::detail::readFile(componentsCsv));
    add(zolvant::db::detail::readFile(kijCsv));
    add(zolvant::db::detail::kSchemaSql);
    add(zolvant::db::detail::kKijSchemaSql);
    std::ostringstream out;
    out << std::hex << h;
    return out.str();
}

std::string readStamp(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: zolvant_seed_db DATABASE COMPONENTS_CSV KIJ_CSV STAMP\n";
        return 2;
    }
    const std::string path = argv[1], componentsCsv = argv[2], kijCsv = argv[3], stamp = argv[4];
    try {
        const std::string wanted = fingerprint(componentsCsv, kijCsv);
        std::error_code ec;
        if (fs::exists(fs::symlink_status(path, ec)) && readStamp(stamp) == wanted) return 0;
        const fs::path folder = fs::path(path).parent_path();
        if (!folder.empty()) fs::create_directories(folder);
        const std::string fresh = path + ".new";
        fs::remove(fresh);
        const auto counts = zolvant::db::createSeedDatabase(fresh, componentsCsv, kijCsv);
        fs::rename(fresh, path);  // replaces the old seed at once
        const std::string stampTemp = stamp + ".new";
        {
            std::ofstream out(stampTemp, std::ios::trunc);
            out << wanted << '\n';
            if (!out.flush()) throw std::runtime_error("Cannot write the stamp '" + stampTemp + "'.");
        }
        fs::rename(stampTemp, stamp);
        std::cout << "Created " << path << " with " << counts.components << " components and " << counts.pairs
                  << " interaction parameters.\n";
    } catch (const zolvant::db::DbError& e) {
        std::cerr << e.description() << '\n';
        return 1;
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
