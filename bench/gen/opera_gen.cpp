// SPDX-License-Identifier: MIT
#include "opera_gen.h"

#include <array>
#include <string_view>

#include "gen_random.h"

namespace quarvo::gen {
namespace {

using Words = std::array<std::string_view, 24>;

constexpr Words kFirstNames = {"Anna",  "Bjørn",   "Chloé",  "Dmitri", "Eve",     "François",
                               "Grete", "Hiroshi", "Ingrid", "José",   "Kari",    "Lars",
                               "Marta", "Nils",    "Olga",   "Pål",    "Quentin", "Ruth",
                               "Søren", "Tomás",   "Ursula", "Viktor", "Wanda",   "Zoë"};
constexpr Words kLastNames = {
    "Andersen", "Brekke",   "Castillo",    "Dahl",  "Eriksen", "Fjeld",  "Gundersen", "Haugen",
    "Iversen",  "Johansen", "Kristiansen", "Lie",   "Moen",    "Nilsen", "Olsen",     "Pettersen",
    "Quist",    "Rønning",  "Strand",      "Tveit", "Ueland",  "Vik",    "Wold",      "Ødegård"};
constexpr Words kTitleWords = {
    "Weather",  "News",   "Recipes",  "Kernel",   "Museum",  "Train timetable", "Forum",   "Café",
    "Москва",   "日本語", "Ελληνικά", "Straße",   "Library", "Podcast",         "Archive", "Manual",
    "Tutorial", "Blog",   "Map",      "Football", "Photos",  "Radio",           "Bank",    "Shop"};
constexpr Words kHosts = {
    "example.com",         "example.org",         "example.net",          "wiki.example.org",
    "news.example.com",    "shop.example.net",    "mail.example.com",     "forum.example.org",
    "docs.example.net",    "radio.example.com",   "maps.example.org",     "bank.example.net",
    "blog.example.com",    "photos.example.org",  "train.example.net",    "museum.example.com",
    "kernel.example.org",  "recipes.example.net", "football.example.com", "library.example.org",
    "podcast.example.net", "archive.example.com", "weather.example.org",  "cafe.example.net"};
constexpr Words kSentences = {"Met at the fair",
                              "likes tea",
                              "Old school friend",
                              "call before noon",
                              "Moved to Bergen in 2004",
                              "birthday in May",
                              "Works with \"Opera\" since 1998",
                              "prefers mail, not phone",
                              "Neighbour, flat 3B",
                              "owes me a book",
                              "Vegetarian",
                              "plays the cello",
                              "Ski trip, Geilo",
                              "met via the forum",
                              "Bookmark of the week",
                              "read later",
                              "Reference for the kernel work",
                              "recipes <best> & quick",
                              "Timetable for the 07:42",
                              "mirror of the old site",
                              "Résumé draft",
                              "Übersicht",
                              "ссылка для работы",
                              "東京の地図"};
constexpr Words kStreets = {"1 Main Street",
                            "12 Storgata",
                            "Karl Johans gate 5",
                            "3 Rue de la Paix",
                            "Hauptstraße 7",
                            "Via Roma 9",
                            "Calle Mayor 22",
                            "Nørregade 14",
                            "Box 123",
                            "Flat 3B",
                            "Kongens gate 2",
                            "Ulica Długa 8",
                            "Springfield",
                            "Oslo",
                            "Bergen",
                            "Trondheim",
                            "Paris",
                            "Berlin",
                            "Roma",
                            "Madrid",
                            "København",
                            "Gdańsk",
                            "Tromsø",
                            "Stavanger"};

constexpr std::string_view kMarker = "\x02\x02";

class Writer {
  public:
    explicit Writer(const Options& options) : lf_only_(options.bare_line_feeds) {}
    Writer& Text(std::string_view text) {
        out_.append(text);
        return *this;
    }
    Writer& Number(std::uint64_t value) {
        out_.append(std::to_string(value));
        return *this;
    }
    Writer& EndLine() {
        out_.append(lf_only_ ? "\n" : "\r\n");
        return *this;
    }
    // One "\tKEY=value" line.
    Writer& Key(std::string_view key) { return Text("\t").Text(key).Text("="); }
    std::string& Out() { return out_; }

