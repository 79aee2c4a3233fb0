// A log-in page: the first form alone gives the fields, its action is an absolute address, the encoding keeps
// the fields apart, and a closed form put in front of the page is the one that is taken, untouched by the rest.

#include "FuzzCheck.h"
#include "transfer/HtmlForm.h"

#include <QByteArray>
#include <QHash>

using namespace tarmelo;

namespace {

const QUrl kPage(QStringLiteral("http://127.0.0.1:8080/cas/login?service=haendler"));

qsizetype occurrences(const QByteArray& lowerHtml, const char* what) {
    return lowerHtml.count(what);
}

void checkForm(const transfer::HtmlForm& f, const QByteArray& lowerHtml) {
    FUZZ_CHECK(f.method == "GET" || f.method == "POST");
    FUZZ_CHECK(f.action.isValid() && (f.action.scheme() == u"http" || f.action.scheme() == u"https"));
    // Every field comes from a control of the page; a select gives one per chosen option.
    const qsizetype controls = occurrences(lowerHtml, "<input") + occurrences(lowerHtml, "<textarea") +
                               occurrences(lowerHtml, "<select") + occurrences(lowerHtml, "<option");
    FUZZ_CHECK(f.fields.size() <= controls);
    QHash<QString, int> seen;
    for (const auto& field : f.fields) {
        FUZZ_CHECK(!field.first.isEmpty());
        ++seen[field.first];
    }
    // A name twice only when the page names it twice or lets a list choose several.
    const bool multiple = lowerHtml.contains("multiple");
    for (auto it = seen.cbegin(); it != seen.cend(); ++it)
        FUZZ_CHECK(it.value() == 1 || multiple || occurrences(lowerHtml, "name") >= it.value());
    // Names and values never break the form encoding apart.
    const QByteArray encoded = f.encoded();
    FUZZ_CHECK(encoded.count('&') == (f.fields.isEmpty() ? 0 : f.fields.size() - 1));
    FUZZ_CHECK(encoded.count('=') == f.fields.size());
    FUZZ_CHECK(!encoded.contains(' ') && !encoded.contains('\n') && !encoded.contains('\r'));
    // Setting a field changes that field only.
    if (!f.fields.isEmpty()) {
        transfer::HtmlForm g = f;
        FUZZ_CHECK(g.setField(f.fields.first().first, QStringLiteral("geändert")));
        FUZZ_CHECK(g.fields.first().second == QStringLiteral("geändert"));
        for (qsizetype i = 1; i < f.fields.size(); ++i)
            FUZZ_CHECK(g.fields[i] == f.fields[i]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray html = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray lower = html.toLower();
    const std::optional<transfer::HtmlForm> form = transfer::firstForm(html, kPage);
    // No form without a form tag.
    if (form) {
        FUZZ_CHECK(lower.contains("<form"));
        checkForm(*form, lower);
    }

    // A closed form in front: the rest of the page, whatever it is, adds nothing to it.
    const QByteArray front = "<form action=\"/erstes?x=1\" method=\"post\"><input type=\"hidden\" name=\"erstes\" "
                             "value=\"1\"><select name=\"wahl\"><option>a b</option></select></form>";
    const std::optional<transfer::HtmlForm> first = transfer::firstForm(front + html, kPage);
    FUZZ_CHECK(first.has_value());
    FUZZ_CHECK(first->method == "POST");
    FUZZ_CHECK(first->action == QUrl(QStringLiteral("http://127.0.0.1:8080/erstes?x=1")));
    FUZZ_CHECK(first->fields.size() == 2);
    FUZZ_CHECK(first->fields[0] == qMakePair(QStringLiteral("erstes"), QStringLiteral("1")));
    FUZZ_CHECK(first->fields[1] == qMakePair(QStringLiteral("wahl"), QStringLiteral("a b")));
    return 0;
}
