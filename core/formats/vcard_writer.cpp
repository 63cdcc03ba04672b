// SPDX-License-Identifier: MIT
#include "formats/vcard_writer.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <initializer_list>
#include <list>
#include <span>
#include <vector>

#include "formats/contact_fields.h"
#include "text/text_encoding.h"

namespace quarvo::formats {
namespace {

using model::Contact;
using model::kValueBreak;

constexpr std::size_t kMostLineOctets = 75;
constexpr char kHex[] = "0123456789ABCDEF";
// A giant value is handed on a mebibyte at a time.
constexpr std::size_t kPiece = std::size_t{1} << 20;

void MaybePass(const std::string& out, const PassText& pass) {
    if (pass && out.size() >= kPiece) pass();
}

bool IsControl(unsigned char byte) {
    return byte < 0x20 || byte == 0x7f;
}

// Printable ASCII: what every step below passes on unchanged, so that it
// is taken in runs rather than byte by byte.
bool IsPlainAscii(unsigned char byte) {
    return byte >= 0x20 && byte < 0x7f;
}

// NEL, LINE SEPARATOR and PARAGRAPH SEPARATOR: a reader that splits lines
// as Unicode does would end the property at them.
bool IsUnicodeLineBreak(char32_t code) {
    return code == 0x85 || code == 0x2028 || code == 0x2029;
}

// The five bytes Windows-1252 leaves undefined, which stand for C1 controls.
bool IsUndefinedWindows1252(unsigned char byte) {
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// `value` with each of Opera's line-break pairs as '\n' (`keep_breaks`) or
// a blank.
std::string Lines(std::string_view value, bool keep_breaks) {
    return JoinValueLines(value, keep_breaks ? "\n" : " ");
}

// A URI holds no blanks; they are percent-encoded, as a URI spells them.
std::string UriValue(std::string_view value) {
    std::string uri;
    for (const char c : Lines(value, false)) {
        if (c == ' ' || c == '\t') {
            const auto byte = static_cast<unsigned char>(c);
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0xf];
        } else {
            uri += c;
        }
    }
    return uri;
}

bool HoldsNonAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

// What a value is to its readers.
enum class Kind {
    kText,  // one text
    kList,  // a text that Thunderbird cuts at commas (NOTE, NICKNAME)
    kUri,
};

// 2.1 has no escape its readers agree on but "\;" between the parts of a
// structured value. Evolution cuts a single value at a bare ';' and reads
// "\;", "\n" and the like as escapes in it, KContacts and Thunderbird keep
// the backslash of "\;", and Thunderbird cuts a list or a part of a
// structured value at a bare ','. Quoted-printable is read alike by all:
// such a value is written in it, with those characters as =XX.
bool NeedsQuotedPrintable21(std::string_view part, bool structured, Kind kind) {
    for (const char c : part) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || c == '\n' || c == '\\') return true;
        if (c == ';' && !structured) return true;
        if (c == ',' && (structured || kind == Kind::kList)) return true;
        if (IsControl(byte) && c != '\t') return true;
    }
    return false;
}

// A part of a 2.1 value in quoted-printable: line breaks as CR LF, every
// byte outside printable ASCII and each of "=;\," as =XX, but a ';' inside
// a part of a structured value as "\;", and a closing blank as =20. No
// soft line breaks: a reader that decodes line by line would split a
// UTF-8 sequence at them, and Evolution keeps their '='.
void PutQuotedPrintable(std::string& out, std::string_view part, bool structured, bool closes,
                        const PassText& pass) {
    for (std::size_t i = 0; i < part.size(); ++i) {
        MaybePass(out, pass);
        // Printable ASCII that needs no =XX goes on in runs; a closing
        // blank is taken below.
        std::size_t run = i;
        while (run + 1 < part.size() && run - i < kPiece &&
               IsPlainAscii(static_cast<unsigned char>(part[run])) && part[run] != '=' &&
               part[run] != ';' && part[run] != '\\' && part[run] != ',')
            ++run;
        out.append(part, i, run - i);
        i = run;
        const char c = part[i];
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            out += "=0D=0A";
        } else if (c == ';' && structured) {
            out += "\\;";
        } else if (IsControl(byte) || byte >= 0x80 || c == '=' || c == ';' || c == '\\' ||
                   c == ',' || (closes && i + 1 == part.size() && (c == ' ' || c == '\t'))) {
            out += '=';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        } else {
            out += c;
        }
    }
}

// ";HOME;VOICE" as ";TYPE=HOME;TYPE=VOICE": Thunderbird reads bare types
// only on a line whose parameters are all bare.
std::string TypesNamed(std::string_view params) {
    std::string named;
    while (!params.empty()) {
        params.remove_prefix(1);  // the ';'
        const std::string_view param = params.substr(0, params.find(';'));
        params.remove_prefix(param.size());
        named += param.find('=') == std::string_view::npos ? ";TYPE=" : ";";
        named += param;
    }
    return named;
}

