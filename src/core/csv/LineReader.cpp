#include "csv/LineReader.h"
#include "util/Text.h"

#include "csv/LineClassifier.h"
#include "csv/LineColumns.h"
#include "model/CommaNumber.h"
#include "model/Cp1252.h"
#include "model/FieldSchema.h"
#include "model/ValueLists.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tarmelo::csv {

namespace {

using model::TFahrzeug;
using Bytes = std::string_view;

// Texts with umlauts are kept in UTF-8 here and converted to Windows-1252 once.
QByteArray cp(const char* utf8) {
    return model::toCp1252(QString::fromUtf8(utf8)).value_or(QByteArray());
}

QByteArray toBytes(Bytes s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

Bytes left(Bytes s, size_t n) {
    return s.substr(0, std::min(n, s.size()));
}

using util::trimControls;

// Takes the fields from the front of the line, each with its separator. Runs for every column of every line:
// plain pointers, no bounds-checked views.
class FieldCursor {
public:
    explicit FieldCursor(Bytes line) : p_(line.data()), end_(line.data() + line.size()) {}

    // Column 1 is everything before the first separator, quotes or not.
    Bytes first() {
        const char* const from = p_;
        while (p_ < end_ && *p_ != ';')
            ++p_;
        const Bytes field(from, size_t(p_ - from));
        if (p_ < end_)
            ++p_;
        return field;
    }

    Bytes next() {
        ++column_;
        if (p_ >= end_)
            return {};
        const char* from = p_;
        const char* to;
        if (*p_ == '"') {
            // A quoted field ends at the first separator preceded by an odd number of quotes: doubled quotes
            // inside the value keep the count even, the closing quote makes it odd. The quotes are found by
            // memchr, and the separator right after a closing quote, the usual case, without a search.
            ++from;
            to = nullptr;
            bool odd = false;
            for (const char* pos = from;;) {
                if (odd && pos < end_ && *pos == ';') {
                    to = pos;
                    break;
                }
                const auto* q =
                    static_cast<const char*>(pos < end_ ? std::memchr(pos, '"', size_t(end_ - pos)) : nullptr);
                const char* const quoteAt = q ? q : end_;
                if (odd && quoteAt > pos) {
                    if (const auto* sep = static_cast<const char*>(std::memchr(pos, ';', size_t(quoteAt - pos)))) {
                        to = sep;
                        break;
                    }
                }
                if (!q)
                    break;
                odd = !odd;
                pos = quoteAt + 1;
            }
        } else {
            // Most unquoted fields are empty or a digit or two: a plain loop beats a library search.
            to = p_;
            while (to < end_ && *to != ';')
                ++to;
            if (to == end_)
                to = nullptr;
        }
        // No separator ends the field (also a quoted field whose closing quote is not followed by ";"): it takes
        // the rest of the line, and the end of the line acts as its separator.
        if (to) {
            p_ = to + 1;
        } else {
            to = end_;
            p_ = end_;
        }
        if (to > from && to[-1] == '"')
            --to;
        return Bytes(from, size_t(to - from));
    }

    // A flag column: "1" sets it. The usual "0;" and "1;" are taken without the general way.
    bool nextFlag() {
        if (end_ - p_ >= 2 && p_[1] == ';' && p_[0] != '"' && p_[0] != ';') {
            ++column_;
            const bool set = p_[0] == '1';
            p_ += 2;
            return set;
        }
        const Bytes field = next();
        return field.size() == 1 && field[0] == '1';
    }

    int column() const { return column_; }

private:
    const char* p_;
    const char* end_;
    int column_ = 1;
};

// A whole number that fits a 32-bit integer: optional sign, then digits only.
std::optional<qint32> toInt(Bytes s) {
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s.front() == '-')
            return std::nullopt;
    }
    if (s.empty())
        return std::nullopt;
    qint32 value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

std::optional<double> readCommaNumber(Bytes s) {
    return model::commaNumberValue(s);
}

double price(Bytes field, double maximum) {
    const Bytes t = trimControls(field);
    if (t.empty())
        return 0;
    std::string text(t);
    const bool hasPoint = text.find('.') != std::string::npos;
    for (char& c : text)
        if (c == '.')
            c = ',';
    const auto n = model::parseCommaNumber(text);
    if (!n)
        return 0;
    double result = n->value;
    if (hasPoint) {
        // Rounded on the digits where they are sane, else on the binary value.
        const auto cents = std::abs(n->value) > 1e12 ? std::nullopt : n->hundredths();
        result = cents ? double(*cents) / 100 : std::round(n->value * 100) / 100;
    }
    // The comparison also turns a rounded -0.00 into 0.
    return result > 0 && result <= maximum ? result : 0;
}

bool flag(Bytes field) {
    return field == "1";
}

QByteArray text(Bytes field, size_t width) {
    return toBytes(left(trimControls(field), width));
}

// Trimmed, doubled quotes undone, then cut; width 0 keeps everything.
QByteArray textUndone(Bytes field, qsizetype width) {
    const Bytes t = trimControls(field);
    if (t.find('"') == Bytes::npos)
        return toBytes(width > 0 ? left(t, size_t(width)) : t);
    QByteArray s = toBytes(t);
    if (s.contains("\"\""))
        s.replace("\"\"", "\"");
    if (width > 0 && s.size() > width)
        s.truncate(width);
    return s;
}

QByteArray integerText(Bytes field, size_t width, qint32 limit) {
    const Bytes t = trimControls(field);
    if (t.empty() || !toInt(t))
        return {};
    const Bytes kept = left(t, width);
    const auto n = toInt(kept);
    if (!n || *n < 0 || *n >= limit)
        return {};
    return toBytes(kept);
}

quint8 doors(Bytes field) {
    if (field == "2" || field == "3")
        return 2;
    if (field == "4" || field == "5")
        return 4;
    if (field == "6" || field == "7")
        return 6;
    return 0;
}

// The text with one byte replaced by another, made in one copy.
QByteArray replaced(Bytes s, char from, char to) {
    QByteArray out = toBytes(s);
    if (s.find(from) != Bytes::npos)
        std::replace(out.begin(), out.end(), from, to);
    return out;
}

QByteArray memo(Bytes field, qsizetype width) {
    QByteArray s = textUndone(field, width);
    if (s.contains('\xa4'))
        s.replace('\xa4', '\x80'); // the line carries the euro sign as the Latin-9 byte
    return s;
}

// The listed rate that equals text, or an empty result.
QByteArray listedRate(std::string_view text) {
    const QByteArrayView view(text.data(), qsizetype(text.size()));
    for (const QByteArray& rate : model::listItems(model::ListId::Mwst, 1))
        if (rate == view)
            return rate;
    return {};
}

QByteArray vatRate(Bytes field, size_t width) {
    const Bytes t = left(trimControls(field), width);
    if (t.empty())
        return model::items::kMwstNichtAusweisbar;
    // "19.00" names "19%" and "7.6" names "7,6%".
    std::string rate;
    rate.reserve(t.size() + 1);
    for (size_t i = 0; i < t.size();) {
        if (t.substr(i, 3) == ".00") {
            i += 3;
            continue;
        }
        rate += t[i] == '.' ? ',' : t[i];
        ++i;
    }
    rate += '%';
    if (QByteArray listed = listedRate(rate); !listed.isEmpty())
        return listed;
    // "19.0" or "7.60" name a listed rate as well; compare them without trailing decimal zeros.
    std::string plain(t);
    for (char& c : plain)
        if (c == '.')
            c = ',';
    if (plain.find(',') != std::string::npos) {
        while (!plain.empty() && plain.back() == '0')
            plain.pop_back();
        if (!plain.empty() && plain.back() == ',')
            plain.pop_back();
    }
    plain += '%';
    const QByteArray listed = listedRate(plain);
    return listed.isEmpty() ? model::items::kMwstNichtAusweisbar : listed;
}

// Stored as the shortest decimal text with a comma, so 5.60 becomes 5,6.
QByteArray consumption(Bytes field, double below, qsizetype width) {
    std::string s(trimControls(field));
    if (const size_t point = s.find('.'); point != std::string::npos)
        s[point] = ',';
    const auto value = readCommaNumber(s);
    if (!value || *value < 1 || *value >= below)
        return {};
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, *value, std::chars_format::fixed);
    if (ec != std::errc())
        return {};
    QByteArray out(buf, qsizetype(end - buf));
    out.replace('.', ',');
    if (out.size() > width)
        out.truncate(width);
    return out;
}

