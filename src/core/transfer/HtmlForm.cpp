#include "transfer/HtmlForm.h"

#include "model/Cp1252.h"

#include <QHash>

#include <cctype>
#include <cstring>
#include <iterator>

namespace tarmelo::transfer {

bool HtmlForm::setField(const QString& name, const QString& value) {
    for (auto& f : fields) {
        if (f.first == name) {
            f.second = value;
            return true;
        }
    }
    return false;
}

QByteArray HtmlForm::encoded() const {
    QByteArray out;
    const auto encode = [](const QString& s) {
        // QUrl leaves "+" alone in a query; here a space is "+", and every reserved character is escaped.
        return QUrl::toPercentEncoding(s, "*", "~").replace("%20", "+");
    };
    for (const auto& f : fields) {
        if (!out.isEmpty())
            out += '&';
        out += encode(f.first) + '=' + encode(f.second);
    }
    return out;
}

namespace {

// Written by hand: a tree-building HTML parser needs time quadratic in the nesting depth (every start tag looks
// through the open elements), and a log-in page is the server's to shape. A form needs no tree: as the HTML
// standard has it, every control between a form's start tag and its end tag belongs to that form, wherever the
// tree builder would put it. One pass over the tokens, each byte looked at a bounded number of times.

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
bool isAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isAlnum(char c) {
    return isAlpha(c) || (c >= '0' && c <= '9');
}
char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// The named references a log-in page plausibly holds: the five of XML and every Latin-1 letter and sign.
// Names the table lacks stay as written, as a browser keeps an unknown reference.
const QHash<QByteArray, char32_t>& namedReferences() {
    static const QHash<QByteArray, char32_t> table = [] {
        QHash<QByteArray, char32_t> t{{"amp", '&'},      {"lt", '<'},        {"gt", '>'},        {"quot", '"'},
                                      {"apos", '\''},    {"euro", 0x20AC},   {"ndash", 0x2013},  {"mdash", 0x2014},
                                      {"lsquo", 0x2018}, {"rsquo", 0x2019},  {"sbquo", 0x201A},  {"ldquo", 0x201C},
                                      {"rdquo", 0x201D}, {"bdquo", 0x201E},  {"hellip", 0x2026}, {"bull", 0x2022},
                                      {"trade", 0x2122}, {"thinsp", 0x2009}, {"ensp", 0x2002},   {"emsp", 0x2003}};
        // U+00A0 to U+00FF in order.
        const char* const latin1[] = {
            "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
            "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",
            "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12",
            "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
            "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde",
            "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",
            "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",
            "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
            "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
            "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};
        for (int i = 0; i < int(std::size(latin1)); ++i)
            t.insert(latin1[i], char32_t(0xA0 + i));
        return t;
    }();
    return table;
}

void appendCodePoint(QString& out, char32_t c) {
    if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = 0xFFFD;
    else if (c >= 0x80 && c <= 0x9F) // a browser reads these as the Windows-1252 characters
        c = model::fromCp1252(QByteArray(1, char(c))).at(0).unicode();
    out.append(QString::fromUcs4(&c, 1));
}

// Text with its character references replaced. In an attribute a name without ";" followed by "=" or a letter
// or digit stays as written, as browsers treat "?a=1&copy=2".
QString decodeText(const char* p, const char* end, bool inAttribute) {
    QString out;
    const char* plainStart = p;
    const auto flush = [&](const char* upTo) {
        if (upTo > plainStart)
            out += QString::fromUtf8(plainStart, qsizetype(upTo - plainStart));
    };
    while (p < end) {
        if (*p != '&') {
            ++p;
            continue;
        }
        const char* amp = p;
        const char* q = p + 1;
        if (q < end && *q == '#') {
            ++q;
            const bool hex = q < end && (*q == 'x' || *q == 'X');
            if (hex)
                ++q;
            const char* digits = q;
            char32_t value = 0;
            for (; q < end && (hex ? std::isxdigit(uchar(*q)) : std::isdigit(uchar(*q))); ++q) {
                const char32_t digit = std::isdigit(uchar(*q)) ? char32_t(*q - '0') : char32_t(lower(*q) - 'a' + 10);
                if (value <= 0x10FFFF) // beyond that it stays out of range, however long the number
                    value = value * (hex ? 16 : 10) + digit;
            }
            if (q == digits) {
                p = q;
                continue;
            }
            if (q < end && *q == ';')
                ++q;
            flush(amp);
            appendCodePoint(out, value);
            p = plainStart = q;
            continue;
        }
        const char* name = q;
        while (q < end && isAlnum(*q) && q - name < 8)
            ++q;
        // The longest known name at this place.
        const auto& table = namedReferences();
        const char* found = nullptr;
        char32_t value = 0;
        for (const char* e = q; e > name; --e) {
            const auto it = table.constFind(QByteArray::fromRawData(name, qsizetype(e - name)));
            if (it != table.constEnd()) {
                found = e;
                value = it.value();
                break;
            }
        }
        if (!found) {
            p = q > amp + 1 ? q : amp + 1;
            continue;
        }
        const bool semicolon = found < end && *found == ';';
        if (!semicolon && inAttribute && found < end && (*found == '=' || isAlnum(*found))) {
            p = found;
            continue;
        }
        flush(amp);
        appendCodePoint(out, value);
        p = plainStart = semicolon ? found + 1 : found;
    }
    flush(end);
    return out;
}

struct Tag {
    QByteArray name; // lower case
    bool end = false;
    QHash<QByteArray, QString> attributes; // the first of each name counts
    bool has(const char* a) const { return attributes.contains(a); }
    QString value(const char* a) const { return attributes.value(a); }
};

class Scanner {
public:
    Scanner(const QByteArray& html) : p_(html.constData()), end_(html.constData() + html.size()) {}

    bool atEnd() const { return p_ >= end_; }

    // Moves to the next tag; the text skipped on the way is left in `text`.
    bool nextTag(Tag& tag, const char*& textStart, const char*& textEnd) {
        textStart = p_;
        while (p_ < end_) {
            const char* lt = static_cast<const char*>(std::memchr(p_, '<', size_t(end_ - p_)));
            if (!lt) {
                p_ = end_;
                break;
            }
            textEnd = lt;
            p_ = lt + 1;
            if (p_ >= end_)
                break;
            const char c = *p_;
            if (c == '!') {
                skipMarkupDeclaration();
                textStart = p_;
                continue;
            }
            if (c == '?') {
                skipPast('>');
                textStart = p_;
                continue;
            }
            if (c == '/' && p_ + 1 < end_ && isAlpha(p_[1])) {
                ++p_;
                readTag(tag, true);
                return true;
            }
            if (c == '/') {
                skipPast('>');
                textStart = p_;
                continue;
            }
            if (isAlpha(c)) {
                readTag(tag, false);
                return true;
            }
            // A "<" that opens nothing is text.
        }
        textEnd = end_;
        return false;
    }

    // After a start tag of an element whose content is text (script, textarea ...): that text, up to the
    // matching end tag, which is consumed.
    void rawText(const QByteArray& name, const char*& textStart, const char*& textEnd) {
        textStart = p_;
        while (p_ < end_) {
            const char* lt = static_cast<const char*>(std::memchr(p_, '<', size_t(end_ - p_)));
            if (!lt || lt + 1 >= end_) {
                p_ = end_;
                break;
            }
            p_ = lt + 1;
            if (*p_ != '/')
                continue;
            const char* n = p_ + 1;
            qsizetype i = 0;
            while (i < name.size() && n + i < end_ && lower(n[i]) == name[i])
                ++i;
            if (i == name.size() && n + i < end_ && (isSpace(n[i]) || n[i] == '/' || n[i] == '>')) {
                textEnd = lt;
                p_ = n + i;
                skipPast('>');
                return;
            }
        }
        textEnd = end_;
    }

private:
    void skipPast(char c) {
        const char* at = static_cast<const char*>(std::memchr(p_, c, size_t(end_ - p_)));
        p_ = at ? at + 1 : end_;
    }

    void skipMarkupDeclaration() {
        // p_ at "!": a comment "<!-- ... -->" (also "<!-->" and "<!--->"), else anything up to ">".
        if (end_ - p_ >= 3 && p_[1] == '-' && p_[2] == '-') {
            p_ += 3;
            if (p_ < end_ && *p_ == '>') {
                ++p_;
                return;
            }
            if (end_ - p_ >= 2 && p_[0] == '-' && p_[1] == '>') {
                p_ += 2;
                return;
            }
            while (p_ < end_) {
                const char* dash = static_cast<const char*>(std::memchr(p_, '-', size_t(end_ - p_)));
                if (!dash) {
                    p_ = end_;
                    return;
                }
                p_ = dash + 1;
                if (end_ - dash >= 3 && dash[1] == '-' && dash[2] == '>') {
                    p_ = dash + 3;
                    return;
                }
                if (end_ - dash >= 4 && dash[1] == '-' && dash[2] == '!' && dash[3] == '>') {
                    p_ = dash + 4;
                    return;
                }
            }
            return;
        }
        skipPast('>');
    }

    void readTag(Tag& tag, bool endTag) {
        tag = Tag();
        tag.end = endTag;
        const char* n = p_;
        while (p_ < end_ && !isSpace(*p_) && *p_ != '/' && *p_ != '>')
            ++p_;
        tag.name = QByteArray(n, qsizetype(p_ - n)).toLower();
        for (;;) {
            while (p_ < end_ && (isSpace(*p_) || *p_ == '/'))
                ++p_;
            if (p_ >= end_)
                return;
            if (*p_ == '>') {
                ++p_;
                return;
            }
            const char* a = p_;
            ++p_; // a name may begin with "="
            while (p_ < end_ && !isSpace(*p_) && *p_ != '/' && *p_ != '>' && *p_ != '=')
                ++p_;
            const QByteArray name = QByteArray(a, qsizetype(p_ - a)).toLower();
            while (p_ < end_ && isSpace(*p_))
                ++p_;
            QString value;
            if (p_ < end_ && *p_ == '=') {
                ++p_;
                while (p_ < end_ && isSpace(*p_))
                    ++p_;
                if (p_ < end_ && (*p_ == '"' || *p_ == '\'')) {
                    const char quote = *p_++;
                    const char* v = p_;
                    const char* close = static_cast<const char*>(std::memchr(p_, quote, size_t(end_ - p_)));
                    p_ = close ? close : end_;
                    value = decodeText(v, p_, true);
                    if (close)
                        ++p_;
                } else {
                    const char* v = p_;
                    while (p_ < end_ && !isSpace(*p_) && *p_ != '>')
                        ++p_;
                    value = decodeText(v, p_, true);
                }
            }
            if (!endTag && !tag.attributes.contains(name))
                tag.attributes.insert(name, value);
        }
    }

    const char* p_;
    const char* end_;
};

bool rawTextElement(const QByteArray& n) {
    // Scripting on, as in a browser: <noscript> content is text too.
    return n == "script" || n == "style" || n == "xmp" || n == "iframe" || n == "noembed" || n == "noframes" ||
           n == "noscript" || n == "textarea" || n == "title";
}

struct Option {
    QString value;
    bool selected = false;
    bool disabled = false;
};

struct Select {
    QString name;
    bool multiple = false;
    bool usable = false;
    QList<Option> options;
    qsizetype fieldIndex = 0; // where its fields go among the form's
    void addTo(HtmlForm& form) const {
        if (!usable)
            return;
        QList<QPair<QString, QString>> chosen;
        for (const Option& o : options) {
            if (o.selected && !o.disabled) {
                chosen.append({name, o.value});
                if (!multiple)
                    break;
            }
        }
        if (chosen.isEmpty() && !multiple && !options.isEmpty())
            chosen.append({name, options.first().value});
        for (qsizetype i = 0; i < chosen.size(); ++i)
            form.fields.insert(fieldIndex + i, chosen[i]);
    }
};

} // namespace

std::optional<HtmlForm> firstForm(const QByteArray& html, const QUrl& pageUrl) {
    Scanner scan(html);
    Tag tag;
    const char* textStart = nullptr;
    const char* textEnd = nullptr;
    std::optional<HtmlForm> form;
    bool open = false;
    std::optional<Select> select;
    std::optional<Option> option;
    QString optionText;
    const auto endOption = [&] {
        if (!option || !select)
            return;
        if (option->value.isNull())
            option->value = optionText.simplified();
        select->options.append(*option);
        option.reset();
    };
    const auto endSelect = [&] {
        endOption();
        if (select && form)
            select->addTo(*form);
        select.reset();
    };
    while (scan.nextTag(tag, textStart, textEnd)) {
        if (option)
            optionText += decodeText(textStart, textEnd, false);
        const QByteArray& name = tag.name;
        if (tag.end) {
            if (name == "form" && open) {
                endSelect();
                break; // the first form is complete
            }
            if (name == "option" || name == "optgroup")
                endOption();
            else if (name == "select")
                endSelect();
            continue;
        }
        if (open && select && (name == "input" || name == "select" || name == "textarea" || name == "keygen")) {
            endSelect();
            if (name == "select")
                continue; // a select inside a select closes the first
        }
        if (rawTextElement(name)) {
            const char* t0 = nullptr;
            const char* t1 = nullptr;
            scan.rawText(name, t0, t1);
            if (name == "textarea" && open) {
                const QString n = tag.value("name");
                if (!n.isEmpty() && !tag.has("disabled")) {
                    // A line break right after the start tag is not part of the value.
                    if (t0 < t1 && *t0 == '\n')
                        ++t0;
                    else if (t1 - t0 >= 2 && t0[0] == '\r' && t0[1] == '\n')
                        t0 += 2;
                    form->fields.append({n, decodeText(t0, t1, false)});
                }
            }
            continue;
        }
        if (name == "form") {
            if (open)
                continue; // a form inside the form is no form of its own
            HtmlForm f;
            f.method = tag.value("method").trimmed().toLower() == u"post" ? "POST" : "GET";
            const QString action = tag.value("action").trimmed();
            f.action = action.isEmpty() ? pageUrl : pageUrl.resolved(QUrl(action));
            // An address that does not parse, or leaves the web, gets no log-in: the password goes nowhere else.
            const QString scheme = f.action.scheme();
            if (!f.action.isValid() || (scheme != u"http" && scheme != u"https"))
                return std::nullopt;
            form = std::move(f);
            open = true;
            continue;
        }
        if (!open)
            continue;
        if (name == "option") {
            endOption();
            if (select) {
                option = Option{};
                option->value = tag.has("value") ? tag.value("value") : QString();
                option->selected = tag.has("selected");
                option->disabled = tag.has("disabled");
                optionText.clear();
            }
        } else if (name == "optgroup") {
            endOption();
        } else if (name == "select") {
            endSelect();
            select = Select{};
            select->name = tag.value("name");
            select->multiple = tag.has("multiple");
            select->usable = !select->name.isEmpty() && !tag.has("disabled");
            select->fieldIndex = form->fields.size();
        } else if (name == "input") {
            const QString n = tag.value("name");
            if (n.isEmpty() || tag.has("disabled"))
                continue;
            const QString type = tag.value("type").trimmed().toLower();
            if (type == u"submit" || type == u"image" || type == u"button" || type == u"reset" || type == u"file")
                continue;
            if (type == u"checkbox" || type == u"radio") {
                if (tag.has("checked"))
                    form->fields.append({n, tag.has("value") ? tag.value("value") : QStringLiteral("on")});
                continue;
            }
            form->fields.append({n, tag.value("value")});
        }
    }
    if (open && scan.atEnd()) {
        // A page that ends inside the form.
        if (option && textStart && textEnd)
            optionText += decodeText(textStart, textEnd, false);
        endSelect();
    }
    return form;
}

} // namespace tarmelo::transfer
