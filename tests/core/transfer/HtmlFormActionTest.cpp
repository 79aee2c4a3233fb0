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

} // namespace