  private:
    bool lf_only_;
    std::string out_;
};

void Header(Writer& w) {
    w.Text("Opera Hotlist version 2.0").EndLine();
    w.Text("Options: encoding = utf8, version=3").EndLine();
    w.EndLine();
}

void UniqueId(Writer& w, Random& rnd) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    w.Key("UNIQUEID");
    for (int i = 0; i < 32; ++i) w.Out().push_back(kHex[rnd.Below(16)]);
    w.EndLine();
}

void Created(Writer& w, Random& rnd) {
    w.Key("CREATED").Number(1000000000 + rnd.Below(400000000)).EndLine();
}

void Url(Writer& w, Random& rnd, std::uint64_t id) {
    w.Text(rnd.Chance(30) ? "https://" : "http://").Text(rnd.Pick(kHosts)).Text("/");
    w.Text("page/").Number(id);
    if (rnd.Chance(40)) w.Text("?q=").Number(rnd.Below(100000)).Text("&lang=no");
}

// Lines of a multi-line value, separated by the 0x02 0x02 marker.
void MarkedLines(Writer& w, Random& rnd, const Words& words, std::size_t lines) {
    for (std::size_t i = 0; i < lines; ++i) {
        if (i > 0) w.Text(kMarker);
        w.Text(rnd.Pick(words));
    }
}

void FolderStart(Writer& w, Random& rnd, std::uint64_t id, std::string_view name, bool trash) {
    w.Text("#FOLDER").EndLine();
    w.Key("ID").Number(id).EndLine();
    w.Key("NAME").Text(name).EndLine();
    Created(w, rnd);
    if (trash) {
        w.Key("TRASH FOLDER").Text("YES").EndLine();
        w.Key("DELETABLE").Text("NO").EndLine();
    } else if (rnd.Chance(20)) {
        w.Key("EXPANDED").Text("YES").EndLine();
    }
    UniqueId(w, rnd);
    w.EndLine();
}

void FolderEnd(Writer& w) {
    w.Text("-").EndLine().EndLine();
}

void Contact(Writer& w, Random& rnd, std::uint64_t id) {
    const std::string_view first = rnd.Pick(kFirstNames);
    const std::string_view last = rnd.Pick(kLastNames);
    w.Text("#CONTACT").EndLine();
    w.Key("ID").Number(id).EndLine();
    w.Key("NAME").Text(first).Text(" ").Text(last).EndLine();
    w.Key("URL");
    if (rnd.Chance(50)) Url(w, rnd, id);
    w.EndLine();
    Created(w, rnd);
    w.Key("DESCRIPTION");
    MarkedLines(w, rnd, kSentences, rnd.Below(4));
    w.EndLine();
    w.Key("SHORT NAME").Text(first).EndLine();
    w.Key("ACTIVE").Text(rnd.Chance(80) ? "YES" : "NO").EndLine();
    w.Key("MAIL");
    const std::size_t mails = 1 + rnd.Below(4);
    for (std::size_t i = 0; i < mails; ++i) {
        if (i > 0) w.Text(kMarker);
        w.Text(first.substr(0, 1))
            .Text(".")
            .Number(id)
            .Text(".")
            .Number(i)
            .Text("@")
            .Text(rnd.Pick(kHosts));
    }
    w.EndLine();
    w.Key("PHONE").Text("+47 ").Number(20000000 + rnd.Below(79999999)).EndLine();
    w.Key("FAX");
    if (rnd.Chance(20)) w.Text("+47 ").Number(20000000 + rnd.Below(79999999));
    w.EndLine();
    w.Key("POSTALADDRESS");
    MarkedLines(w, rnd, kStreets, rnd.Below(4));
    w.EndLine();
    w.Key("PICTUREURL");
    if (rnd.Chance(25))
        w.Text("http://").Text(rnd.Pick(kHosts)).Text("/face/").Number(id).Text(".jpg");
    w.EndLine();
    w.Key("ICON").Text("Contact").Number(rnd.Below(40)).EndLine();
    w.EndLine();
}

void Bookmark(Writer& w, Random& rnd, std::uint64_t id) {
    w.Text("#URL").EndLine();
    w.Key("ID").Number(id).EndLine();
    w.Key("NAME").Text(rnd.Pick(kTitleWords)).Text(" ").Text(rnd.Pick(kTitleWords));
    if (rnd.Chance(10)) w.Text(" & more");
    w.EndLine();
    w.Key("URL");
    Url(w, rnd, id);
    w.EndLine();
    Created(w, rnd);
    if (rnd.Chance(60)) w.Key("VISITED").Number(1100000000 + rnd.Below(300000000)).EndLine();
    if (rnd.Chance(30)) w.Key("DESCRIPTION").Text(rnd.Pick(kSentences)).EndLine();
    if (rnd.Chance(15)) w.Key("SHORT NAME").Text(rnd.Pick(kTitleWords)).EndLine();
    if (rnd.Chance(20))
        w.Key("ICONFILE").Text("http://").Text(rnd.Pick(kHosts)).Text("/favicon.ico").EndLine();
    UniqueId(w, rnd);
    w.EndLine();
}

void Separator(Writer& w, Random& rnd, std::uint64_t id) {
    w.Text("#SEPERATOR").EndLine();
    w.Key("ID").Number(id).EndLine();
    UniqueId(w, rnd);
    w.EndLine();
}

// A note: a title line, then up to forty lines of sentences, some empty, as
// Opera keeps them (one NAME, lines apart by the 0x02 0x02 marker); most
// were taken from a page and keep its URL. Titles repeat, and some hold
// characters no file name may.
void Note(Writer& w, Random& rnd, std::uint64_t id) {
    w.Text("#NOTE").EndLine();
    w.Key("ID").Number(id).EndLine();
    UniqueId(w, rnd);
    w.Key("NAME").Text(rnd.Pick(kTitleWords));
    if (rnd.Chance(20)) w.Text(": ").Text(rnd.Pick(kTitleWords));
    if (rnd.Chance(30)) w.Text(" ").Number(id % 400);
    const std::size_t lines = rnd.Below(40);
    for (std::size_t i = 0; i < lines; ++i) {
        w.Text(kMarker);
        if (rnd.Chance(15)) continue;  // an empty line
        for (std::size_t words = 1 + rnd.Below(3); words > 0; --words) {
            w.Text(rnd.Pick(kSentences));
            if (words > 1) w.Text(" ");
        }
    }
    w.EndLine();
    if (rnd.Chance(90)) {
        w.Key("URL");
        Url(w, rnd, id);
        w.EndLine();
    }
    Created(w, rnd);
    w.EndLine();
}

}  // namespace

