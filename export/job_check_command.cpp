#include "job_check_command.h"

#include <algorithm>

#include "ansi_text.h"
#include "export_command.h"
#include "job_intake.h"

namespace tabulon::exporter {

std::string findingLine(std::string_view jobName, const render::JobFinding& finding)
{
    std::string line(jobName);
    line += ':' + std::to_string(finding.line) + ": ";
    line += finding.kind == render::FindingKind::Warning ? "warning: " : "note: ";
    line += finding.text;
    return line;
}

int runCheck(const ExportOptions& options, std::istream& standardInput, std::ostream& output, std::ostream& errors)
{
    // The bytes are read as they are, so that the lines whose characters the
    // conversion loses can be named; then they are converted as the export does.
    ExportOptions raw = options;
    raw.encoding = InputEncoding::Windows1252;
    std::string text;
    std::string error;
    if (!readJobText(raw, standardInput, text, error)) {
        errors << "tabulon-export: " << error << '\n';
        return 2;
    }
    std::vector<render::JobFinding> findings;
    if (options.encoding == InputEncoding::Utf8 && options.source != JobSource::Demo) {
        findings = render::checkUtf8Text(text);
        render::convertUtf8ToWindows1252(text);
    }
    std::vector<render::JobFinding> jobFindings = render::checkJob(render::intakeJob(std::move(text)));
    findings.insert(findings.end(), jobFindings.begin(), jobFindings.end());
    std::stable_sort(findings.begin(), findings.end(),
                     [](const render::JobFinding& a, const render::JobFinding& b) { return a.line < b.line; });

    const std::string name = options.source == JobSource::File    ? options.inputFile
                             : options.source == JobSource::Demo ? std::string("<demo>")
                                                                  : std::string("<stdin>");
    bool warned = false;
    for (const render::JobFinding& finding : findings) {
        output << findingLine(name, finding) << '\n';
        warned = warned || finding.kind == render::FindingKind::Warning;
    }
    output.flush();
    return warned ? 1 : 0;
}

}  // namespace tabulon::exporter