double overpass(Bytes field, double maximum) {
    const auto value = readCommaNumber(trimControls(field));
    return value && *value >= 0 && *value <= maximum ? *value : 0;
}

// A column with what the table lookups give, resolved once.
struct Column {
    ColumnKind kind = ColumnKind::Unused;
    const model::FieldSpec* spec = nullptr;
    quint8 TFahrzeug::*byte = nullptr; // Flag: the field, without the way through the field table
    bool remembered = false;           // the text of a repeated field is shared with the line before
    size_t width = Bytes::npos;        // 0 in the field table: no limit
    qint32 limit = 0;                  // Integer: the values below 10^width
    QByteArray value;                  // Type: the condition; Currency: the currency
    std::bitset<256> codes;            // Code: codes the list can store
};

std::vector<Column> buildColumns() {
    std::vector<Column> columns;
    columns.reserve(lineColumns().size());
    for (const LineColumn& lc : lineColumns()) {
        Column c;
        c.kind = lc.kind;
        if (lc.field) {
            c.spec = model::field(QLatin1StringView(lc.field));
            Q_ASSERT(c.spec);
            if (c.spec->width > 0)
                c.width = size_t(c.spec->width);
            c.limit = 1;
            for (int i = 0; i < c.spec->width && i < 9; ++i)
                c.limit *= 10;
            c.codes = model::storableCodes(c.spec->list);
            c.byte = c.spec->byte;
        }
        // Texts that follow from the field alone are shared with the line before; the first column, the
        // position, never repeats.
        switch (lc.kind) {
        case ColumnKind::Key:
        case ColumnKind::Category:
        case ColumnKind::Brand:
        case ColumnKind::Quoted:
        case ColumnKind::Colour:
        case ColumnKind::Text:
        case ColumnKind::Number:
        case ColumnKind::Power:
        case ColumnKind::Month:
        case ColumnKind::Date:
        case ColumnKind::ListCode:
        case ColumnKind::Days:
        case ColumnKind::Memo:
        case ColumnKind::Vat:
        case ColumnKind::Consumption:
            c.remembered = true;
            break;
        default:
            break;
        }
        if (lc.typ)
            c.value = cp(lc.typ);
        if (lc.kind == ColumnKind::Currency)
            c.value = model::listItems(c.spec->list, 1).value(0);
        columns.push_back(std::move(c));
    }
    return columns;
}

