// Run by the build: creates the seed component database from the CSV when no
// database is there yet. An existing file may hold the user's edits, so it is
// left exactly as it is.

#include <filesystem>
#include <iostream>

#include "db/components_csv.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: zolvant_seed_db DATABASE CSV\n";
        return 2;
    }
    const std::string path = argv[1];
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return 0;
    try {
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (!folder.empty()) std::filesystem::create_directories(folder);
        const int count = zolvant::db::createDatabaseFromCsv(path, argv[2]);
        std::cout << "Created " << path << " with " << count << " components.\n";
    } catch (const zolvant::db::DbError& e) {
        if (e.number() == zolvant::db::kAlreadyExists) return 0;  // made meanwhile by another build
        std::cerr << e.description() << '\n';
        return 1;
    } catch (const std::filesystem::filesystem_error& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
