#pragma once
// A fresh folder made the current directory for one test, where time.txt is
// looked for; the previous current directory comes back afterwards.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>

namespace tindora::settings {

class TempFolder {
public:
    TempFolder()
    {
        m_previous = std::filesystem::current_path();
        m_path = std::filesystem::temp_directory_path() /
                 ("tindora-settings-" + std::to_string(std::random_device{}()) + "-" + std::to_string(++s_count));
        // Test programs run side by side: a folder that exists belongs to another.
        if (!std::filesystem::create_directories(m_path))
            throw std::runtime_error("temporary folder already exists: " + m_path.string());
        std::filesystem::current_path(m_path);
    }
    ~TempFolder()
    {
        std::filesystem::current_path(m_previous);
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    static std::string read(const std::filesystem::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void write(const std::filesystem::path& file, const std::string& bytes)
    {
        std::ofstream(file, std::ios::binary) << bytes;
    }

private:
    static inline int s_count = 0;
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

} // namespace tindora::settings
