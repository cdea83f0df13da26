#include "platform/system.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <io.h>

namespace strovane::platform {

void setStandardOutputBinary() {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

bool runningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string commandLineArguments() {
    const wchar_t* p = GetCommandLineW();
    // The program name ends at the closing quote when quoted, else at the first blank.
    if (*p == L'"') {
        for (++p; *p && *p != L'"'; ++p) {
        }
        if (*p)
            ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t')
            ++p;
    }
    while (*p == L' ' || *p == L'\t')
        ++p;
    const int wide = static_cast<int>(wcslen(p));
    if (wide == 0)
        return {};
    const int len = WideCharToMultiByte(CP_UTF8, 0, p, wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(len), '\0');
    WideCharToMultiByte(CP_UTF8, 0, p, wide, out.data(), len, nullptr, nullptr);
    return out;
}

namespace {

std::wstring wideFromUtf8(const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), wide);
    return out;
}

} // namespace

// UTF-8 like every text of the program: the narrow _putenv_s would read it in the code page.
void setEnvironmentVariable(const std::string& name, const std::string& value) {
    _wputenv_s(wideFromUtf8(name).c_str(), wideFromUtf8(value).c_str());
}

void unsetEnvironmentVariable(const std::string& name) {
    // An empty value removes the variable.
    _wputenv_s(wideFromUtf8(name).c_str(), L"");
}

std::uint32_t fileNotFoundError() { return ERROR_FILE_NOT_FOUND; }
std::uint32_t accessDeniedError() { return ERROR_ACCESS_DENIED; }

std::string systemErrorText(std::uint32_t code) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (n > 0 && buffer) {
        const int len = WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
        text.resize(static_cast<size_t>(len));
        WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(n), text.data(), len, nullptr, nullptr);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
            text.pop_back();
    }
    if (buffer)
        LocalFree(buffer);
    return text;
}

int runShellCommand(const std::string& command) {
    // The narrow std::system would read the text in the code page.
    return _wsystem(wideFromUtf8(command).c_str());
}

} // namespace strovane::platform
#endif