class CardWriter {
  public:
    CardWriter(std::string& out, VcardVersion version, const VcardCharset& charset,
               const PassText& pass)
        : out_(out), v30_(version == VcardVersion::k30), charset_(charset), pass_(pass) {}

    // A property of one or more parts (the parts of a structured value,
    // joined by semicolons); its line breaks already '\n'. The parts are
    // views, so that a giant value is not copied on its way.
    void Property(std::string_view name, std::string_view params_30, std::string_view params_21,
                  std::initializer_list<std::string_view> parts, Kind kind = Kind::kText) {
        // At most seven parts (ADR's); held here rather than allocated for
        // each of a million cards' properties.
        std::array<std::string_view, 7> held{};
        assert(parts.size() <= held.size());
        std::copy(parts.begin(), parts.end(), held.begin());
        const std::span<std::string_view> views(held.data(), parts.size());
        std::string uri;
        if (kind == Kind::kUri) {
            uri = UriValue(views.front());
            views.front() = uri;
        }
        // KContacts and Thunderbird take the backslash that ends a part for
        // an escape of the ';' after it, however it is written. A list
        // allocates nothing while empty, as it nearly always is.
        std::list<std::string> blanked;
        for (std::size_t i = 0; i + 1 < views.size(); ++i) {
            if (!views[i].ends_with('\\')) continue;
            views[i] = blanked.emplace_back(std::string(views[i]) + ' ');
        }
        if (v30_)
            Put30(name, params_30, views, kind);
        else
            Put21(name, params_21, views, kind);
    }

  private:
    // The line folded as it is written, escaped piece by piece: pieces end
    // only at ASCII bytes, so no character is cut between two.
    void Put30(std::string_view name, std::string_view params,
               std::span<const std::string_view> parts, Kind kind) {
        std::size_t column = 0;
        Fold(name, column);
        Fold(params, column);
        Fold(":", column);
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (i > 0) Fold(";", column);
            if (kind == Kind::kUri)
                Fold(parts[i], column);
            else
                FoldEscaped30(parts[i], column);
        }
        out_ += "\r\n";
    }

    // RFC 2426 text: backslash, comma, semicolon and line break escaped.
    void FoldEscaped30(std::string_view text, std::size_t& column) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            std::size_t run = i;
            while (run < text.size() && text[run] != '\n' && text[run] != '\\' &&
                   text[run] != ',' && text[run] != ';')
                ++run;
            Fold(text.substr(i, run - i), column);
            if (run == text.size()) break;
            i = run;
            if (text[i] == '\n') {
                Fold("\\n", column);
            } else {
                const char escaped[] = {'\\', text[i]};
                Fold(std::string_view(escaped, 2), column);
            }
        }
    }

    void Put21(std::string_view name, std::string_view params,
               std::span<const std::string_view> parts, Kind kind) {
        const bool structured = parts.size() > 1;
        bool quoted = false;
        bool non_ascii = false;
        for (const std::string_view part : parts) {
            quoted = quoted || NeedsQuotedPrintable21(part, structured, kind);
            non_ascii = non_ascii || HoldsNonAscii(part);
        }
        out_ += name;
        if (!quoted) {
            out_ += params;
            out_ += ':';
            for (std::size_t i = 0; i < parts.size(); ++i) {
                if (i > 0) out_ += ';';
                // A ';' is only in a structured value's part: escaped.
                const std::string_view part = parts[i];
                for (std::size_t at = 0; at < part.size();) {
                    const std::size_t semicolon = std::min(part.find(';', at), part.size());
                    out_.append(part, at, semicolon - at);
                    MaybePass(out_, pass_);
                    if (semicolon == part.size()) break;
                    out_ += "\\;";
                    at = semicolon + 1;
                }
            }
        } else {
            out_ += TypesNamed(params);
            if (non_ascii) out_ += ";CHARSET=" + std::string(charset_.name);
            out_ += ";ENCODING=QUOTED-PRINTABLE:";
            for (std::size_t i = 0; i < parts.size(); ++i) {
                if (i > 0) out_ += ';';
                PutQuotedPrintable(out_, parts[i], structured, i + 1 == parts.size(), pass_);
            }
        }
        out_ += "\r\n";
    }

    // Folded with CR LF and a blank, at character boundaries; `column`
    // carries on from the pieces before on the same line.
    void Fold(std::string_view line, std::size_t& column) {
        for (std::size_t i = 0; i < line.size();) {
            // A run of one-octet characters that fits on the line goes on whole.
            std::size_t run = i;
            const std::size_t room = std::min(line.size(), i + (kMostLineOctets - column));
            while (run < room && (!charset_.utf8 || static_cast<unsigned char>(line[run]) < 0x80))
                ++run;
            if (run > i) {
                out_.append(line, i, run - i);
                column += run - i;
                i = run;
                MaybePass(out_, pass_);
                continue;
            }
            std::size_t length = 1;
            if (charset_.utf8) length = std::max<std::size_t>(1, Utf8SequenceLength(line, i));
            if (column + length > kMostLineOctets) {
                out_ += "\r\n ";
                column = 1;
            }
            out_.append(line, i, length);
            column += length;
            i += length;
            MaybePass(out_, pass_);
        }
    }

    std::string& out_;
    bool v30_;
    VcardCharset charset_;
    const PassText& pass_;
};

}  // namespace

