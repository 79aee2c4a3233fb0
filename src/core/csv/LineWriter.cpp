#include "LineWriter.h"
#include "util/Rounding.h"

#include "csv/LineColumns.h"
#include "csv/LineNames.h"
#include "model/CommaNumber.h"
#include "model/Cp1252.h"
#include "model/FieldTable.h"
#include "model/ValueLists.h"

#include <QCryptographicHash>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

namespace tarmelo::csv {

using model::TFahrzeug;

namespace {

// The line is assembled in a plain byte buffer: it is built for every vehicle of every save. The helpers
// write a value into it in one pass, without copies in between.
using Buffer = std::string;
Buffer& operator+=(Buffer& out, const QByteArray& s) {
    return out.append(s.constData(), size_t(s.size()));
}

// The length of the line break at s[i] ("\r\n", a lone CR or a lone LF), or 0.
qsizetype breakAt(QByteArrayView s, qsizetype i) {
    if (s[i] == '\n')
        return 1;
    if (s[i] != '\r')
        return 0;
    return i + 1 < s.size() && s[i + 1] == '\n' ? 2 : 1;
}

// Whether s holds none of the four bytes; most values do not, and are then copied whole.
bool noneOf(QByteArrayView s, char a, char b, char c, char d) {
    for (const char x : s)
        if (x == a || x == b || x == c || x == d)
            return false;
    return true;
}

void appendWhole(Buffer& out, QByteArrayView s) {
    out.append(s.data(), size_t(s.size()));
}

// Line breaks and separators must never reach a line: they would break the file or its columns.
void appendUnquotedSafe(Buffer& out, QByteArrayView s) {
    if (noneOf(s, ';', '"', '\r', '\n'))
        return appendWhole(out, s);
    for (const char c : s)
        if (c != ';' && c != '"' && c != '\r' && c != '\n')
            out += c;
}

// Every quote doubled, every line break written as breakAs.
void appendDoubled(Buffer& out, QByteArrayView s, const char* breakAs) {
    // Runs without a quote or a line break are copied whole.
    for (qsizetype i = 0; i < s.size();) {
        qsizetype run = i;
        while (run < s.size() && s[run] != '"' && s[run] != '\r' && s[run] != '\n')
            ++run;
        out.append(s.data() + i, size_t(run - i));
        i = run;
        if (i == s.size())
            break;
        if (const qsizetype n = breakAt(s, i)) {
            out += breakAs;
            i += n;
            continue;
        }
        out += "\"\"";
        ++i;
    }
}

// Quoted columns written as stored: values read from a line hold their quotes in pairs and come back
// unchanged; a lone quote (possible only from outside the editor) is doubled so the column stays whole.
// A line break becomes a blank.
void appendAsStored(Buffer& out, QByteArrayView s) {
    if (noneOf(s, '"', '\r', '\n', '\n'))
        return appendWhole(out, s);
    for (qsizetype i = 0; i < s.size();) {
        if (const qsizetype n = breakAt(s, i)) {
            out += ' ';
            i += n;
            continue;
        }
        if (s[i] != '"') {
            out += s[i++];
            continue;
        }
        qsizetype run = 0;
        while (i + run < s.size() && s[i + run] == '"')
            ++run;
        out.append(size_t(run % 2 ? run + 1 : run), '"');
        i += run;
    }
}

void flag(Buffer& out, quint8 f) {
    out.append(f ? "1;" : "0;", 2);
}
void plain(Buffer& out, const QByteArray& s) {
    if (!s.isEmpty())
        appendUnquotedSafe(out, s);
    out += ';';
}
void appendNumber(Buffer& out, long long n) {
    char buf[24];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, n);
    out.append(buf, size_t(end - buf));
}
void code(Buffer& out, quint8 c) {
    if (c)
        appendNumber(out, c);
    out += ';';
}
void quoted(Buffer& out, const QByteArray& s) {
    out += '"';
    out += s;
    out += "\";";
}
void quotedAsStored(Buffer& out, const QByteArray& s) {
    out += '"';
    appendAsStored(out, s);
    out += "\";";
}
void quotedDoubled(Buffer& out, const QByteArray& s) {
    out += '"';
    appendDoubled(out, s, " ");
    out += "\";";
}
void empty(Buffer& out) {
    out += ';';
}
void month(Buffer& out, const QByteArray& m) {
    if (m == model::kEmptyMonth) {
        out += ';';
        return;
    }
    out += '"';
    const size_t from = out.size();
    appendAsStored(out, m);
    std::replace(out.begin() + qptrdiff(from), out.end(), '-', '.');
    out += "\";";
}
void typeFlag(Buffer& out, const QByteArray& typ, const QByteArray& value) {
    flag(out, typ == value ? 1 : 0);
}

// Reads a number written with a decimal comma.
std::optional<double> commaNumber(const QByteArray& s) {
    const QByteArray t = s.trimmed();
    return model::commaNumberValue(std::string_view(t.constData(), size_t(t.size())));
}

QByteArray fixed2(double d) {
    return QByteArray::number(d, 'f', 2);
}

// The same bytes as fixed2 without its allocations. Both round the exact binary value correctly and differ only
// on an exact tie, which only a value of odd eighths can be (x.125, x.375, ...): those go through fixed2.
void appendFixed2(Buffer& out, double d) {
    const double eighths = d * 8;
    const bool tie = eighths == std::trunc(eighths) && std::fmod(eighths, 2) != 0;
    if (std::isfinite(d) && d != 0 && std::fabs(d) < 1e15 && !tie) {
        char buf[48];
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed, 2);
        if (ec == std::errc()) {
            out.append(buf, size_t(end - buf));
            return;
        }
    }
    out += fixed2(d);
}

