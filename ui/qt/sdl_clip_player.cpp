#include "sdl_clip_player.h"

#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>

namespace tindora::qt {
namespace {

// SDL2 is loaded on the first play request, not at start: with the audio
// backends it pulls in (PulseAudio, ALSA, codecs, Wayland) it would cost an
// idle program about 2 MB of memory and its start-up a few milliseconds.
struct SdlAudio {
    decltype(&SDL_InitSubSystem) initSubSystem = nullptr;
    decltype(&SDL_QuitSubSystem) quitSubSystem = nullptr;
    decltype(&SDL_GetError) getError = nullptr;
    decltype(&SDL_OpenAudioDevice) openAudioDevice = nullptr;
    decltype(&SDL_CloseAudioDevice) closeAudioDevice = nullptr;
    decltype(&SDL_ClearQueuedAudio) clearQueuedAudio = nullptr;
    decltype(&SDL_QueueAudio) queueAudio = nullptr;
    decltype(&SDL_PauseAudioDevice) pauseAudioDevice = nullptr;
    decltype(&SDL_GetQueuedAudioSize) getQueuedAudioSize = nullptr;
};

template <typename F> bool resolve(void* library, F& function, const char* name)
{
    function = reinterpret_cast<F>(dlsym(library, name));
    return function != nullptr;
}

// Null when the library is not installed.
const SdlAudio* sdlAudio()
{
    static const SdlAudio* const loaded = []() -> const SdlAudio* {
        void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return nullptr;
        static SdlAudio api;
        const bool complete = resolve(library, api.initSubSystem, "SDL_InitSubSystem") &&
                              resolve(library, api.quitSubSystem, "SDL_QuitSubSystem") &&
                              resolve(library, api.getError, "SDL_GetError") &&
                              resolve(library, api.openAudioDevice, "SDL_OpenAudioDevice") &&
                              resolve(library, api.closeAudioDevice, "SDL_CloseAudioDevice") &&
                              resolve(library, api.clearQueuedAudio, "SDL_ClearQueuedAudio") &&
                              resolve(library, api.queueAudio, "SDL_QueueAudio") &&
                              resolve(library, api.pauseAudioDevice, "SDL_PauseAudioDevice") &&
                              resolve(library, api.getQueuedAudioSize, "SDL_GetQueuedAudioSize");
        return complete ? &api : nullptr;
    }();
    return loaded;
}

} // namespace

std::int64_t PcmClip::durationMillis() const
{
    const std::int64_t bytesPerSecond = std::int64_t{sampleRate} * channels * 2;
    return bytesPerSecond > 0 ? static_cast<std::int64_t>(samples.size()) * 1000 / bytesPerSecond : 0;
}

SdlClipPlayer::~SdlClipPlayer()
{
    if (m_device != 0)
        sdlAudio()->closeAudioDevice(m_device);
    if (m_audioStarted)
        sdlAudio()->quitSubSystem(SDL_INIT_AUDIO);
}

bool SdlClipPlayer::open()
{
    const SdlAudio* sdl = sdlAudio();
    if (!sdl)
        return fail("no sound", "libSDL2-2.0.so.0 cannot be loaded");
    if (!m_audioStarted) {
        // Only the audio subsystem: SDL stays away from the display and input.
        if (sdl->initSubSystem(SDL_INIT_AUDIO) != 0)
            return fail("no sound", sdl->getError());
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
    m_device = sdl->openAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (m_device == 0)
        return fail("no sound device", sdl->getError());
    return true;
}

void SdlClipPlayer::play()
{
    if (m_clip.samples.empty())
        return;
    if (m_device == 0 && !open())
        return;
    const SdlAudio* sdl = sdlAudio();
    sdl->clearQueuedAudio(m_device);
    if (sdl->queueAudio(m_device, m_clip.samples.data(), static_cast<Uint32>(m_clip.samples.size())) != 0) {
        fail("the alert clip could not be played", sdl->getError());
        return;
    }
    sdl->pauseAudioDevice(m_device, 0);
}

bool SdlClipPlayer::fail(const char* what, const char* reason)
{
    if (!m_failureReported)
        std::fprintf(stderr, "tindora: %s: %s\n", what, reason);
    m_failureReported = true;
    return false;
}

bool SdlClipPlayer::releaseIfDone()
{
    if (m_device == 0)
        return true;
    if (sdlAudio()->getQueuedAudioSize(m_device) > 0)
        return false;
    sdlAudio()->closeAudioDevice(m_device);
    m_device = 0;
    return true;
}

} // namespace tindora::qt
