// Another program holding a file, as an editor or a backup tool can: opens
// the file named on its command line with share mode 0 and keeps it until it
// is ended.
#include <windows.h>

#include <shellapi.h>

int wmain()
{
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count != 2)
        return 2;
    // The test looks at the file until it is held, and its look can come at
    // the very moment of this open: that is no reason to give up.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 3000 && file == INVALID_HANDLE_VALUE; ++tries) {
        file = CreateFileW(args[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_SHARING_VIOLATION)
            return 1;
        if (file == INVALID_HANDLE_VALUE)
            Sleep(10);
    }
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    Sleep(INFINITE);
    return 0;
}
