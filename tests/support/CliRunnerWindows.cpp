#include "CliRunner.h"
#include "platform/Paths.h"

#include <windows.h>

#include <psapi.h>

namespace {

/// The word as CommandLineToArgvW and the C runtime read it back: quoted, with the
/// backslashes before a quote doubled and the quote escaped.
std::wstring QuotedWord(const std::wstring& word) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t character : word) {
        if (character == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(character == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += character;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::filesystem::path CliPath() {
    return std::filesystem::absolute(PathFromText(PELLORAN_CLI_PATH));
}

std::wstring CommandLine(const std::vector<std::string>& arguments) {
    std::wstring line = QuotedWord(CliPath().native());
    for (const std::string& argument : arguments) {
        line += L" " + QuotedWord(PathFromText(argument).native());
    }
    return line;
}

/// A handle the child inherits as one of its standard streams.
class TInheritedFile {
public:
    TInheritedFile(const std::filesystem::path& fileName, DWORD access, DWORD disposition) {
        SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        handle_ = ::CreateFileW(fileName.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inherited, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    TInheritedFile(const TInheritedFile&) = delete;
    TInheritedFile& operator=(const TInheritedFile&) = delete;
    ~TInheritedFile() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle_);
        }
    }

    HANDLE Handle() const { return handle_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

/// What RunCli and RunCliMeasuringMemory share: the child started with its streams on the
/// given files, waited for to its end; the exit code and the peak working set (KiB), or -1 as
/// status when it could not be started.
TCliMemoryResult RunToEnd(const std::vector<std::string>& arguments,
                          const std::filesystem::path& folder, const std::filesystem::path& out,
                          const std::filesystem::path& err) {
    const TInheritedFile input(L"NUL", GENERIC_READ, OPEN_EXISTING);
    const TInheritedFile output(out, GENERIC_WRITE, CREATE_ALWAYS);
    const TInheritedFile error(err, GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.Handle();
    startup.hStdOutput = output.Handle();
    startup.hStdError = error.Handle();
    std::wstring line = CommandLine(arguments);
    const std::filesystem::path program = CliPath();
    const std::filesystem::path currentFolder = std::filesystem::absolute(folder);
    PROCESS_INFORMATION process{};
    TCliMemoryResult result;
    if (::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                         nullptr, currentFolder.c_str(), &startup, &process) == 0) {
        return result;
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    if (::GetExitCodeProcess(process.hProcess, &exitCode) != 0) {
        result.status = static_cast<int>(exitCode);
    }
    PROCESS_MEMORY_COUNTERS counters{};
    if (::GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters) != 0) {
        result.peakKib = static_cast<long>(counters.PeakWorkingSetSize / 1024);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return result;
}

} // namespace

TCliResult RunCli(const std::vector<std::string>& arguments, const std::filesystem::path& folder) {
    const TTemporaryFolder outputs;
    TCliResult result;
    result.status = RunToEnd(arguments, folder, outputs / "out", outputs / "err").status;
    result.out = ReadTestFile(outputs / "out");
    result.err = ReadTestFile(outputs / "err");
    return result;
}

TCliMemoryResult RunCliMeasuringMemory(const std::vector<std::string>& arguments,
                                       const std::filesystem::path& folder) {
    return RunToEnd(arguments, folder, L"NUL", L"NUL");
}
