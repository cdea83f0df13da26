#include "platform/arguments.h"

#include <cwchar>

#include <windows.h>

#include <shellapi.h>

namespace strovane::platform {
namespace {

std::string utf8FromWide(const wchar_t* text) {
    const int size = static_cast<int>(std::wcslen(text));
    if (size == 0)
        return {};
    const int narrow = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, size, out.data(), narrow, nullptr, nullptr);
    return out;
}

} // namespace

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    if (wide && count == argc) {
        for (int i = 0; i < count; ++i)
            args.push_back(utf8FromWide(wide[i]));
    } else {
        args.assign(argv, argv + argc);
    }
    if (wide)
        LocalFree(wide);
    return args;
}

} // namespace strovane::platform
