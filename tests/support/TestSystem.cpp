#include "TestSystem.h"

#ifdef _WIN32
#include <windows.h>
#endif

bool RunsUnderWine() {
#ifdef _WIN32
    // Only Wine's ntdll exports its version.
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}
