// SPDX-License-Identifier: MIT
#include "formats/vcard_writer.h"

#include <vector>

#include "formats/contact_fields.h"
#include "formats/text_encoding.h"

namespace quarvo::formats {
namespace {

using model::Contact;

constexpr std::size_t kMostLineOctets = 75;

// `value` with each line break as '\n' (`keep_breaks`) or a blank: Opera's
// pairs, and any CR, LF or CR LF, which would otherwise end the property.
std::string Lines(std::string_view value, bool keep_breaks) {
    const char brk = keep_breaks ? '\n' : ' ';
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (value.substr(i, 2) == model::kValueBreak || value.substr(i, 2) == "\r\n") {
            text += brk;
            ++i;
        } else {
            text += c == '\r' || c == '\n' ? brk : c;
        }
    }
    return text;
}

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

// A URI holds no blanks or controls; they are percent-encoded, as a URI
// spells them.
std::string UriValue(std::string_view value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri;
    for (const char c : Lines(value, false)) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsControl(c) || c == ' ') {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0xf];
        } else {
            uri += c;
        }
    }
    return uri;
}

// RFC 2426 text: backslash, comma, semicolon and line break escaped.
std::string Escaped30(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\n') {
            escaped += "\\n";
            continue;
        }
        if (c == '\\' || c == ',' || c == ';') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

// 2.1 escapes only the semicolon, and only in the parts of a structured value.
std::string Escaped21(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        if (c == ';') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

bool NeedsQuotedPrintable(std::string_view text) {
    for (const char c : text)
        if (IsControl(c) || static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

bool HoldsNonAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

enum class Kind { kText, kUri };

class CardWriter {
  public:
    CardWriter(std::string& out, VcardVersion version, const VcardCharset& charset)
        : out_(out), v30_(version == VcardVersion::k30), charset_(charset) {}

    // A property of one or more parts (the parts of a structured value,
    // joined by semicolons); its line breaks already '\n'.
    void Property(std::string_view name, std::string_view params_30, std::string_view params_21,
                  const std::vector<std::string>& parts, Kind kind = Kind::kText) {
        std::string line(name);
        line += v30_ ? params_30 : params_21;
        std::string value;
        if (kind == Kind::kUri) {
            value = UriValue(parts.front());
        } else {
            for (std::size_t i = 0; i < parts.size(); ++i) {
                if (i > 0) value += ';';
                value += v30_               ? Escaped30(parts[i])
                         : parts.size() > 1 ? Escaped21(parts[i])
                                            : parts[i];
            }
        }
        if (!v30_ && NeedsQuotedPrintable(value)) {
            if (HoldsNonAscii(value)) line += ";CHARSET=" + std::string(charset_.name);
            line += ";ENCODING=QUOTED-PRINTABLE:";
            PutQuotedPrintable(line, value);
            return;
        }
        line += ':';
        line += value;
        PutFolded(line);
    }

  private:
    // Folded with CR LF and a blank, at character boundaries.
    void PutFolded(std::string_view line) {
        std::size_t column = 0;
        for (std::size_t i = 0; i < line.size();) {
            std::size_t length = 1;
            if (charset_.utf8) length = std::max<std::size_t>(1, Utf8SequenceLength(line, i));
            if (column + length > kMostLineOctets) {
                out_ += "\r\n ";
                column = 1;
            }
            out_.append(line, i, length);
            column += length;
            i += length;
        }
        out_ += "\r\n";
    }

    // Line breaks as CR LF, every byte outside printable ASCII (and '=', and
    // a closing blank) as =XX; soft line breaks keep lines within 76 octets.
    void PutQuotedPrintable(std::string_view head, std::string_view value) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        std::string text;
        for (const char c : value) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
        out_ += head;
        std::size_t column = head.size();
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto byte = static_cast<unsigned char>(text[i]);
            std::string token(1, text[i]);
            const bool encoded = IsControl(text[i]) || byte >= 0x80 || byte == '=' ||
                                 (byte == ' ' && i + 1 == text.size());
            if (encoded) token = {'=', kHex[byte >> 4], kHex[byte & 0xf]};
            if (column + token.size() > kMostLineOctets) {
                out_ += "=\r\n";
                column = 0;
                // A blank that opens a line would be taken for a fold and dropped.
                if (byte == ' ') token = "=20";
            }
            out_ += token;
            column += token.size();
        }
        out_ += "\r\n";
    }

    std::string& out_;
    bool v30_;
    VcardCharset charset_;
};

}  // namespace

void AppendVcard(std::string& out, const Contact& c, VcardVersion version,
                 const VcardCharset& charset) {
    const bool v30 = version == VcardVersion::k30;
    out += v30 ? "BEGIN:VCARD\r\nVERSION:3.0\r\n" : "BEGIN:VCARD\r\nVERSION:2.1\r\n";
    CardWriter card(out, version, charset);
    const std::string full_name = Lines(DisplayName(c), false);
    const PersonName name = SplitContactName(c);
    card.Property("N", "", "", {Lines(name.family, false), Lines(name.given, false), "", "", ""});
    card.Property("FN", "", "", {full_name});
    if (!c.short_name.empty()) card.Property("NICKNAME", "", "", {Lines(c.short_name, false)});
    bool first = true;
    for (const std::string_view address : MailAddresses(c.mail)) {
        card.Property("EMAIL", first ? ";TYPE=INTERNET,PREF" : ";TYPE=INTERNET",
                      first ? ";INTERNET;PREF" : ";INTERNET", {Lines(address, false)});
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
    if (!c.description.empty()) card.Property("NOTE", "", "", {Lines(c.description, true)});
    out += "END:VCARD\r\n";
}

}  // namespace quarvo::formats
