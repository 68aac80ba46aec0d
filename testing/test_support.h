#pragma once
// What the tests of every folder share: a fresh current folder, waiting for a
// condition, and the settings file lines the fixtures are made of.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>

namespace tindora::testkit {

// A fresh folder made the current directory for one test, where time.txt is
// looked for; the previous current directory comes back afterwards.
class TempFolder {
public:
    TempFolder()
    {
        m_previous = std::filesystem::current_path();
        m_path = std::filesystem::temp_directory_path() /
                 ("tindora-test-" + std::to_string(std::random_device{}()) + "-" + std::to_string(++s_count));
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

// Asks `done` every `every` until it holds; false when `timeout` passed first.
inline bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10),
                    std::chrono::milliseconds every = std::chrono::milliseconds(20))
{
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(every);
    }
    return true;
}

// Lines of time.txt as the program writes them: a slot set to 8:30:00 and to
// 9:00:00, and one the user never touched.
inline const std::string kOldLine = "\"8\",\"30\",\"0\",\"5\",\"old\"\r\n";
inline const std::string kNewLine = "\"9\",\"0\",\"0\",\"5\",\"new\"\r\n";
inline const std::string kUntouchedLine = "\"\",\"\",\"\",\"5\",\"\"\r\n";

} // namespace tindora::testkit
