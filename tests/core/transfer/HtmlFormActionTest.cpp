#include "transfer/HtmlForm.h"

#include <gtest/gtest.h>

using namespace tarmelo::transfer;

namespace {

// Found by fuzzing: a byte that is no UTF-8 in the action's host made an invalid address, and the log-in was
// sent to it. A form whose action is no http or https address is no log-in form.
TEST(HtmlFormAction, ActionWithAnUndecodableHostGivesNoForm) {
    const QUrl page(QStringLiteral("https://anmeldung.example/cas/login?service=haendler"));
    const struct {
        const char* name;
        QByteArray action;
        const char* expected; // nullptr: no form
    } cases[] = {
        {"undecodable byte in the host", "https://anmeldung.e\xa2xample/login?x=1", nullptr},
        {"host that does not parse", "http://[::1/login", nullptr},
        {"script", "javascript:alert(1)", nullptr},
        {"local file", "file:///etc/passwd", nullptr},
        {"mail", "mailto:x@example.com", nullptr},
        {"relative", "../cas/dologin?service=haendler", "https://anmeldung.example/cas/dologin?service=haendler"},
        {"empty: the page itself", "", "https://anmeldung.example/cas/login?service=haendler"},
        {"other host over http", "http://127.0.0.1:8080/login", "http://127.0.0.1:8080/login"},
        {"upper-case scheme", "HTTPS://anmeldung.example/a", "https://anmeldung.example/a"},
        {"umlaut host", "https://h\xc3\xa4ndler.example/a", "https://xn--hndler-bua.example/a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray html = "<form method=post action=\"" + c.action + "\"><input name=username></form>";
        const auto form = firstForm(html, page);
        if (!c.expected) {
            EXPECT_FALSE(form.has_value());
            continue;
        }
        ASSERT_TRUE(form.has_value());
        EXPECT_EQ(form->action.toString(QUrl::FullyEncoded), QString::fromLatin1(c.expected));
        EXPECT_EQ(form->fields.size(), 1);
    }
}

// What the page's markup hides or shows, as a browser reads it; one pass over the page however deep it nests.
TEST(HtmlFormMarkup, ControlsAsABrowserAssociatesThem) {
    const QUrl page(QStringLiteral("https://anmeldung.example/cas/login"));
    const struct {
        const char* name;
        QByteArray html;
        const char* encoded; // nullptr: no form
    } cases[] = {
        {"form in a comment, a script and a title",
         "<!-- <form action=/a><input name=x> --><script>'<form>'</script>"
         "<title><form></title><form action=/b><input name=y value=1></form>",
         "y=1"},
        {"comment ended by --!>", "<form><!-- <input name=a> --!><input name=b></form>", "b="},
        {"references in values and text",
         "<form><input name=a value='&auml;&#246;&#xFC;&szlig&amp;x'>"
         "<input name=q value='?a=1&copy=2'><textarea name=t>\n&lt;input name=z&gt;</textarea></form>",
         "a=%C3%A4%C3%B6%C3%BC%C3%9F%26x&q=%3Fa%3D1%26copy%3D2&t=%3Cinput+name%3Dz%3E"},
        {"unknown reference and a C1 number", "<form><input name=a value='&unbekannt; &#128;'></form>",
         "a=%26unbekannt%3B+%E2%82%AC"},
        {"form inside the form ignored, controls up to the end tag",
         "<form action=/a><input name=a>"
         "<form action=/b><input name=b></form><input name=c>",
         "a=&b="},
        {"controls after a closing element still belong",
         "<div><form action=/a><input name=a></div>"
         "<input name=b></form><input name=c>",
         "a=&b="},
        {"select closed by an input, options without end tags",
         "<form><select name=s><option>eins"
         "<option value=2 selected>zwei<input name=i value=x></form>",
         "s=2&i=x"},
        {"multiple select and a disabled option",
         "<form><select name=m multiple><option selected>a"
         "<option selected disabled>b<option selected>c</select></form>",
         "m=a&m=c"},
        {"noscript is text with scripting on", "<form><noscript><input name=n></noscript><input name=j></form>", "j="},
        {"attributes: first one counts, no value, upper case",
         "<FORM METHOD=POST><INPUT NAME=a name=b VALUE=1 "
         "TYPE=CHECKBOX CHECKED><input name=c value=2 disabled></FORM>",
         "a=1"},
        {"page ends inside the form", "<form><input name=a value=1><select name=s><option>x", "a=1&s=x"},
        {"no form at all", "<input name=a>", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto form = firstForm(c.html, page);
        ASSERT_EQ(form.has_value(), c.encoded != nullptr);
        if (form) {
            EXPECT_EQ(form->encoded(), QByteArray(c.encoded));
        }
    }
    // 200 000 open elements around the form: a tree builder needs minutes, one pass milliseconds.
    QByteArray deep = QByteArray("<div>").repeated(200000) + "<form action=/tief method=post><input name=u>" +
                      QByteArray("<span>").repeated(200000) + "<input name=p></form>";
    const auto form = firstForm(deep, page);
    ASSERT_TRUE(form.has_value());
    EXPECT_EQ(form->encoded(), QByteArray("u=&p="));
    EXPECT_EQ(form->action.toString(), QStringLiteral("https://anmeldung.example/tief"));
}

} // namespace