struct Vat {
    bool shown = false;
    double rate = 0;
    QByteArray text; // column 30
};

// A rate outside the VAT list cannot be read; it is treated like "MwSt nicht ausweisbar".
Vat vatOf(const QByteArray& mwst) {
    static const QList<std::pair<QByteArray, Vat>> rates = [] {
        QList<std::pair<QByteArray, Vat>> r;
        for (const QByteArray& item : model::listItems(model::ListId::Mwst, 1)) {
            if (item.startsWith('M'))
                continue;
            Vat vat;
            const auto rate = model::vatPercent(item);
            vat.shown = rate.has_value();
            vat.rate = rate.value_or(0);
            vat.text = item.left(item.size() - 1).replace(',', '.');
            r.append({item, vat});
        }
        return r;
    }();
    if (!mwst.startsWith('M'))
        for (const auto& [item, vat] : rates)
            if (item == mwst)
                return vat;
    return {};
}

double netPrice(double price, const Vat& vat, quint8 bn) {
    return vat.shown && !bn ? price / (1.0 + vat.rate / 100.0) : price;
}

void memoColumn(Buffer& out, const QByteArray& memo) {
    out += '"';
    // Every line break, a lone CR or LF too, becomes ", ": a bare one would end the line in the file.
    appendDoubled(out, memo, ", ");
    out += "\";";
}

void consumption(Buffer& out, const QByteArray& s) {
    if (s.isEmpty()) {
        out += ';';
        return;
    }
    const auto d = commaNumber(s);
    if (d) {
        quoted(out, fixed2(*d));
        return;
    }
    out += '"';
    appendUnquotedSafe(out, s);
    out += "\";";
}

QByteArray power(const TFahrzeug& v) {
    if (v.leistung.isEmpty() || !v.kwps)
        return v.leistung;
    bool ok = false;
    const long long ps = v.leistung.trimmed().toLongLong(&ok);
    return ok ? QByteArray::number(util::roundHalfEven(double(ps) * 0.736)) : v.leistung;
}

QByteArray timeStampKey(const QDateTime& now, int position, const QByteArray& digest) {
    const QByteArray stamp = now.toString(QStringLiteral("ddMMyy_HHmmss")).toLatin1();
    return stamp + '_' + QByteArray::number(position) + '_' + digest.left(4);
}

} // namespace

