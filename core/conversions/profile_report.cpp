// SPDX-License-Identifier: MIT
// report.html of a whole-profile export: one page a person reads once,
// plain HTML without scripts, every name and text escaped.
#include "formats/markup_text.h"
#include "quarvo/conversions/profile_export.h"
#include "quarvo/conversions/profile_kinds.h"

namespace quarvo {
namespace {

class Page {
  public:
    void Text(std::string_view text) { formats::AppendMarkupText(html_, text); }
    void Raw(std::string_view markup) { html_ += markup; }
    void Element(std::string_view tag, std::string_view text) {
        html_ += '<';
        html_ += tag;
        html_ += '>';
        Text(text);
        html_ += "</";
        html_ += tag;
        html_ += ">\n";
    }
    [[nodiscard]] std::string Take() { return std::move(html_); }

  private:
    std::string html_;
};

std::string_view TitleOf(std::string_view id) {
    const ProfileKind* kind = ProfileKindOf(id);
    return kind ? kind->title : id;
}

std::string CountsLine(const std::vector<std::pair<std::string, std::int64_t>>& counts) {
    std::string line;
    for (const auto& [label, count] : counts) {
        if (!line.empty()) line += ", ";
        line += std::to_string(count) + " " + label;
    }
    return line;
}

void Found(Page& page, const ProfileSurvey& survey) {
    page.Element("h2", "What was found");
    page.Raw("<table>\n<tr><th>Kind</th><th>In the profile</th><th>Read from</th></tr>\n");
    for (const ProfileKindSurvey& kind : survey.kinds) {
        page.Raw("<tr><td>");
        page.Text(TitleOf(kind.kind));
        page.Raw("</td><td>");
        if (!kind.problem.empty())
            page.Text("not readable: " + kind.problem);
        else if (kind.counts.empty())
            page.Text("found, not converted by this version of Quarvo");
        else
            page.Text(CountsLine(kind.counts));
        page.Raw("</td><td>");
        page.Text(kind.source);
        page.Raw("</td></tr>\n");
    }
    page.Raw("</table>\n");
}

void Written(Page& page, const ProfileExport& done) {
    page.Element("h2", "What was written");
    for (const ProfileKindExport& kind : done.kinds) {
        const ProfileKind* known = ProfileKindOf(kind.kind);
        page.Element("h3", TitleOf(kind.kind));
        if (!kind.problem.empty()) {
            page.Element("p", "Nothing written: " + kind.problem);
            continue;
        }
        if (known) page.Element("p", known->writes);
        if (kind.files.empty()) continue;
        page.Raw("<ul>\n");
        for (const std::string& file : kind.files) page.Element("li", file);
        page.Raw("</ul>\n");
        if (!kind.report.counts().empty()) page.Element("p", CountsLine(kind.report.counts()));
        for (const ConversionReport::Warning& warning : kind.report.warnings()) {
            std::string line = std::to_string(warning.times) + " × " + warning.what;
            for (std::size_t i = 0; i < warning.places.size(); ++i)
                line += (i == 0 ? ": " : ", ") + warning.places[i];
            page.Element("p", line);
        }
    }
}

void LeftOut(Page& page, const ProfileExport& done) {
    page.Element("h2", "What was left out, and why");
    page.Raw("<ul>\n");
    for (const std::string& id : done.left_out)
        page.Element("li", std::string(TitleOf(id)) + ": left out as asked.");
    for (const ProfileKindExport& kind : done.kinds) {
        const ProfileKind* known = ProfileKindOf(kind.kind);
        if (!kind.problem.empty())
            page.Element("li", std::string(TitleOf(kind.kind)) + ": not readable: " + kind.problem);
        else if (known && !known->Exports())
            page.Element("li", std::string(TitleOf(kind.kind)) + " (" + kind.source +
                                   "): this version of Quarvo does not convert it yet.");
    }
    page.Element("li",
                 "The items in Opera's trash: deleted by you in Opera. Their counts are above.");
    if (done.survey.passwords)
        page.Element("li", done.survey.passwords->file + ": " + std::string(kPasswordsWarning));
    if (done.survey.cookies)
        page.Element("li", done.survey.cookies->file + ": " + std::string(kCookiesWarning));
    page.Raw("</ul>\n");
}

void NextSteps(Page& page, const ProfileExport& done) {
    page.Element("h2", "Next steps");
    for (const ProfileKindExport& kind : done.kinds) {
        const ProfileKind* known = ProfileKindOf(kind.kind);
        if (!known || known->next_steps.empty() || !kind.problem.empty()) continue;
        page.Element("h3", known->title);
        page.Raw("<ul>\n");
        std::string_view steps = known->next_steps;
        while (!steps.empty()) {
            const std::size_t end = std::min(steps.find('\n'), steps.size());
            page.Element("li", steps.substr(0, end));
            steps.remove_prefix(std::min(end + 1, steps.size()));
        }
        page.Raw("</ul>\n");
    }
}

}  // namespace

std::string ProfileReportHtml(const ProfileExport& done, std::string_view output_folder) {
    Page page;
    page.Raw(
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Your Opera profile, exported</title>\n"
        "<style>body{font-family:sans-serif;max-width:50em;margin:1em auto}"
        "table{border-collapse:collapse}td,th{border:1px solid #aaa;padding:.2em .5em;"
        "text-align:left}</style>\n</head>\n<body>\n");
    page.Element("h1", "Your Opera profile, exported");
    page.Element("p", "From the profile " + done.survey.folder + " into " +
                          std::string(output_folder) + ".");
    Found(page, done.survey);
    Written(page, done);
    LeftOut(page, done);
    NextSteps(page, done);
    page.Raw("</body>\n</html>\n");
    return page.Take();
}

}  // namespace quarvo
