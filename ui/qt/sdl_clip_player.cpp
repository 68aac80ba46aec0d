#include "sdl_clip_player.h"

#include <SDL.h>

#include <cstdio>

namespace tindora::qt {

std::int64_t PcmClip::durationMillis() const
{
    const std::int64_t bytesPerSecond = std::int64_t{sampleRate} * channels * 2;
    return bytesPerSecond > 0 ? static_cast<std::int64_t>(samples.size()) * 1000 / bytesPerSecond : 0;
}

SdlClipPlayer::~SdlClipPlayer()
{
    if (m_device != 0)
        SDL_CloseAudioDevice(m_device);
    if (m_audioStarted)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlClipPlayer::open()
{
    if (!m_audioStarted) {
        // Only the audio subsystem: SDL stays away from the display and input.
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            if (!m_failureReported)
                std::fprintf(stderr, "tindora: no sound: %s\n", SDL_GetError());
            m_failureReported = true;
            return false;
        }
        m_audioStarted = true;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = m_clip.sampleRate;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = static_cast<Uint8>(m_clip.channels);
    wanted.samples = 4096;
    // No callback: the clip is queued whole, so SDL's thread feeds the device
    // and the window never waits for it. No format change is allowed either,
    // so the queued bytes are what the device plays.
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (m_device == 0) {
        if (!m_failureReported)
            std::fprintf(stderr, "tindora: no sound device: %s\n", SDL_GetError());
        m_failureReported = true;
        return false;
    }
    return true;
}

void SdlClipPlayer::play()
{
    if (m_clip.samples.empty())
        return;
    if (m_device == 0 && !open())
        return;
    SDL_ClearQueuedAudio(m_device);
    if (SDL_QueueAudio(m_device, m_clip.samples.data(), static_cast<Uint32>(m_clip.samples.size())) != 0) {
        if (!m_failureReported)
            std::fprintf(stderr, "tindora: the alert clip could not be played: %s\n", SDL_GetError());
        m_failureReported = true;
        return;
    }
    SDL_PauseAudioDevice(m_device, 0);
}

bool SdlClipPlayer::releaseIfDone()
{
    if (m_device == 0)
        return true;
    if (SDL_GetQueuedAudioSize(m_device) > 0)
        return false;
    SDL_CloseAudioDevice(m_device);
    m_device = 0;
    return true;
}

} // namespace tindora::qt
