// SPDX-License-Identifier: MIT
#include <vector>

#include "formats/opera_ini.h"
#include "formats/opera_link_files.h"

namespace quarvo::formats {
namespace {

constexpr std::string_view kEngineSection = "Search Engine ";

bool IsEngine(std::string_view section) {
    return section.size() > kEngineSection.size() &&
           SameLetters(section.substr(0, kEngineSection.size()), kEngineSection);
}

// Opera fills "%i" with its number of hits per page; the browsers know no
// such mark and would send it as it stands, so the parameter holding it
// goes.
std::string WithoutHitCount(std::string_view url) {
    const std::size_t query = url.find('?');
    if (query == std::string_view::npos || url.find("%i") == std::string_view::npos)
        return std::string(url);
    std::string out(url.substr(0, query + 1));
    std::string_view rest = url.substr(query + 1);
    bool first = true;
    while (true) {
        const std::size_t amp = rest.find('&');
        const std::string_view parameter = rest.substr(0, amp);
        if (!parameter.ends_with("=%i")) {
            if (!first) out += '&';
            out += parameter;
            first = false;
        }
        if (amp == std::string_view::npos) break;
        rest.remove_prefix(amp + 1);
    }
    if (first) out.pop_back();  // nothing was left after the '?'
    // A URL that was nothing but its hit count stays as Opera had it.
    return out.empty() ? std::string(url) : out;
}

// Opera writes a "%" of the URL itself as U+FDD0, a character no text
// holds, so that only its own marks ("%s") start with "%".
std::string WithPercents(std::string_view url) {
    constexpr std::string_view kPercentStandIn = "\xEF\xB7\x90";
    std::string out;
    out.reserve(url.size());
    for (std::size_t at = url.find(kPercentStandIn); at != std::string_view::npos;
         at = url.find(kPercentStandIn)) {
        out.append(url.substr(0, at)).append("%");
        url.remove_prefix(at + kPercentStandIn.size());
    }
    return out.append(url);
}

// Opera's own engines carry no name, only the number of a translated one:
// the URL's host stands in.
std::string_view HostOf(std::string_view url) {
    const std::size_t scheme = url.find("://");
    if (scheme != std::string_view::npos) url.remove_prefix(scheme + 3);
    return url.substr(0, url.find_first_of("/?#"));
}

bool IsUtf8Name(std::string_view encoding) {
    return encoding.empty() || SameLetters(encoding, "utf-8") || SameLetters(encoding, "utf8");
}

}  // namespace

model::BookmarkItem ReadSearchEngines(std::string_view text, ConversionReport& report) {
    model::BookmarkItem folder;
    folder.kind = model::BookmarkItem::Kind::kFolder;
    folder.name = kSearchEnginesFolder;
    report.Count(kEnginesCount, 0);
    for (const IniSection& engine : ReadOperaIni(text)) {
        if (!IsEngine(engine.name)) continue;
        if (engine.Value("Deleted") == "1") {
            report.Count(kDeletedEnginesCount);
            continue;
        }
        if (engine.Value("Is post") == "1") {
            report.Count(kPostEnginesCount);
            continue;
        }
        const std::string_view url = engine.Value("URL");
        if (url.empty()) {
            report.Count(kNoUrlEnginesCount);
            continue;
        }
        model::BookmarkItem bookmark;
        const std::string name = WithoutMenuMarks(engine.Value("Name"));
        // A URL without a host (a mistyped scheme) names its engine whole.
        const std::string_view host = HostOf(url);
        bookmark.name = LinkText(!name.empty()   ? std::string_view(name)
                                 : !host.empty() ? host
                                                 : url,
                                 engine.name, report);
        bookmark.url = WithPercents(LinkText(WithoutHitCount(url), engine.name, report));
        bookmark.short_name = LinkText(engine.Value("Key"), engine.name, report);
        if (bookmark.url.find("%s") == std::string::npos)
            report.Warn(kNoTermWarning, bookmark.name);
        const std::string_view encoding = engine.Value("Encoding");
        if (!IsUtf8Name(encoding))
            report.Warn(kOtherEncodingWarning, bookmark.name + " (" + std::string(encoding) + ")");
        folder.children.push_back(std::move(bookmark));
        report.Count(kEnginesCount);
    }
    return folder;
}

}  // namespace quarvo::formats
