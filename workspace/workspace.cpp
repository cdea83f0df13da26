#include "workspace/workspace.h"

#include "project/file_read.h"
#include "platform/path_text.h"
#include "project/xml.h"
#include "workspace/project_folders.h"
#include "workspace/workspace_location.h"

#include <pugixml.hpp>

#include <cerrno>
#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>


namespace fs = std::filesystem;

namespace strovane::workspace {
namespace {

std::string join(const std::string& dir, const char* name) {
    return platform::utf8FromPath(platform::pathFromUtf8(dir) / name);
}

// The text of parent/child/grandchild, or nothing when any step is missing or unreadable.
std::string lookup(pugi::xml_node root, const char* child, const char* grandchild, const std::string& fallback) {
    try {
        const pugi::xml_node el = project::xml::child(project::xml::child(root, child), grandchild);
        if (!el)
            return fallback;
        std::string value = project::xml::text(el);
        return value.empty() ? fallback : value;
    } catch (const project::xml::TextError&) {
        return fallback;
    }
}

} // namespace

std::string workspaceFolderMessage(const std::string& folder, const std::string& reason) {
    return "Error! The workspace folder \"" + folder + "\" cannot be created: " + reason;
}

std::string createFolderIfMissing(const std::string& dir, bool parents) {
    const fs::path path = platform::pathFromUtf8(dir);
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return {};
    if (fs::exists(fs::symlink_status(path, ec)))
        return workspaceFolderMessage(dir, "a file of that name is in the way");
    if (parents)
        fs::create_directories(path, ec);
    else
        fs::create_directory(path, ec);
    if (!ec && !fs::is_directory(path, ec))
        ec = std::make_error_code(std::errc::not_a_directory);
    return ec ? workspaceFolderMessage(dir, ec.message()) : std::string();
}

std::string folderWriteProblem(const fs::path& dir) {
    std::error_code ec;
    fs::path folder = dir;
    while (!fs::exists(fs::symlink_status(folder, ec)) && folder.has_parent_path() && folder.parent_path() != folder)
        folder = folder.parent_path();
    if (!fs::is_directory(folder, ec))
        return {}; // what stands in the way is reported when the folder is created
    std::random_device random;
    fs::path probe;
    do
        probe = folder / (".strovane-write-check." + std::to_string(random()) + ".tmp");
    while (fs::exists(fs::symlink_status(probe, ec)));
    errno = 0;
    std::ofstream file(probe, std::ios::binary | std::ios::trunc);
    if (!file) {
        const int err = errno ? errno : EACCES;
        return "Error! The workspace folder \"" + platform::utf8FromPath(dir) +
               "\" cannot be written: " + std::generic_category().message(err);
    }
    file.close();
    fs::remove(probe, ec);
    return {};
}

std::vector<std::string> Workspace::startUp(const fs::path& exeDir, const fs::path& workspaceDir) {
    std::vector<std::string> problems;
    programDir = platform::utf8FromPath(withoutTrailingSeparator(exeDir));
    workspaceRoot =
        workspaceDir.empty() ? programDir : platform::utf8FromPath(withoutTrailingSeparator(workspaceDir));
    folderProblem = createFolderIfMissing(workspaceRoot, true);

    masterDir = join(workspaceRoot, "MASTER");
    projectsDir = join(workspaceRoot, "PROJECTS");
    // Each is tried on its own: a read-only MASTER does not stop PROJECTS, nor the reverse.
    for (const std::string& dir : {masterDir, projectsDir}) {
        std::string problem = createFolderIfMissing(dir, false);
        if (folderProblem.empty())
            folderProblem = std::move(problem);
    }

    // Found out now rather than at the first save.
    writeProblem.clear();
    if (folderProblem.empty()) {
        for (const std::string& dir : {workspaceRoot, projectsDir}) {
            writeProblem = folderWriteProblem(platform::pathFromUtf8(dir));
            if (!writeProblem.empty())
                break;
        }
    }

    projectName.clear();
    ipAddress = kDefaultIpAddress;
    try {
        pugi::xml_document doc;
        if (project::xml::loadIfPresent(doc, settingsFile(), project::kMaxSettingsBytes)) {
            const pugi::xml_node root = project::xml::root(doc);
            projectName = lookup(root, "lastproj", "projectname", "");
            ipAddress = lookup(root, "lastipadd", "ipaddress", kDefaultIpAddress);
        }
    } catch (const project::xml::LoadError& e) {
        problems.push_back(e.what());
    }

    titleBase = std::string(kMakerDomain) + " - Strovane SC40518 - CANopen / RS232 / RS485 ";

    // A name that would leave PROJECTS is not reopened, but it is kept and written back.
    projectDir.clear();
    std::error_code ec;
    if (staysInProjects(projectName) &&
        fs::is_directory(platform::pathFromUtf8(projectFolder(projectName)), ec))
        projectDir = projectFolder(projectName);
    setDocumentPaths();
    return problems;
}

void Workspace::setDocumentPaths() {
    const std::string sep(1, fs::path::preferred_separator);
    parGenFile = projectDir + sep + "ParGen.xml";
    receivePdoFile = projectDir + sep + "RPDOs.xml";
    transmitPdoFile = projectDir + sep + "TPDOs.xml";
}

void Workspace::saveSettings() const {
    // Like every document, the settings file is only ever a regular file: writing through a FIFO
    // without a reader would hold the closing program forever.
    const fs::path file = settingsFile();
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (!ec && fs::exists(status) && !fs::is_regular_file(status))
        throw std::runtime_error(platform::utf8FromPath(file) + ": not a regular file but a " +
                                 project::fileKindName(status.type()));
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Conf_Settings");
    // An empty value is written as an element with no content.
    project::xml::appendText(root.append_child("lastproj").append_child("projectname"), projectName);
    project::xml::appendText(root.append_child("lastipadd").append_child("ipaddress"), ipAddress);
    project::xml::save(doc, file);
}

std::string Workspace::title() const {
    return projectOpen() ? titleBase + " : " + projectName : titleBase + " : ";
}

void Workspace::adoptProject(const std::string& name) {
    projectName = name;
    projectDir = name.empty() ? std::string() : projectFolder(name);
    setDocumentPaths();
}

fs::path Workspace::settingsFile() const {
    return platform::pathFromUtf8(workspaceRoot) / kSettingsFileName;
}

std::string Workspace::projectFolder(const std::string& name) const {
    return projectsDir + std::string(1, fs::path::preferred_separator) + name;
}

} // namespace strovane::workspace