std::string MakeNotes(std::size_t min_bytes, const Options& options) {
    Random rnd(options.seed);
    Writer w(options);
    w.Out().reserve(min_bytes + 4096);
    Header(w);
    std::uint64_t id = 1;
    // Opera's trash, with what was thrown away.
    FolderStart(w, rnd, id++, "Trash", true);
    for (int i = 0; i < 20; ++i) Note(w, rnd, id++);
    FolderEnd(w);
    int depth = 0;
    while (w.Out().size() < min_bytes) {
        const std::size_t roll = rnd.Below(100);
        if (roll < 4 && depth < 4) {
            FolderStart(w, rnd, id++, rnd.Pick(kTitleWords), false);
            ++depth;
        } else if (roll < 8 && depth > 0) {
            FolderEnd(w);
            --depth;
        } else if (roll < 9) {
            Separator(w, rnd, id++);
        } else {
            Note(w, rnd, id++);
        }
    }
    for (; depth > 0; --depth) FolderEnd(w);
    return std::move(w.Out());
}

std::string MakeContacts(std::size_t min_bytes, const Options& options) {
    Random rnd(options.seed);
    Writer w(options);
    w.Out().reserve(min_bytes + 1024);
    Header(w);
    std::uint64_t id = 1;
    FolderStart(w, rnd, id++, "Trash", true);
    FolderEnd(w);
    int depth = 0;
    while (w.Out().size() < min_bytes) {
        const std::size_t roll = rnd.Below(100);
        if (roll < 3 && depth < 2) {
            FolderStart(w, rnd, id++, rnd.Pick(kStreets), false);
            ++depth;
        } else if (roll < 6 && depth > 0) {
            FolderEnd(w);
            --depth;
        } else {
            Contact(w, rnd, id++);
        }
    }
    for (; depth > 0; --depth) FolderEnd(w);
    return std::move(w.Out());
}

std::string MakeHotlist(std::size_t min_bytes, const Options& options) {
    Random rnd(options.seed);
    Writer w(options);
    w.Out().reserve(min_bytes + 1024);
    Header(w);
    std::uint64_t id = 1;
    FolderStart(w, rnd, id++, "Trash", true);
    Bookmark(w, rnd, id++);  // a deleted bookmark
    FolderEnd(w);
    int depth = 0;
    while (w.Out().size() < min_bytes) {
        const std::size_t roll = rnd.Below(100);
        if (roll < 6 && depth < 5) {
            FolderStart(w, rnd, id++, rnd.Pick(kTitleWords), false);
            ++depth;
        } else if (roll < 11 && depth > 0) {
            FolderEnd(w);
            --depth;
        } else if (roll < 14) {
            Separator(w, rnd, id++);
        } else {
            Bookmark(w, rnd, id++);
        }
    }
    for (; depth > 0; --depth) FolderEnd(w);
    return std::move(w.Out());
}

}  // namespace quarvo::gen
