#pragma once
// A fresh directory under the system's temporary directory, removed with everything in it when
// the object goes. Paths are returned as strings because the code under test takes strings.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace orp::test {

class ScratchDir {
public:
    ScratchDir() {
        std::mt19937_64 gen{std::random_device{}()};
        const auto base = std::filesystem::temp_directory_path();
        do {
            path_ = base / ("orp-test-" + std::to_string(gen()));
        } while (!std::filesystem::create_directory(path_));
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string Path() const { return path_.string(); }
    // The directory with a trailing '/', the form the program's own directory is passed in.
    std::string Dir() const { return path_.string() + "/"; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // Names of the entries in the directory, sorted.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace orp::test
