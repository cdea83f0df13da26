#include "platform/process.h"
#include "platform/system.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

#include <vector>

namespace strovane::platform {

namespace {

std::wstring widen(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string systemMessage(DWORD code) {
    return systemErrorText(code) + " (Error: " + std::to_string(code) + ")";
}

class WinChildProcess final : public ChildProcess {
public:
    explicit WinChildProcess(HANDLE process) : m_process(process) {}
    ~WinChildProcess() override { CloseHandle(m_process); }

    std::uint32_t exitCode() override {
        DWORD code = STILL_ACTIVE;
        if (!GetExitCodeProcess(m_process, &code))
            return 255;
        return static_cast<std::uint32_t>(code);
    }

private:
    HANDLE m_process;
};

// A new, empty file beside `target` under a name no other file has, opened so that it can be
// renamed while open and handed to a started program. Throws ProcessStartError.
struct NewOutputFile {
    NewOutputFile(const std::string& program, const std::string& target) {
        const std::string::size_type slash = target.find_last_of("\\/");
        const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
        const std::string name = target.substr(folder.size());
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        DWORD error = ERROR_FILE_EXISTS;
        for (unsigned n = GetTickCount(); error == ERROR_FILE_EXISTS; ++n) {
            narrowPath = folder + "." + name + "." + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(n) +
                         ".tmp";
            path = widen(narrowPath);
            handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 &inherit, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            error = handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
        }
        if (error)
            throw ProcessStartError(program, target + ": " + systemMessage(error));
        // Reads nothing: the started program's standard input.
        empty = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~NewOutputFile() {
        if (empty != INVALID_HANDLE_VALUE)
            CloseHandle(empty);
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        if (!path.empty())
            DeleteFileW(path.c_str());
    }
    // Puts the file, which a started program now writes, in the target's place and tells where
    // it is: while another program holds the old file, the output stays under the temporary name.
    std::string keepAs(const std::string& target) {
        CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        const bool moved = MoveFileExW(path.c_str(), widen(target).c_str(), MOVEFILE_REPLACE_EXISTING);
        path.clear();
        return moved ? target : narrowPath;
    }

    std::string narrowPath;
    std::wstring path;
    HANDLE handle = INVALID_HANDLE_VALUE;
    HANDLE empty = INVALID_HANDLE_VALUE;
};

// Starts `request` with its output in a file: CreateProcessW with the program's own command line
// (the program, quoted, then the same parameters the shell would pass) and only the file and NUL
// handed on, so that no other handle of this process stays open in the program.
std::unique_ptr<ChildProcess> startWithOutputFile(const ProcessRequest& request) {
    NewOutputFile output(request.program, request.outputFile);
    HANDLE inherited[2] = {output.handle, output.empty};
    const DWORD inheritedCount = output.empty != INVALID_HANDLE_VALUE ? 2 : 1;
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<unsigned char> listBytes(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listBytes.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &size))
        throw ProcessStartError(request.program, systemMessage(GetLastError()));
    struct ListGuard {
        LPPROC_THREAD_ATTRIBUTE_LIST list;
        ~ListGuard() { DeleteProcThreadAttributeList(list); }
    } guard{list};
    if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                   inheritedCount * sizeof(HANDLE), nullptr, nullptr))
        throw ProcessStartError(request.program, systemMessage(GetLastError()));

    STARTUPINFOEXW info{};
    info.StartupInfo.cb = sizeof(info);
    info.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    info.StartupInfo.wShowWindow = static_cast<WORD>(request.hidden ? SW_HIDE : SW_SHOWNORMAL);
    info.StartupInfo.hStdInput = output.empty != INVALID_HANDLE_VALUE ? output.empty : nullptr;
    info.StartupInfo.hStdOutput = output.handle;
    info.StartupInfo.hStdError = output.handle;
    info.lpAttributeList = list;

    const std::wstring file = widen(request.program);
    std::wstring commandLine = L"\"" + file + L"\"";
    if (!request.parameters.empty())
        commandLine += L" " + widen(request.parameters);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(file.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        EXTENDED_STARTUPINFO_PRESENT | CREATE_NO_WINDOW, nullptr, nullptr, &info.StartupInfo,
                        &process))
        throw ProcessStartError(request.program, systemMessage(GetLastError()));
    CloseHandle(process.hThread);
    auto child = std::make_unique<WinChildProcess>(process.hProcess);
    child->setOutputFile(output.keepAs(request.outputFile));
    return child;
}

class ShellProcessStarter final : public ProcessStarter {
public:
    std::unique_ptr<ChildProcess> start(const ProcessRequest& request) override {
        if (!request.outputFile.empty())
            return startWithOutputFile(request);
        const std::wstring file = widen(request.program);
        const std::wstring parameters = widen(request.parameters);
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof(info);
        // The tool reports a failed start itself, so the shell shows no box of its own.
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
        info.lpFile = file.c_str();
        info.lpParameters = parameters.c_str();
        info.nShow = request.hidden ? SW_HIDE : SW_SHOWNORMAL;
        if (!ShellExecuteExW(&info))
            throw ProcessStartError(request.program, systemMessage(GetLastError()));
        if (!info.hProcess)
            throw ProcessStartError(request.program, "no process was started");
        return std::make_unique<WinChildProcess>(info.hProcess);
    }
};

// The named event "HandleCed": auto-reset, initially clear; opened when it exists already.
class EventPause final : public PollPause {
public:
    EventPause() : m_event(CreateEventW(nullptr, FALSE, FALSE, L"HandleCed")) {}
    ~EventPause() override {
        if (m_event)
            CloseHandle(m_event);
    }
    void arm(ChildProcess&) override {
        if (m_event)
            ResetEvent(m_event);
    }
    void pause(std::uint32_t ms) override {
        if (m_event)
            WaitForSingleObject(m_event, ms);
        else
            Sleep(ms);
    }

private:
    HANDLE m_event;
};

} // namespace

std::string executableName(const std::string& base) { return base + ".exe"; }

std::string signalName(int) { return {}; }

ProcessStarter& systemProcessStarter() {
    static ShellProcessStarter starter;
    return starter;
}

std::unique_ptr<PollPause> openPollPause() { return std::make_unique<EventPause>(); }

} // namespace strovane::platform
#endif
