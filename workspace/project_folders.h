#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace strovane::workspace {

struct Workspace;

// A name that stays one folder level inside PROJECTS and can move between systems:
// not empty, no "/" or "\", not "." or "..", none of < > : " | ? * or control characters,
// no trailing blank or period, not a reserved device name (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9, also with an extension). Letter case and length are not restricted.
bool isPortableProjectName(std::string_view name);

// A name that names one folder level inside PROJECTS: not empty, not "." or "..", no separator,
// and on Windows not a reserved device name (there COM1 is the port, in every folder).
bool staysInProjects(std::string_view name);

// The visible project folders in `projectsDir`, sorted by name ignoring ASCII case (the order a
// Windows listing gives). Files, hidden entries and "." / ".." are skipped; a missing or
// unreadable folder gives an empty list.
std::vector<std::string> listProjectFolders(const std::string& projectsDir);

// Position of the entry equal to `name`; failing that, of the first entry equal to it when both
// are upper-cased in ASCII; -1 if none.
int findProjectIndex(const std::vector<std::string>& names, std::string_view name);

// The outcome of creating a project; the message is what the user is shown.
enum class NewProjectResult { Created, EmptyName, InvalidName, AlreadyExists, CreateFailed };
const char* newProjectMessage(NewProjectResult result);

// Creates PROJECTS/<name> and its bin folder and adopts it in `ws`, making PROJECTS first when it
// is missing. On any refusal the workspace and the project folders are left as they were; on
// CreateFailed `failure` receives the message naming the folder and the system's reason.
NewProjectResult createProject(Workspace& ws, const std::string& name, std::string* failure = nullptr);

} // namespace strovane::workspace
