#include "transfer/HtmlForm.h"

#include <gumbo.h>

#include <functional>

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

QString attribute(const GumboNode* n, const char* name) {
    const GumboAttribute* a = gumbo_get_attribute(&n->v.element.attributes, name);
    return a ? QString::fromUtf8(a->value) : QString();
}
bool hasAttribute(const GumboNode* n, const char* name) {
    return gumbo_get_attribute(&n->v.element.attributes, name) != nullptr;
}

QString textOf(const GumboNode* n) {
    QString s;
    if (n->type == GUMBO_NODE_TEXT || n->type == GUMBO_NODE_WHITESPACE || n->type == GUMBO_NODE_CDATA)
        return QString::fromUtf8(n->v.text.text);
    if (n->type != GUMBO_NODE_ELEMENT)
        return s;
    for (unsigned i = 0; i < n->v.element.children.length; ++i)
        s += textOf(static_cast<const GumboNode*>(n->v.element.children.data[i]));
    return s;
}

void forEachElement(const GumboNode* n, const std::function<void(const GumboNode*)>& visit) {
    if (n->type != GUMBO_NODE_ELEMENT && n->type != GUMBO_NODE_TEMPLATE && n->type != GUMBO_NODE_DOCUMENT)
        return;
    const GumboVector& children = n->type == GUMBO_NODE_DOCUMENT ? n->v.document.children : n->v.element.children;
    if (n->type != GUMBO_NODE_DOCUMENT)
        visit(n);
    for (unsigned i = 0; i < children.length; ++i)
        forEachElement(static_cast<const GumboNode*>(children.data[i]), visit);
}

bool inside(const GumboNode* n, const GumboNode* ancestor) {
    for (const GumboNode* p = n->parent; p; p = p->parent)
        if (p == ancestor)
            return true;
    return false;
}

const GumboNode* enclosingForm(const GumboNode* n) {
    for (const GumboNode* p = n->parent; p; p = p->parent)
        if (p->type == GUMBO_NODE_ELEMENT && p->v.element.tag == GUMBO_TAG_FORM)
            return p;
    return nullptr;
}

bool isTablePart(GumboTag t) {
    return t == GUMBO_TAG_TABLE || t == GUMBO_TAG_TBODY || t == GUMBO_TAG_THEAD || t == GUMBO_TAG_TFOOT ||
           t == GUMBO_TAG_TR;
}

void addControl(const GumboNode* n, HtmlForm& form) {
    const QString name = attribute(n, "name");
    if (name.isEmpty() || hasAttribute(n, "disabled"))
        return;
    switch (n->v.element.tag) {
    case GUMBO_TAG_INPUT: {
        const QString type = attribute(n, "type").toLower();
        if (type == u"submit" || type == u"image" || type == u"button" || type == u"reset" || type == u"file")
            return;
        if (type == u"checkbox" || type == u"radio") {
            if (hasAttribute(n, "checked"))
                form.fields.append({name, hasAttribute(n, "value") ? attribute(n, "value") : QStringLiteral("on")});
            return;
        }
        form.fields.append({name, attribute(n, "value")});
        return;
    }
    case GUMBO_TAG_TEXTAREA:
        form.fields.append({name, textOf(n)});
        return;
    case GUMBO_TAG_SELECT: {
        QList<const GumboNode*> options;
        forEachElement(n, [&options](const GumboNode* o) {
            if (o->v.element.tag == GUMBO_TAG_OPTION)
                options.append(o);
        });
        const auto value = [](const GumboNode* o) {
            return hasAttribute(o, "value") ? attribute(o, "value") : textOf(o).simplified();
        };
        bool any = false;
        for (const GumboNode* o : options) {
            if (hasAttribute(o, "selected") && !hasAttribute(o, "disabled")) {
                form.fields.append({name, value(o)});
                any = true;
                if (!hasAttribute(n, "multiple"))
                    break;
            }
        }
        if (!any && !hasAttribute(n, "multiple") && !options.isEmpty())
            form.fields.append({name, value(options.first())});
        return;
    }
    default:
        return;
    }
}

} // namespace

std::optional<HtmlForm> firstForm(const QByteArray& html, const QUrl& pageUrl) {
    GumboOutput* out = gumbo_parse_with_options(&kGumboDefaultOptions, html.constData(), size_t(html.size()));
    // Every element in document order, to find the form and the controls that belong to it.
    QList<const GumboNode*> elements;
    forEachElement(out->document, [&elements](const GumboNode* n) { elements.append(n); });
    std::optional<HtmlForm> result;
    qsizetype start = -1;
    for (qsizetype i = 0; i < elements.size(); ++i) {
        if (elements[i]->v.element.tag == GUMBO_TAG_FORM) {
            start = i;
            break;
        }
    }
    if (start >= 0) {
        const GumboNode* form = elements[start];
        HtmlForm f;
        f.method = attribute(form, "method").toLower() == u"post" ? "POST" : "GET";
        const QString action = attribute(form, "action").trimmed();
        f.action = action.isEmpty() ? pageUrl : pageUrl.resolved(QUrl(action));
        // An address that does not parse, or leaves the web, gets no log-in: the password goes nowhere else.
        const QString scheme = f.action.scheme();
        if (!f.action.isValid() || (scheme != u"http" && scheme != u"https")) {
            gumbo_destroy_output(&kGumboDefaultOptions, out);
            return std::nullopt;
        }
        // A form opened inside a table before any row is left empty by the parser; the browser still gives it
        // the controls that follow, up to the next form.
        const bool fostered =
            form->parent && form->parent->type == GUMBO_NODE_ELEMENT && isTablePart(form->parent->v.element.tag);
        for (qsizetype i = start + 1; i < elements.size(); ++i) {
            const GumboNode* n = elements[i];
            const GumboTag tag = n->v.element.tag;
            if (tag == GUMBO_TAG_FORM && !inside(n, form))
                break;
            if (tag != GUMBO_TAG_INPUT && tag != GUMBO_TAG_SELECT && tag != GUMBO_TAG_TEXTAREA)
                continue;
            const GumboNode* owner = enclosingForm(n);
            if (owner == form || (fostered && owner == nullptr))
                addControl(n, f);
        }
        result = std::move(f);
    }
    gumbo_destroy_output(&kGumboDefaultOptions, out);
    return result;
}

} // namespace tarmelo::transfer
