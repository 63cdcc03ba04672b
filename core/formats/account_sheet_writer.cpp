// SPDX-License-Identifier: MIT
#include "formats/account_sheet_writer.h"

#include <string_view>

#include "formats/opera_ini.h"

namespace quarvo::formats {
namespace {

using Kind = model::MailView::Kind;

std::string Escaped(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

void Row(std::string& html, std::string_view label, std::string_view value) {
    if (value.empty()) return;
    html += "<tr><th>" + Escaped(label) + "</th><td>" + Escaped(value) + "</td></tr>\n";
}

std::string Yes(std::string_view flag) {
    return flag == "1" ? "yes" : flag == "0" ? "no" : std::string(flag);
}

// "IMAP imap.example.com, port 993, secure connection: yes".
std::string Server(const model::MailAccount& a, std::string_view way) {
    const std::string w(way);
    const std::string_view host = a.Setting(w + " Servername");
    if (host.empty()) return {};
    std::string text = std::string(a.Setting(w + " Protocol"));
    if (!text.empty()) text += ' ';
    text += host;
    if (const std::string_view port = a.Setting(w + " Port"); !port.empty())
        text += ", port " + std::string(port);
    const std::string_view secure =
        a.Setting(way == "Incoming" ? "Secure Connection In" : "Secure Connection Out");
    if (!secure.empty()) text += ", secure connection: " + Yes(secure);
    return text;
}

const SheetMailbox* MailboxOf(const AccountSheet& sheet, std::string_view folder) {
    for (const SheetMailbox& box : sheet.mailboxes)
        if (SameLetters(box.folder, folder)) return &box;
    return nullptr;
}

std::string Written(const SheetMailbox* box) {
    if (box == nullptr) return "no messages in the store";
    return box->written + ", " + std::to_string(box->messages) +
           (box->messages == 1 ? " message" : " messages");
}

void Account(std::string& html, const AccountSheet& sheet, const model::MailAccount& a) {
    const std::string folder = "account" + std::to_string(a.number);
    std::string title(a.Setting("Account Name"));
    if (title.empty()) title = "Account " + std::to_string(a.number);
    html += "<h2>" + Escaped(title) + "</h2>\n<table>\n";
    Row(html, "Mailbox", Written(MailboxOf(sheet, folder)));
    Row(html, "E-mail address", a.Setting("Email"));
    Row(html, "Name", a.Setting("Real Name"));
    Row(html, "Organisation", a.Setting("Organization"));
    Row(html, "Reply-to address", a.Setting("Replyto"));
    Row(html, "Incoming server", Server(a, "Incoming"));
    Row(html, "Incoming user name", a.Setting("Incoming Username"));
    Row(html, "Outgoing server", Server(a, "Outgoing"));
    Row(html, "Outgoing user name", a.Setting("Outgoing Username"));
    Row(html, "Character set", a.Setting("Charset"));
    Row(html, "Password", "not in Opera's account file: enter it again in the new program");
    for (const SheetSignature& signature : sheet.signatures) {
        if (signature.account != a.number) continue;
        if (signature.text)
            html +=
                "<tr><th>Signature</th><td><pre>" + Escaped(*signature.text) + "</pre></td></tr>\n";
        else
            Row(html, "Signature", signature.note);
    }
    html += "</table>\n";
    if (!a.left_out.empty()) {
        html += "<p class=\"left-out\">Left out as they look like passwords:";
        for (const std::string& key : a.left_out) html += " <code>" + Escaped(key) + "</code>";
        html += "</p>\n";
    }
    html += "<details><summary>Every setting of this account in Opera</summary>\n<table>\n";
    for (const auto& [key, value] : a.settings)
        html += "<tr><th>" + Escaped(key) + "</th><td>" + Escaped(value) + "</td></tr>\n";
    html += "</table>\n</details>\n";
}

struct KindText {
    Kind kind;
    std::string_view heading;
    bool folded;  // long lists Opera made by itself, shown on request
};

constexpr KindText kKinds[] = {
    {Kind::kLabel, "Labels", false},
    {Kind::kFilter, "Filters", false},
    {Kind::kSearch, "Saved searches", false},
    {Kind::kImapFolder, "IMAP folders (they stay on the server)", false},
    {Kind::kMailingList, "Mailing lists", false},
    {Kind::kNewsgroup, "Newsgroups", false},
    {Kind::kNewsfeed, "Newsfeeds", false},
    {Kind::kArchive, "Archives", false},
    {Kind::kFolderGroup, "Folder groups", false},
    {Kind::kContact, "Contacts' views", true},
};

void Views(std::string& html, const AccountSheet& sheet) {
    html += "<h2>Labels, filters and folders</h2>\n";
    if (sheet.views.empty()) {
        html += "<p>Opera's index.ini names none.</p>\n";
        return;
    }
    html +=
        "<p>Opera showed mail in these views; which message was in which is kept in Opera's "
        "own binary files and is not part of the export. Set up the ones you need again.</p>\n";
    for (const KindText& kind : kKinds) {
        std::string items;
        std::size_t count = 0;
        for (const model::MailView& view : sheet.views) {
            if (view.kind != kind.kind) continue;
            ++count;
            items += "<li>" + Escaped(view.name);
            // An IMAP folder's rule is its path on the server, often its name again.
            bool first = true;
            for (const std::string& rule : view.rules) {
                if (rule == view.name) continue;
                items += (first ? ": <code>" : ", <code>") + Escaped(rule) + "</code>";
                first = false;
            }
            items += "</li>\n";
        }
        if (count == 0) continue;
        const std::string heading = Escaped(kind.heading) + " (" + std::to_string(count) + ")";
        if (kind.folded)
            html += "<details><summary>" + heading + "</summary>\n<ul>\n" + items +
                    "</ul>\n</details>\n";
        else
            html += "<h3>" + heading + "</h3>\n<ul>\n" + items + "</ul>\n";
    }
}

void OtherMailboxes(std::string& html, const AccountSheet& sheet) {
    std::string rows;
    for (const SheetMailbox& box : sheet.mailboxes) {
        const bool of_account = [&] {
            for (const model::MailAccount& a : sheet.accounts.accounts)
                if (SameLetters(box.folder, "account" + std::to_string(a.number))) return true;
            return false;
        }();
        if (of_account) continue;
        const std::string from =
            box.folder.empty() ? "the files directly in store/" : "store/" + box.folder;
        rows += "<tr><th>" + Escaped(from) + "</th><td>" + Escaped(Written(&box)) + "</td></tr>\n";
    }
    if (rows.empty()) return;
    html += "<h2>Other mailboxes</h2>\n<table>\n" + rows + "</table>\n";
}

}  // namespace

std::string WriteAccountSheet(const AccountSheet& sheet) {
    std::string html =
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Opera mail accounts</title>\n<style>\n"
        "body { font-family: sans-serif; max-width: 60em; margin: 1em auto; padding: 0 1em; }\n"
        "th { text-align: left; vertical-align: top; padding-right: 1em; font-weight: normal; "
        "color: #555; }\n"
        "pre { margin: 0; white-space: pre-wrap; }\n"
        ".left-out { color: #a00; }\n</style>\n</head>\n<body>\n<h1>Opera mail accounts</h1>\n";
    html += "<p>From the Opera mail folder <code>" + Escaped(sheet.mail_folder) +
            "</code>, with the " + (sheet.maildir ? "Maildir folders" : "mbox files") +
            " beside this page.</p>\n";
    html +=
        "<p>No password is written here: Opera keeps the accounts' passwords in its password "
        "store (wand.dat), which Quarvo never opens.</p>\n";
    if (!sheet.accounts.left_out.empty()) {
        html += "<p class=\"left-out\">Settings left out as they look like passwords:";
        for (const std::string& key : sheet.accounts.left_out)
            html += " <code>" + Escaped(key) + "</code>";
        html += "</p>\n";
    }
    if (!sheet.accounts_read)
        html += "<p>The mail folder has no accounts.ini: the accounts' settings are unknown.</p>\n";
    else if (sheet.accounts.accounts.empty())
        html += "<p>Opera's accounts.ini lists no account.</p>\n";
    for (const model::MailAccount& account : sheet.accounts.accounts) Account(html, sheet, account);
    OtherMailboxes(html, sheet);
    Views(html, sheet);
    html += "</body>\n</html>\n";
    return html;
}

}  // namespace quarvo::formats
