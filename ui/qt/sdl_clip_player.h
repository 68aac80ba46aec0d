#pragma once
// Plays the alert clip through SDL2's audio: PipeWire, PulseAudio or ALSA,
// whichever the desktop has, or SDL's disk driver for tests.
//
// Failure contract: nothing here blocks, throws or ends the program. With no
// sound device or server a play request is dropped (and said once on stderr).

#include <cstdint>
#include <span>

namespace tindora::qt {

// 16-bit little-endian PCM, interleaved, as the clip carries it.
struct PcmClip {
    int sampleRate = 0;
    int channels = 0;
    std::span<const std::uint8_t> samples;

    // How long the clip sounds, in milliseconds.
    std::int64_t durationMillis() const;
};

class SdlClipPlayer {
public:
    explicit SdlClipPlayer(PcmClip clip) : m_clip(clip) {}
    ~SdlClipPlayer();
    SdlClipPlayer(const SdlClipPlayer&) = delete;
    SdlClipPlayer& operator=(const SdlClipPlayer&) = delete;

    // Starts the clip from its beginning and returns at once; a request while
    // it sounds starts it again.
    void play();
    // Closes the device once the clip has run out, so that an idle program
    // keeps no audio thread busy. True when nothing is left to play.
    bool releaseIfDone();
    bool isOpen() const { return m_device != 0; }
    // Whether a failure has been told (stderr) in this run.
    bool failureReported() const { return m_failureReported; }

private:
    bool open();
    // Says why there is no sound, once per run: every later request fails the
    // same way. Always false, for the caller to return.
    bool fail(const char* what, const char* reason);

    PcmClip m_clip;
    std::uint32_t m_device = 0;
    bool m_audioStarted = false;
    bool m_failureReported = false;
};

} // namespace tindora::qt
