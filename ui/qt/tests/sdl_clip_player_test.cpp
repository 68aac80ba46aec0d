// The SDL2 player against SDL's disk driver, which writes what the device
// would play to a file in real time: the clip's samples reach the output bit
// for bit, a second request starts the clip again, and with no usable audio
// driver a request is dropped without harm.
#include "sdl_clip_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tindora::qt {
namespace {

namespace fs = std::filesystem;

// Two seconds of stereo 16-bit frames in which no two frames are alike, so a
// copy of the clip's start can only be found where the clip starts.
std::vector<std::uint8_t> distinctFrames()
{
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t frame = 0; frame < 88200; ++frame) {
        const std::uint16_t left = static_cast<std::uint16_t>(frame);
        const std::uint16_t right = static_cast<std::uint16_t>(frame >> 16 | 0x5A00);
        for (std::uint16_t sample : {left, right}) {
            bytes.push_back(static_cast<std::uint8_t>(sample));
            bytes.push_back(static_cast<std::uint8_t>(sample >> 8));
        }
    }
    return bytes;
}

std::vector<std::uint8_t> readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Waits (really: this is the device's own pace) until the output holds `bytes`.
bool waitForOutput(const fs::path& path, std::uintmax_t bytes)
{
    for (int i = 0; i < 100; ++i) {
        std::error_code error;
        if (fs::file_size(path, error) >= bytes && !error)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

class SdlClipPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_output = fs::temp_directory_path() / ("tindora_sdl_" + std::to_string(::getpid()) + ".raw");
        fs::remove(m_output);
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", m_output.c_str(), 1);
    }
    void TearDown() override { fs::remove(m_output); }

    fs::path m_output;
    std::vector<std::uint8_t> m_clip = distinctFrames();
};

TEST_F(SdlClipPlayerTest, SamplesReachTheOutputAndASecondRequestStartsAgain)
{
    {
        SdlClipPlayer player(PcmClip{44100, 2, m_clip});
        player.play();
        ASSERT_TRUE(player.isOpen());
        ASSERT_TRUE(waitForOutput(m_output, 64 * 1024));
        player.play();
        ASSERT_TRUE(waitForOutput(m_output, 160 * 1024));
    } // closing the device flushes the output

    const std::vector<std::uint8_t> out = readAll(m_output);
    const std::size_t head = 16 * 1024;
    ASSERT_GE(out.size(), 160u * 1024);
    // SDL plays silence while a device it has just opened is still paused, so
    // on a busy machine a buffer of silence can come before the clip.
    const auto start = std::search(out.begin(), out.end(), m_clip.begin(), m_clip.begin() + head);
    ASSERT_NE(start, out.end()) << "the output does not hold the clip";
    EXPECT_TRUE(std::all_of(out.begin(), start, [](std::uint8_t b) { return b == 0; }))
        << "something other than silence came before the clip";

    // The clip starts over where the second request came: up to there the
    // output is the clip unbroken, from there the clip from its start.
    const auto restart = std::search(start + 4, out.end(), m_clip.begin(), m_clip.begin() + 4096);
    ASSERT_NE(restart, out.end()) << "the second request did not start the clip again";
    const std::size_t at = static_cast<std::size_t>(restart - start);
    EXPECT_GE(at, 64u * 1024 - 32 * 1024);
    EXPECT_TRUE(std::equal(start, restart, m_clip.begin()));
    // The device may write one last buffer of silence (4096 frames) while it
    // closes: compare up to it.
    const std::size_t closingBuffer = 4096 * 4;
    const std::size_t playedAfterRestart = out.size() - static_cast<std::size_t>(restart - out.begin());
    ASSERT_GT(playedAfterRestart, closingBuffer) << "nothing came after the second request";
    const std::size_t after = std::min<std::size_t>(playedAfterRestart - closingBuffer, m_clip.size());
    EXPECT_TRUE(std::equal(restart, restart + static_cast<std::ptrdiff_t>(after), m_clip.begin()));
}

TEST_F(SdlClipPlayerTest, WithoutAnAudioDriverARequestIsDroppedAndSaidOnce)
{
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    SdlClipPlayer player(PcmClip{44100, 2, m_clip});
    ::testing::internal::CaptureStderr();
    player.play();
    player.play();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(player.failureReported());
    EXPECT_EQ(said.find("tindora: no sound: "), 0u) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line for both requests: " << said;
    EXPECT_FALSE(player.isOpen());
    EXPECT_TRUE(player.releaseIfDone());
    EXPECT_FALSE(fs::exists(m_output));
}

TEST_F(SdlClipPlayerTest, TheDeviceClosesOnceTheClipHasRunOut)
{
    const std::vector<std::uint8_t> shortClip(m_clip.begin(), m_clip.begin() + 8820); // 50 ms
    SdlClipPlayer player(PcmClip{44100, 2, shortClip});
    player.play();
    ASSERT_TRUE(player.isOpen());
    bool released = false;
    for (int i = 0; i < 100 && !released; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        released = player.releaseIfDone();
    }
    EXPECT_TRUE(released);
    EXPECT_FALSE(player.isOpen());
}

} // namespace
} // namespace tindora::qt