namespace {

// The field of column I, known while compiling.
template <size_t I> constexpr model::FieldSpec kColumnField = model::table::field(columns::kLineColumns[I].field);

// The number of flag columns in the run that starts at column I; 0 where no run starts.
constexpr size_t flagRun(size_t i) {
    const auto& c = columns::kLineColumns;
    if (c[i].kind != ColumnKind::Flag || (i > 0 && c[i - 1].kind == ColumnKind::Flag))
        return 0;
    size_t n = 0;
    while (i + n < std::size(c) && c[i + n].kind == ColumnKind::Flag)
        ++n;
    return n;
}

// Most columns are flags, many in a row: a run is put in place in one go, two bytes a flag.
template <size_t I, size_t... K> void writeFlags(Buffer& o, const TFahrzeug& v, std::index_sequence<K...>) {
    const size_t at = o.size();
    o.resize(at + 2 * sizeof...(K));
    char* p = o.data() + at;
    ((*p++ = v.*kColumnField<I + K>.byte ? '1' : '0', *p++ = ';'), ...);
}

// One column of the body. The column table and the field table are both known while compiling: each line is
// written by straight code, column after column, with no look-up or dispatch per column.
template <size_t I> void writeColumn(Buffer& o, const TFahrzeug& v, const Vat& vat) {
    constexpr LineColumn c = columns::kLineColumns[I];
    constexpr model::FieldSpec f = kColumnField<I>;
    if constexpr (c.kind == ColumnKind::Flag) {
        if constexpr (flagRun(I) > 0)
            writeFlags<I>(o, v, std::make_index_sequence<flagRun(I)>());
    } else if constexpr (c.kind == ColumnKind::Unused || c.kind == ColumnKind::Kennung || c.kind == ColumnKind::Key) {
        empty(o);
    } else if constexpr (c.kind == ColumnKind::Category) {
        quotedAsStored(o, categoryLineName(v.klasse, v.*f.text));
    } else if constexpr (c.kind == ColumnKind::Brand) {
        quotedAsStored(o, brandLineName(v.*f.text));
    } else if constexpr (c.kind == ColumnKind::Quoted) {
        quotedDoubled(o, v.*f.text);
    } else if constexpr (c.kind == ColumnKind::Colour) {
        if ((v.*f.text).isEmpty() || v.*f.text == model::items::kKeineFarbangabe)
            empty(o);
        else
            quotedDoubled(o, v.*f.text);
    } else if constexpr (c.kind == ColumnKind::Text || c.kind == ColumnKind::Currency) {
        quotedAsStored(o, v.*f.text);
    } else if constexpr (c.kind == ColumnKind::Number) {
        plain(o, v.*f.text);
    } else if constexpr (c.kind == ColumnKind::Power) {
        plain(o, power(v));
    } else if constexpr (c.kind == ColumnKind::Year) {
        plain(o, (v.*f.text).trimmed().isEmpty() ? QByteArray() : v.*f.text);
    } else if constexpr (c.kind == ColumnKind::Month) {
        month(o, v.*f.text);
    } else if constexpr (c.kind == ColumnKind::Date) {
        if (v.*f.text == model::kEmptyDate)
            empty(o);
        else
            quotedAsStored(o, v.*f.text);
    } else if constexpr (c.kind == ColumnKind::Price || c.kind == ColumnKind::DealerPrice) {
        if (c.kind == ColumnKind::DealerPrice && std::abs(v.*f.amount) <= 1e-12) {
            empty(o);
        } else {
            appendFixed2(o, netPrice(v.*f.amount, vat, v.bn));
            o += ';';
        }
    } else if constexpr (c.kind == ColumnKind::VatHidden) {
        o += vat.shown ? "0;" : "1;";
    } else if constexpr (c.kind == ColumnKind::Type) {
        static const QByteArray condition = model::toCp1252(QString::fromUtf8(c.typ)).value_or(QByteArray());
        typeFlag(o, v.*f.text, condition);
    } else if constexpr (c.kind == ColumnKind::ListCode || c.kind == ColumnKind::Days) {
        plain(o, model::lineCode(f.list, v.*f.text));
    } else if constexpr (c.kind == ColumnKind::Memo) {
        if ((v.*f.text).isEmpty())
            empty(o);
        else
            memoColumn(o, v.*f.text);
    } else if constexpr (c.kind == ColumnKind::Vat) {
        plain(o, vat.text);
    } else if constexpr (c.kind == ColumnKind::Doors) {
        code(o, v.klasse == 1 ? v.*f.byte : 0);
    } else if constexpr (c.kind == ColumnKind::Code) {
        code(o, v.*f.byte);
    } else if constexpr (c.kind == ColumnKind::Consumption) {
        consumption(o, v.*f.text);
    } else if constexpr (c.kind == ColumnKind::Overpass) {
        if (std::abs(v.*f.amount) <= 1e-12) {
            empty(o);
        } else {
            appendNumber(o, util::roundHalfEven(v.*f.amount));
            o += ';';
        }
    } else {
        static_assert(I < 0, "a column kind the writer does not know");
    }
}

template <size_t... I> void writeColumns(Buffer& o, const TFahrzeug& v, const Vat& vat, std::index_sequence<I...>) {
    // Columns 1 and 2, position and key, come before the body.
    (writeColumn<I + 2>(o, v, vat), ...);
}

void appendBody(Buffer& o, const TFahrzeug& v) {
    o.reserve(size_t(512 + v.memo.size()));
    writeColumns(o, v, vatOf(v.mwst), std::make_index_sequence<std::size(columns::kLineColumns) - 2>());
}

// The digest as 32 upper-case hex digits; one hash object per thread, reset for every line.
std::array<char, 32> digestHex(QByteArrayView body) {
    thread_local QCryptographicHash md5(QCryptographicHash::Md5);
    md5.reset();
    md5.addData(QByteArrayView("1;\"fzg\";"));
    md5.addData(body);
    const QByteArrayView raw = md5.resultView();
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::array<char, 32> hex{};
    for (qsizetype i = 0; i < raw.size() && i < 16; ++i) {
        hex[size_t(2 * i)] = kHex[quint8(raw[i]) >> 4];
        hex[size_t(2 * i + 1)] = kHex[quint8(raw[i]) & 15];
    }
    return hex;
}

} // namespace

