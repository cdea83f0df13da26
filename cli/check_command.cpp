#include "cli/check_command.h"

#include "cli/command.h"
#include "platform/path_text.h"
#include "project/config_image.h"
#include "project/int_text.h"
#include "project/xml.h"
#include "project/par_gen_checks.h"
#include "project/pdo_checks.h"

#include <cstddef>
#include <filesystem>
#include <iterator>
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
    "               and no text in or after the row of the first empty COB-ID (the editor\n"
    "               refuses to save it)\n"
    "Rows from the first empty COB-ID on must still hold the numbers compose reads: a clean\n"
    "check means compose succeeds.\n"
    "A missing document is not a problem (a new project has none); it is named as missing.\n"
    "A table of more than 255 rows is a warning: the image counts each table's rows in one byte,\n"
    "which holds only the low 8 bits; compose writes it all the same.\n"
    "\n"
    "  --help    show this text\n"
    "\n"
    "Exit status: 0 no problems, 1 problems found or a document could not be read, 2 a bad\n"
    "command line.\n";

// The most rows of one table that the image's one-byte count holds.
constexpr std::size_t kMaxCountedRows = 255;

// Collects the report: problems make the check fail, warnings and notes do not.
class Report {
public:
    explicit Report(std::ostream& out) : m_out(out) {}
    void problem(const std::string& line) {
        m_out << project::oneLine(line) << "\n";
        ++m_problems;
    }
    void warning(const std::string& line) { m_out << "warning: " << project::oneLine(line) << "\n"; }
    void note(const std::string& line) { m_out << "note: " << project::oneLine(line) << "\n"; }
    std::size_t problems() const { return m_problems; }

private:
    std::ostream& m_out;
    std::size_t m_problems = 0;
};

// Loads the document once for every check; false when it is missing (a note) or cannot be
// loaded (a problem).
bool loadDocument(Report& report, const fs::path& file, pugi::xml_document& doc, const char* whatHappens) {
    try {
        if (project::xml::loadIfPresent(doc, file))
            return true;
        report.note(platform::utf8FromPath(file.filename()) + " is missing (" + whatHappens + ")");
    } catch (const std::exception& e) {
        report.problem(e.what());
    }
    return false;
}

void checkParGen(Report& report, const fs::path& file, const pugi::xml_document& doc) {
    const project::ParGenValues values = project::parGenValuesFrom(doc);
    const std::string name = platform::utf8FromPath(file.filename());
    for (const std::string& message : project::parGenRangeMessages(values))
        report.problem(name + ": " + message);
    for (const std::string& message : project::parGenListProblems(values))
        report.problem(name + ": " + message);
}

// The first row the editor's rules do not cover (from the first empty COB-ID on) that the
// composer cannot convert: compose would stop there.
void checkRowsBeyondTheTable(Report& report, const fs::path& file, const pugi::xml_document& doc,
                             std::size_t checkedRows) {
    const std::string name = platform::utf8FromPath(file.filename());
    std::size_t row = 0;
    bool readStopped = false;
    for (pugi::xml_node node = project::xml::root(doc).first_child(); node; node = node.next_sibling()) {
        ++row;
        // The editor's reading stops at the first row that lacks an attribute, which it reports.
        const bool stopsHere = !readStopped && (!node.attribute("COB-ID") || !node.attribute("Dimension") ||
                                                !node.attribute("Mnemonic"));
        readStopped = readStopped || stopsHere;
        if (row <= checkedRows)
            continue;
        for (const char* attr : {"COB-ID", "Dimension"}) {
            const pugi::xml_attribute a = node.attribute(attr);
            if (!a && stopsHere)
                return;
            if (!a) {
                report.problem(name + ", row " + std::to_string(row) + ": attribute \"" + attr +
                               "\" is missing; compose stops at this row");
                return;
            }
            if (!project::parseIntText(a.value())) {
                report.problem(name + ", row " + std::to_string(row) + ": " + attr + " " + project::quoted(a.value()) +
                               " is not a number; compose stops at this row");
                return;
            }
        }
    }
}

