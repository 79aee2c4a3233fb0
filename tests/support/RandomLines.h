#pragma once

#include "csv/LineReader.h"
#include "csv/LineWriter.h"
#include "model/Cp1252.h"
#include "model/ValueLists.h"

#include <QByteArray>
#include <random>

namespace tarmelo::test {

// Random marketplace lines of one class, as files from anywhere hold them: every column random, with brands and
// list values the lists do not hold, codes out of range, blanks, quotes, non-breaking spaces, umlauts and euro
// signs. Only the category is one the reader knows for the class.
class RandomLines {
public:
    explicit RandomLines(unsigned seed) : random_(seed) {}

    QByteArray line(int klasse) {
        QByteArray line = QByteArray::number(pick(999) + 1) + ';';
        for (int column = 2; column <= 148; ++column) {
            if (column == 3)
                line += '"' + category(klasse) + '"';
            else if (column == 4)
                line += brand(klasse);
            else
                line += value();
            line += ';';
        }
        return line;
    }

    // A record the reader makes of a random line of the class; some texts get lone line breaks, as JSON may give.
    model::TFahrzeug vehicle(int klasse) {
        for (;;) {
            std::optional<model::TFahrzeug> v = csv::ReadLine(line(klasse));
            if (!v || v->klasse != klasse)
                continue;
            if (pick(4) == 0)
                v->memo.insert(pick(int(v->memo.size()) + 1), pick(2) ? "\n" : "\r");
            if (pick(8) == 0)
                v->modell += "\r\n ";
            return *v;
        }
    }

    int pick(int n) { return int(random_() % unsigned(n)); }

private:
    QByteArray text() {
        static const QList<QByteArray> parts = {"a",    "Z", "7",    " ",   "  ", "\xA0", "\xE4", "\xDC", "\x80",
                                                "\xA4", ",", "\"\"", "x;y", "-",  "/",    "Golf", "€"};
        QByteArray t;
        for (int n = pick(6); n > 0; --n)
            t += parts[pick(int(parts.size()))];
        return t;
    }
    QByteArray value() {
        static const QList<QByteArray> values = {
            "",          "0",   "1",        "2",          "3",       "7",   "9",         "12",
            "-3",        "abc", "03.2021",  "13.2009",    "19.00",   "7.6", "5.60",      "11900.005",
            "600000000", "1e3", "24285.71", "01.12.2026", " 48500 ", "120", "1234567890"};
        switch (pick(3)) {
        case 0:
            return values[pick(int(values.size()))];
        case 1:
            return '"' + text() + '"';
        default:
            return '"' + values[pick(int(values.size()))] + '"';
        }
    }
    // The category as a writer of marketplace lines puts it, in any letter case for the first classes.
    QByteArray category(int klasse) {
        const QList<QByteArray>& items = model::listItems(model::ListId::Kategorie, klasse);
        model::TFahrzeug v = model::newVehicle(klasse);
        v.kategorie = items[1 + pick(int(items.size()) - 1)];
        const QByteArray body = csv::lineBody(v);
        const QByteArray name = body.mid(1, body.indexOf('"', 1) - 1);
        return pick(3) == 0 ? model::upperCp1252(name) : name;
    }
    QByteArray brand(int klasse) {
        static const QList<QByteArray> unknown = {"TRAILIS", "TESLA", "Cupra", "BYD", "polestar", "  Volkswagen "};
        switch (pick(4)) {
        case 0: {
            const QList<QByteArray>& own = model::listItems(model::ListId::Marke, klasse);
            return '"' + model::upperCp1252(own[pick(int(own.size()))]) + '"';
        }
        case 1: {
            const QList<QByteArray>& other = model::listItems(model::ListId::Marke, pick(12) + 1);
            return '"' + model::lowerCp1252(other[pick(int(other.size()))]) + '"';
        }
        case 2:
            return '"' + unknown[pick(int(unknown.size()))] + '"';
        default:
            return value();
        }
    }

    std::mt19937 random_;
};

} // namespace tarmelo::test