const std::vector<Column>& columns() {
    static const std::vector<Column> c = buildColumns();
    return c;
}

QByteArray deliveryPeriod(Bytes field) {
    const auto days = toInt(trimControls(field));
    if (!days)
        return {};
    char buf[16];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, *days);
    return model::lineItem(model::ListId::Lieferfrist, QByteArrayView(buf, end - buf));
}

void readColumn(const Column& c, Bytes field, TFahrzeug& v) {
    const model::FieldSpec* f = c.spec;
    switch (c.kind) {
    case ColumnKind::Unused:
        break;
    case ColumnKind::Kennung: {
        const Bytes t = left(trimControls(field), c.width);
        v.*f->text = toBytes(t);
        if (t.find('"') != Bytes::npos)
            (v.*f->text).replace('"', QByteArray());
        break;
    }
    case ColumnKind::Category:
    case ColumnKind::Brand:
    case ColumnKind::Text:
        v.*f->text = text(field, c.width);
        break;
    case ColumnKind::Key:
    case ColumnKind::Quoted:
    case ColumnKind::Colour:
        v.*f->text = textUndone(field, f->width);
        break;
    case ColumnKind::Number:
    case ColumnKind::Power:
        v.*f->text = integerText(field, c.width, c.limit);
        break;
    case ColumnKind::Year:
        if (const Bytes t = trimControls(field); toInt(t))
            v.*f->text = toBytes(left(t, c.width));
        break;
    case ColumnKind::Month:
        v.*f->text = replaced(left(trimControls(field), c.width), '.', '-');
        break;
    case ColumnKind::Date:
        v.*f->text = text(field, c.width);
        if ((v.*f->text).isEmpty())
            v.*f->text = model::kEmptyDate;
        break;
    case ColumnKind::Price:
    case ColumnKind::DealerPrice:
        v.*f->amount = price(field, f->range.maximum);
        break;
    case ColumnKind::Flag:
        v.*f->byte = flag(field) ? 1 : 0;
        break;
    case ColumnKind::VatHidden:
        v.*f->byte = flag(field) ? 0 : 1;
        break;
    case ColumnKind::Type:
        if (flag(field))
            v.*f->text = c.value;
        break;
    case ColumnKind::Code: {
        const auto n = toInt(trimControls(field));
        v.*f->byte = n && *n >= 1 && *n <= 255 && c.codes.test(size_t(*n)) ? quint8(*n) : 0;
        break;
    }
    case ColumnKind::Doors:
        v.*f->byte = doors(field);
        break;
    case ColumnKind::ListCode:
        v.*f->text = model::lineItem(f->list, QByteArrayView(field.data(), qsizetype(field.size())));
        break;
    case ColumnKind::Days:
        v.*f->text = deliveryPeriod(field);
        break;
    case ColumnKind::Memo:
        v.*f->text = memo(field, f->width);
        break;
    case ColumnKind::Vat:
        v.*f->text = vatRate(field, c.width);
        break;
    case ColumnKind::Consumption:
        v.*f->text = consumption(field, f->below, f->width);
        break;
    case ColumnKind::Overpass:
        v.*f->amount = overpass(field, f->range.maximum);
        break;
    case ColumnKind::Currency:
        v.*f->text = c.value;
        break;
    }
}