void checkPdoTable(Report& report, const fs::path& file, const pugi::xml_document& doc, project::PdoTableKind kind) {
    const std::string name = platform::utf8FromPath(file.filename());
    // Exactly what the editor places in its grid, read errors included.
    const project::PdoTableRead read = project::pdoTableFrom(doc, file);
    if (read.error)
        report.problem(*read.error);
    for (const project::PdoRowProblem& p : project::checkPdoRows(kind, read.rows))
        report.problem(name + ", row " + std::to_string(p.row) + ": " + project::pdoRuleText(kind, p.field));

    if (const std::optional<project::PdoTableGap> gap = project::findPdoTableGap(read.rows))
        report.problem(name + ", row " + std::to_string(gap->emptyRow) + ": " + project::pdoGapText(*gap));
    const std::size_t entries = project::pdoTableEntries(read.rows).size();
    checkRowsBeyondTheTable(report, file, doc, entries);

    // The image ends with the two tables' row counts, one byte each: compose writes the low 8 bits.
    const std::size_t rows = static_cast<std::size_t>(
        std::distance(project::xml::root(doc).begin(), project::xml::root(doc).end()));
    if (rows > kMaxCountedRows)
        report.warning(name + " holds " + std::to_string(rows) +
                       " rows, more than the image's one-byte count of them can hold: it holds " +
                       std::to_string(rows % (kMaxCountedRows + 1)) + " (the low 8 bits)");
}

// What compose would make of the same documents: a check that passes must mean compose succeeds.
void checkComposes(Report& report, const project::ProjectFiles& files, const pugi::xml_document* parGen,
                   const pugi::xml_document* receivePdos, const pugi::xml_document* transmitPdos) {
    try {
        const std::vector<project::PdoEntry> receive =
            receivePdos ? project::pdoEntriesFrom(*receivePdos, files.receivePdos)
                        : std::vector<project::PdoEntry>{};
        const std::vector<project::PdoEntry> transmit =
            transmitPdos ? project::pdoEntriesFrom(*transmitPdos, files.transmitPdos)
                         : std::vector<project::PdoEntry>{};
        std::optional<project::ParGenNumbers> params;
        if (parGen)
            params = project::parGenNumbersFrom(*parGen);
        project::ConfigImage image;
        image.compose(receive, transmit, params, files);
    } catch (const project::ComposeError& e) {
        if (report.problems() == 0)
            report.problem(std::string(e.what()) + "; compose stops there");
    }
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
            return usageError(err, "check", "unknown option " + project::quoted(a), kUsage);
        if (folder)
            return usageError(err, "check", "more than one project folder", kUsage);
        folder = a;
    }
    if (!folder)
        return usageError(err, "check", "no project folder given", kUsage);

    const fs::path dir = platform::pathFromUtf8(*folder);
    if (const std::optional<std::string> problem = folderProblem(dir))
        return failure(err, *problem);

    const project::ProjectFiles files = project::ProjectFiles::inFolder(dir);
    Report report(out);
    pugi::xml_document parGen, receivePdos, transmitPdos;
    const bool hasParGen = loadDocument(report, files.parGen, parGen, "the dialog shows its defaults");
    if (hasParGen)
        checkParGen(report, files.parGen, parGen);
    const bool hasReceivePdos =
        loadDocument(report, files.receivePdos, receivePdos, "the editor shows an empty table");
    if (hasReceivePdos)
        checkPdoTable(report, files.receivePdos, receivePdos, project::PdoTableKind::Receive);
    const bool hasTransmitPdos =
        loadDocument(report, files.transmitPdos, transmitPdos, "the editor shows an empty table");
    if (hasTransmitPdos)
        checkPdoTable(report, files.transmitPdos, transmitPdos, project::PdoTableKind::Transmit);
    if (report.problems() == 0)
        checkComposes(report, files, hasParGen ? &parGen : nullptr, hasReceivePdos ? &receivePdos : nullptr,
                      hasTransmitPdos ? &transmitPdos : nullptr);
    if (report.problems() == 0) {
        out << "no problems found\n";
        return kExitOk;
    }
    out << report.problems() << (report.problems() == 1 ? " problem" : " problems") << " found\n";
    return kExitFailure;
}

} // namespace strovane::cli
