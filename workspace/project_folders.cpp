#include "workspace/project_folders.h"

#include "workspace/workspace.h"

#include "platform/system.h"
#include "platform/path_text.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace fs = std::filesystem;

namespace strovane::workspace {
namespace {

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool equalsAsciiNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upperAscii(x) == upperAscii(y); });
}

bool isReservedDeviceName(std::string_view name) {
    const std::string_view stem = name.substr(0, name.find('.'));
    static constexpr std::array<std::string_view, 4> plain{"CON", "PRN", "AUX", "NUL"};
    for (std::string_view r : plain)
        if (equalsAsciiNoCase(stem, r))
            return true;
    if (stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9')
        return equalsAsciiNoCase(stem.substr(0, 3), "COM") || equalsAsciiNoCase(stem.substr(0, 3), "LPT");
    return false;
}

} // namespace

bool staysInProjects(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string_view::npos)
        return false;
    // Where COM1 or NUL is a device in every folder, such a name leads out of PROJECTS too.
    return !(platform::kDeviceNamesInEveryFolder && isReservedDeviceName(name));
}

bool isPortableProjectName(std::string_view name) {
    if (!staysInProjects(name))
        return false;
    for (unsigned char c : name) {
        if (c < 32 || c == 127)
            return false;
        if (std::string_view("/\\<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    }
    if (name.back() == ' ' || name.back() == '.')
        return false;
    return !isReservedDeviceName(name);
}

std::vector<std::string> listProjectFolders(const std::string& projectsDir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(platform::pathFromUtf8(projectsDir), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = platform::utf8FromPath(it->path().filename());
        if (name.empty() || name.front() == '.') // hidden entries, "." and ".."
            continue;
        std::error_code typeEc;
        if (!it->is_directory(typeEc))
            continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) { return upperAscii(x) < upperAscii(y); });
    });
    return names;
}

int findProjectIndex(const std::vector<std::string>& names, std::string_view name) {
    // Folder names are case-sensitive here: "Alpha" open beside "alpha" must find "Alpha".
    if (const auto exact = std::find(names.begin(), names.end(), name); exact != names.end())
        return static_cast<int>(exact - names.begin());
    for (std::size_t i = 0; i < names.size(); ++i)
        if (equalsAsciiNoCase(names[i], name))
            return static_cast<int>(i);
    return -1;
}

const char* newProjectMessage(NewProjectResult result) {
    switch (result) {
    case NewProjectResult::Created:
        return "";
    case NewProjectResult::EmptyName:
        return "Error! Name Project is not valid";
    case NewProjectResult::AlreadyExists:
        return "Error! Name project is not valid because directory already exists";
    case NewProjectResult::InvalidName:
    case NewProjectResult::CreateFailed:
        break;
    }
    return "Error! Name project is not valid";
}

NewProjectResult createProject(Workspace& ws, const std::string& name, std::string* failure) {
    if (name.empty())
        return NewProjectResult::EmptyName;
    // A name that would leave PROJECTS is refused before anything is looked up under it.
    if (!staysInProjects(name))
        return NewProjectResult::InvalidName;
    const std::string folder = ws.projectFolder(name);
    const fs::path folderPath = platform::pathFromUtf8(folder);
    std::error_code ec;
    if (fs::is_directory(folderPath, ec))
        return NewProjectResult::AlreadyExists;
    if (!isPortableProjectName(name))
        return NewProjectResult::InvalidName;
    // PROJECTS may be missing (it could not be made at start-up, or was removed since): make it
    // now, and when that fails too, say which folder and why rather than blaming the name.
    if (std::string problem = createFolderIfMissing(ws.projectsDir, true); !problem.empty()) {
        if (failure)
            *failure = std::move(problem);
        return NewProjectResult::CreateFailed;
    }
    if (!fs::create_directory(folderPath, ec) || ec) {
        if (failure)
            *failure = "Error! The project folder \"" + folder + "\" cannot be created: " +
                       (ec ? ec.message() : std::make_error_code(std::errc::file_exists).message());
        return NewProjectResult::CreateFailed;
    }
    fs::create_directories(folderPath / "bin", ec); // a missing bin shows when the image is saved
    ws.adoptProject(name);
    return NewProjectResult::Created;
}

} // namespace strovane::workspace
