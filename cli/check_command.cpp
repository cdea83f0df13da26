#include "cli/check_command.h"

#include "cli/command.h"
#include "project/config_image.h"
#include "project/par_gen_checks.h"
#include "project/pdo_checks.h"

#include <cstddef>
#include <filesystem>
#include <limits>
#include <optional>
#include <system_error>

namespace strovane::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "Usage: strovane-cli check PROJECT_DIR\n"
    "\n"
    "Runs the editors' checks on PROJECT_DIR's documents without opening a window and lists every\n"
    "problem, not just the first:\n"
    "  ParGen.xml   the ID, delay and SDO timeout ranges of Set Communication, and list indexes\n"
    "               that select no item\n"
    "  RPDOs.xml    each row up to the first empty COB-ID: COB-ID 0 to 0x7FF, Dimension 1 to 8\n"
    "  TPDOs.xml    each row up to the first empty COB-ID: COB-ID 1 to 0x7FF, Dimension 1 to 8\n"
    "A missing document is not a problem (a new project has none); it is named as missing.\n"
    "\n"
    "  --help    show this text\n"
    "\n"
    "Exit status: 0 no problems, 1 problems found or a document could not be read, 2 a bad\n"
    "command line.\n";

// Collects the report: problems make the check fail, notes do not.
class Report {
public:
    explicit Report(std::ostream& out) : m_out(out) {}
    void problem(const std::string& line) {
        m_out << line << "\n";
        ++m_problems;
    }
    void note(const std::string& line) { m_out << "note: " << line << "\n"; }
    std::size_t problems() const { return m_problems; }

private:
    std::ostream& m_out;
    std::size_t m_problems = 0;
};

bool reportMissing(Report& report, const fs::path& file, const char* whatHappens) {
    std::error_code ec;
    if (fs::exists(file, ec))
        return false;
    report.note(file.filename().string() + " is missing (" + whatHappens + ")");
    return true;
}

void checkParGen(Report& report, const fs::path& file) {
    if (reportMissing(report, file, "the dialog shows its defaults"))
        return;
    std::optional<project::ParGenValues> values;
    try {
        values = project::readParGenForDialog(file);
    } catch (const std::exception& e) {
        report.problem(e.what());
        return;
    }
    const std::string name = file.filename().string();
    for (const std::string& message : project::parGenRangeMessages(*values))
        report.problem(name + ": " + message);
    for (const std::string& message : project::parGenListProblems(*values))
        report.problem(name + ": " + message);
}

void checkPdoTable(Report& report, const fs::path& file, project::PdoTableKind kind) {
    if (reportMissing(report, file, "the editor shows an empty table"))
        return;
    const std::string name = file.filename().string();
    // Exactly what the editor places in its grid, read errors included.
    const project::PdoTableRead read = project::readPdoTableForEditor(file, project::kPdoEditorRows);
    if (read.error)
        report.problem(*read.error);
    for (const project::PdoRowProblem& p : project::checkPdoRows(kind, read.rows))
        report.problem(name + ", row " + std::to_string(p.row) + ": " + project::pdoRuleText(kind, p.field));

    const std::size_t entries = project::pdoTableEntries(read.rows).size();
    if (!read.error && entries < read.rows.size())
        report.note(name + ": the table ends at row " + std::to_string(entries + 1) +
                    ", whose COB-ID is empty; the rows after it are not checked and the editor drops them");
    const project::PdoTableRead all =
        project::readPdoTableForEditor(file, std::numeric_limits<std::size_t>::max());
    if (all.rows.size() > project::kPdoEditorRows)
        report.note(name + " holds " + std::to_string(all.rows.size()) +
                    " rows; the editor shows and keeps the first " + std::to_string(project::kPdoEditorRows));
}

} // namespace

int runCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<std::string> folder;
    for (const std::string& a : args) {
        if (isHelp(a)) {
            out << kUsage;
            return kExitOk;
        }
        if (a.size() > 1 && a[0] == '-')
            return usageError(err, "check", "unknown option " + a, kUsage);
        if (folder)
            return usageError(err, "check", "more than one project folder", kUsage);
        folder = a;
    }
    if (!folder)
        return usageError(err, "check", "no project folder given", kUsage);

    const fs::path dir(*folder);
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        const auto code =
            fs::exists(dir, ec) ? std::errc::not_a_directory : std::errc::no_such_file_or_directory;
        err << dir.string() << ": " << std::make_error_code(code).message() << "\n";
        return kExitFailure;
    }

    const project::ProjectFiles files = project::ProjectFiles::inFolder(dir);
    Report report(out);
    checkParGen(report, files.parGen);
    checkPdoTable(report, files.rPdo, project::PdoTableKind::Receive);
    checkPdoTable(report, files.tPdo, project::PdoTableKind::Transmit);
    if (report.problems() == 0) {
        out << "no problems found\n";
        return kExitOk;
    }
    out << report.problems() << (report.problems() == 1 ? " problem" : " problems") << " found\n";
    return kExitFailure;
}

} // namespace strovane::cli
