#pragma once
// One running copy per settings file: a second start with the same time.txt
// (the same current folder) brings the running copy's window forward and
// leaves, instead of announcing everything twice and overwriting its saves.

#include <windows.h>

namespace tindora::win32 {

class SingleInstance {
public:
    // Claims the settings file of the current folder for this process.
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another copy already runs with the same settings file.
    bool isFirst() const { return m_first; }
    // The first copy tells where its window is, once it exists.
    void publishWindow(HWND window);
    // A later copy: asks the first one to bring its window forward.
    void bringFirstForward(UINT message) const;

private:
    HANDLE m_mapping = nullptr;
    volatile LONG* m_shared = nullptr;
    bool m_first = true;
};

} // namespace tindora::win32
