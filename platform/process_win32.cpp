#include "platform/process.h"
#include "platform/system.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

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

class ShellProcessStarter final : public ProcessStarter {
public:
    std::unique_ptr<ChildProcess> start(const ProcessRequest& request) override {
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

ProcessStarter& systemProcessStarter() {
    static ShellProcessStarter starter;
    return starter;
}

std::unique_ptr<PollPause> openPollPause() { return std::make_unique<EventPause>(); }

} // namespace strovane::platform
#endif