// Every column in line order; a column past the end of the line reads as empty.
void readColumns(Bytes line, TFahrzeug& v, LineMemory* memory) {
    // In locals: the stores into the record could alias the vector's own pointers otherwise.
    const Column* const cols = columns().data();
    const size_t count = columns().size();
    FieldCursor c(line);
    readColumn(cols[0], c.first(), v);
    for (size_t i = 1; i < count; ++i) {
        const Column& col = cols[i];
        // Flags are most of the columns: set here, without a call for each.
        if (col.kind == ColumnKind::Flag) {
            v.*col.byte = c.nextFlag() ? 1 : 0;
            continue;
        }
        const Bytes field = c.next();
        if (col.kind == ColumnKind::Unused)
            continue;
        if (!memory || !col.remembered) {
            readColumn(col, field, v);
            continue;
        }
        LineMemory::Slot& slot = memory->byColumn[i];
        const QByteArrayView raw(field.data(), qsizetype(field.size()));
        if (slot.set && slot.raw.size() == raw.size() &&
            (raw.isEmpty() || std::memcmp(slot.raw.data(), raw.data(), field.size()) == 0)) {
            v.*col.spec->text = slot.value;
            continue;
        }
        readColumn(col, field, v);
        slot.raw = raw;
        slot.value = v.*col.spec->text;
        slot.set = true;
    }
    Q_ASSERT(c.column() == 148);
}

void complete(TFahrzeug& v) {
    // typ is only ever set to one of the five conditions of the type columns.
    if (v.typ.isEmpty())
        v.typ = model::items::kGebrauchtwagen;
    if (v.farbe == "gruen")
        v.farbe = QByteArray("gr\xfcn");
    else if (v.farbe == "hellgruen")
        v.farbe = QByteArray("hellgr\xfcn");
    else if (v.farbe == "dunkelgruen")
        v.farbe = QByteArray("dunkelgr\xfcn");
    for (QByteArray* m : {&v.hu, &v.au, &v.ez})
        if (m->isEmpty())
            *m = model::kEmptyMonth;
}

} // namespace

bool readLineInto(QByteArrayView line, model::TFahrzeug& v, LineMemory* memory) {
    readColumns(Bytes(line.data(), size_t(line.size())), v, memory);
    if (!classify(v))
        return false;
    complete(v);
    return true;
}

std::optional<model::TFahrzeug> ReadLine(const QByteArray& line) {
    TFahrzeug v;
    if (!readLineInto(line, v))
        return std::nullopt;
    return v;
}

} // namespace tarmelo::csv
