// SPDX-License-Identifier: MIT
// Reads a vCard file with KDE's KContacts, as KAddressBook imports one, and
// prints what it found as JSON: one object per contact. Built and run by
// tests/tools/check_contacts_exports.py --peer; not part of Quarvo.
#include <KContacts/Addressee>
#include <KContacts/VCardConverter>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kcontacts_read FILE.vcf\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 2;
    }
    const KContacts::Addressee::List contacts = KContacts::VCardConverter().parseVCards(file.readAll());
    QJsonArray out;
    for (const KContacts::Addressee& a : contacts) {
        QJsonObject c;
        c["fn"] = a.formattedName();
        c["family"] = a.familyName();
        c["given"] = a.givenName();
        c["nickname"] = a.nickName();
        c["emails"] = QJsonArray::fromStringList(a.emails());
        QJsonArray phones;
        for (const KContacts::PhoneNumber& p : a.phoneNumbers())
            phones.append(QJsonObject{{"number", p.number()},
                                      {"fax", bool(p.type() & KContacts::PhoneNumber::Fax)}});
        c["phones"] = phones;
        c["note"] = a.note();
        const KContacts::Address home = a.address(KContacts::Address::Home);
        c["street"] = home.street();
        c["label"] = home.label();
        c["url"] = a.url().url().toString();
        c["photo"] = a.photo().url();
        out.append(c);
    }
    std::fputs(QJsonDocument(out).toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputs("\n", stdout);
    return 0;
}
