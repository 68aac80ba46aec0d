#include "single_instance.h"

#include <cstdint>
#include <string>

namespace tindora::win32 {
namespace {

// A kernel object name for the full path of time.txt in the current folder.
// Paths are case-insensitive, and an object name cannot hold backslashes: a
// hash of the lower-cased path stands for it.
std::wstring objectName()
{
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetFullPathNameW(L"time.txt", MAX_PATH * 4, path, nullptr);
    std::wstring full(path, length > 0 && length < MAX_PATH * 4 ? length : 0);
    CharLowerBuffW(full.data(), static_cast<DWORD>(full.size()));
    std::uint64_t hash = 1469598103934665603ULL; // FNV-1a
    for (wchar_t c : full) {
        hash ^= static_cast<std::uint16_t>(c);
        hash *= 1099511628211ULL;
    }
    wchar_t name[64];
    wsprintfW(name, L"Local\\Tindora.%08lx%08lx", static_cast<unsigned long>(hash >> 32),
              static_cast<unsigned long>(hash & 0xFFFFFFFFu));
    return name;
}

} // namespace

SingleInstance::SingleInstance()
{
    // A small shared block: its existence marks the running copy, and it
    // carries that copy's window handle.
    m_mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG),
                                   objectName().c_str());
    if (!m_mapping)
        return; // cannot tell: run
    m_first = GetLastError() != ERROR_ALREADY_EXISTS;
    m_shared = static_cast<volatile LONG*>(MapViewOfFile(m_mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(LONG)));
}

SingleInstance::~SingleInstance()
{
    if (m_shared)
        UnmapViewOfFile(const_cast<LONG*>(m_shared));
    if (m_mapping)
        CloseHandle(m_mapping);
}

void SingleInstance::publishWindow(HWND window)
{
    if (m_shared && m_first)
        InterlockedExchange(m_shared, static_cast<LONG>(reinterpret_cast<std::uintptr_t>(window)));
}

void SingleInstance::bringFirstForward(UINT message) const
{
    if (!m_shared)
        return;
    HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(*m_shared)));
    if (!window || !IsWindow(window))
        return;
    // We are the foreground program: let the running copy take the foreground.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    AllowSetForegroundWindow(process);
    PostMessageW(window, message, 0, 0);
}

} // namespace tindora::win32