QByteArray lineBody(const TFahrzeug& v) {
    Buffer o;
    appendBody(o, v);
    return QByteArray(o.data(), qsizetype(o.size()));
}

QByteArray contentDigest(const QByteArray& body) {
    const std::array<char, 32> hex = digestHex(body);
    return QByteArray(hex.data(), qsizetype(hex.size()));
}

LineResult CreateLine(const TFahrzeug& v, int position, int duplicateCounter, KeyKind key, const Clock& clock) {
    LineResult r;
    if (auto failure = checkVehicle(v, clock().date())) {
        r.failure = std::move(failure);
        return r;
    }
    thread_local Buffer body;
    body.clear();
    appendBody(body, v);
    const QByteArrayView bodyView(body.data(), qsizetype(body.size()));
    // Position and key first, then the body: the line is made in one piece.
    thread_local Buffer head;
    head.clear();
    appendNumber(head, position);
    head += ";\"";
    switch (key) {
    case KeyKind::Placeholder:
        head += "fzg";
        break;
    case KeyKind::TypedNumber:
        // The reader undoes doubled quotes in this column, so a quote from an import comes back unchanged.
        appendDoubled(head, v.inr, " ");
        break;
    case KeyKind::TimeStamp: {
        const std::array<char, 32> hex = digestHex(bodyView);
        head += timeStampKey(clock(), position, QByteArray(hex.data(), 4));
        break;
    }
    case KeyKind::Automatic: {
        const std::array<char, 32> hex = digestHex(bodyView);
        head.append(hex.data(), 15);
        appendNumber(head, model::countPhotos(v));
        appendNumber(head, duplicateCounter);
        break;
    }
    }
    head += "\";";
    QByteArray& line = r.line;
    line.resize(qsizetype(head.size()) + qsizetype(body.size()));
    std::memcpy(line.data(), head.data(), head.size());
    std::memcpy(line.data() + head.size(), body.data(), body.size());
    return r;
}

QByteArray GetIntNr(const QByteArray& line) {
    const qsizetype a = line.indexOf('"');
    if (a < 0)
        return {};
    const qsizetype b = line.indexOf('"', a + 1);
    return b < 0 ? line.mid(a + 1) : line.mid(a + 1, b - a - 1);
}

} // namespace tarmelo::csv
