// Loading and saving time.txt: the whole window operation on the real file
// system, the format alone, and as a baseline the plain truncate-and-write of
// the same bytes that a save without a safe replace would do.
#include "file_settings_store.h"
#include "headless_runtime.h"
#include "settings_file.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using namespace tindora;
namespace fs = std::filesystem;

const std::string kFile = "\"8\",\"30\",\"0\",\"5\",\"\xBF\xAA\xBB\xE1\"\r\n"
                          "\"12\",\"0\",\"0\",\"10\",\"\xCE\xE7\xB7\xB9, lunch\"\r\n"
                          "\"\",\"\",\"\",\"5\",\"\"\r\n";

// A fresh folder as the current directory, with Form1 on the real file store.
struct OnDisk {
    OnDisk()
    {
        previous = fs::current_path();
        folder = fs::temp_directory_path() / "tindora-settings-bench";
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::current_path(folder);
        std::FILE* f = std::fopen("time.txt", "wb");
        std::fwrite(kFile.data(), 1, kFile.size(), f);
        std::fclose(f);
        runtime.keepLog = false;
        form.Load();
    }
    ~OnDisk()
    {
        fs::current_path(previous);
        fs::remove_all(folder);
    }
    fs::path previous, folder;
    headless::HeadlessRuntime runtime;
    headless::HeadlessTrayIcon trayIcon;
    std::unique_ptr<settings::SettingsStore> store = settings::makeFileSettingsStore();
    Form1 form{FormServices{runtime, trayIcon, *store}};
};

void BM_LoadFromDisk(benchmark::State& state)
{
    OnDisk disk;
    for (auto _ : state)
        disk.form.载入固定时间();
    benchmark::DoNotOptimize(disk.form.time1);
}
BENCHMARK(BM_LoadFromDisk)->UseRealTime();

void BM_SaveToDisk(benchmark::State& state)
{
    OnDisk disk;
    for (auto _ : state)
        benchmark::DoNotOptimize(disk.form.保存固定时间());
}
BENCHMARK(BM_SaveToDisk)->UseRealTime();

// Baseline: what a save costs when it only truncates and writes, unflushed.
void BM_PlainOverwriteBaseline(benchmark::State& state)
{
    OnDisk disk;
    for (auto _ : state) {
        std::FILE* f = std::fopen("time.txt", "wb");
        std::fwrite(kFile.data(), 1, kFile.size(), f);
        std::fclose(f);
    }
}
BENCHMARK(BM_PlainOverwriteBaseline)->UseRealTime();

void BM_ReadFormat(benchmark::State& state)
{
    const settings::TextCodec& codec = settings::settingsFileCodec();
    for (auto _ : state)
        benchmark::DoNotOptimize(settings::readSettings(kFile, codec));
}
BENCHMARK(BM_ReadFormat);

void BM_WriteFormat(benchmark::State& state)
{
    const settings::TextCodec& codec = settings::settingsFileCodec();
    const settings::SettingsTexts texts = {
        {{"8", "30", "0", "5", "开会"}, {"12", "0", "0", "10", "午饭, lunch"}, {"", "", "", "5", ""}}};
    for (auto _ : state)
        benchmark::DoNotOptimize(settings::writeSettings(texts, codec));
}
BENCHMARK(BM_WriteFormat);

} // namespace
