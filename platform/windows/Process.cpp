#include "platform/Process.h"

#include "platform/Errors.h"
#include "platform/Paths.h"
#include "platform/windows/WindowsText.h"

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

namespace {

/// An inheritable copy of one of this process's standard handles, for a child to take as its
/// own: the handle itself may not be inheritable, and changing it would change this process.
/// Holds the handle as it is when it cannot be copied (no such stream).
class TInheritedStandardHandle {
public:
    explicit TInheritedStandardHandle(DWORD stream) : handle_(::GetStdHandle(stream)) {
        HANDLE copy = nullptr;
        const HANDLE self = ::GetCurrentProcess();
        if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE &&
            ::DuplicateHandle(self, handle_, self, &copy, 0, TRUE, DUPLICATE_SAME_ACCESS) != 0) {
            handle_ = copy;
            owned_ = true;
        }
    }
    TInheritedStandardHandle(const TInheritedStandardHandle&) = delete;
    TInheritedStandardHandle& operator=(const TInheritedStandardHandle&) = delete;
    ~TInheritedStandardHandle() {
        if (owned_) {
            ::CloseHandle(handle_);
        }
    }

    HANDLE Handle() const { return handle_; }

private:
    HANDLE handle_;
    bool owned_ = false;
};

} // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (arguments == nullptr) {
        return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc)
                        : std::vector<std::string>();
    }
    std::vector<std::string> texts;
    for (int at = 1; at < count; ++at) {
        texts.push_back(Utf8FromWide(arguments[at]));
    }
    ::LocalFree(arguments);
    return texts;
}

void UseBinaryStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

bool StandardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

int RunProgramInstead(const std::filesystem::path& program, char**) {
    // The program reads its arguments from the UTF-16 command line, as this one does: the same
    // line gives it the same words, whatever their characters and quotes.
    std::wstring commandLine = ::GetCommandLineW();
    const TInheritedStandardHandle input(STD_INPUT_HANDLE);
    const TInheritedStandardHandle output(STD_OUTPUT_HANDLE);
    const TInheritedStandardHandle error(STD_ERROR_HANDLE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.Handle();
    startup.hStdOutput = output.Handle();
    startup.hStdError = error.Handle();
    PROCESS_INFORMATION process{};
    if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         nullptr, &startup, &process) == 0) {
        throw EProgramStartError(PathText(program), LastWindowsError());
    }
    ::CloseHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}