VcardText::VcardText(const Contact& c, bool utf8) {
    const std::array<std::string_view, 10> in = {
        c.name, c.url,   c.description, c.short_name,     c.active,
        c.mail, c.phone, c.fax,         c.postal_address, c.picture_url};
    for (std::size_t i = 0; i < in.size(); ++i) values_[i] = Clean(in[i], utf8);
    std::string_view* const out[] = {
        &contact_.name,           &contact_.url,        &contact_.description, &contact_.short_name,
        &contact_.active,         &contact_.mail,       &contact_.phone,       &contact_.fax,
        &contact_.postal_address, &contact_.picture_url};
    for (std::size_t i = 0; i < in.size(); ++i) *out[i] = values_[i];
}

std::string VcardText::Clean(std::string_view value, bool utf8) {
    std::string text;
    text.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        std::size_t run = i;
        while (run < value.size() && IsPlainAscii(static_cast<unsigned char>(value[run]))) ++run;
        text.append(value, i, run - i);
        if (run == value.size()) break;
        i = run;
        const auto byte = static_cast<unsigned char>(value[i]);
        if (value.substr(i, 2) == kValueBreak || value.substr(i, 2) == "\r\n") {
            text += kValueBreak;
            ++i;
        } else if (byte == '\r' || byte == '\n') {
            text += kValueBreak;
        } else if (byte == '\t' || !IsControl(byte)) {
            const std::size_t length = byte >= 0x80 && utf8 ? Utf8SequenceLength(value, i) : 0;
            if (length == 0) {
                if (utf8 || !IsUndefinedWindows1252(byte))
                    text += value[i];
                else
                    ++dropped_;
                continue;
            }
            const char32_t code = DecodeUtf8(value, i, length);
            if (IsUnicodeLineBreak(code))
                text += kValueBreak;
            else if (code >= 0x80 && code < 0xA0)
                ++dropped_;
            else
                text.append(value, i, length);
            i += length - 1;
        } else {
            ++dropped_;
        }
    }
    return text;
}

std::size_t AppendVcard(std::string& out, const Contact& contact, VcardVersion version,
                        const VcardCharset& charset, const PassText& pass) {
    const VcardText clean(contact, charset.utf8);
    AppendCleanVcard(out, clean.contact(), version, charset, pass);
    return clean.dropped();
}

void AppendCleanVcard(std::string& out, const Contact& c, VcardVersion version,
                      const VcardCharset& charset, const PassText& pass) {
    const bool v30 = version == VcardVersion::k30;
    out += v30 ? "BEGIN:VCARD\r\nVERSION:3.0\r\n" : "BEGIN:VCARD\r\nVERSION:2.1\r\n";
    CardWriter card(out, version, charset, pass);
    const PersonName name = SplitContactName(c);
    card.Property("N", "", "", {Lines(name.family, false), Lines(name.given, false), "", "", ""});
    card.Property("FN", "", "", {Lines(DisplayName(c), false)});
    if (!c.short_name.empty())
        card.Property("NICKNAME", "", "", {Lines(c.short_name, false)}, Kind::kList);
    bool first = true;
    for (const std::string_view address : MailAddresses(c.mail)) {
        card.Property("EMAIL", first ? ";TYPE=INTERNET,PREF" : ";TYPE=INTERNET",
                      first ? ";INTERNET;PREF" : ";INTERNET", {std::string(address)});
        first = false;
    }
    if (!c.phone.empty())
        card.Property("TEL", ";TYPE=HOME,VOICE", ";HOME;VOICE", {Lines(c.phone, false)});
    if (!c.fax.empty()) card.Property("TEL", ";TYPE=HOME,FAX", ";HOME;FAX", {Lines(c.fax, false)});
    if (!c.postal_address.empty()) {
        const std::string street = Lines(c.postal_address, true);
        card.Property("ADR", ";TYPE=HOME", ";HOME", {"", "", street, "", "", "", ""});
        card.Property("LABEL", ";TYPE=HOME", ";HOME", {street});
    }
    if (!c.url.empty()) card.Property("URL", "", "", {std::string(c.url)}, Kind::kUri);
    if (!c.picture_url.empty())
        card.Property("PHOTO", ";VALUE=URI", ";VALUE=URL", {std::string(c.picture_url)},
                      Kind::kUri);
    if (!c.description.empty())
        card.Property("NOTE", "", "", {Lines(c.description, true)}, Kind::kList);
    out += "END:VCARD\r\n";
}

}  // namespace quarvo::formats
