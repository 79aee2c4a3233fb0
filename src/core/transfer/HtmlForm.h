#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>
#include <optional>

namespace tarmelo::transfer {

// A form as a browser would submit it.
struct HtmlForm {
    QByteArray method = "GET"; // upper case
    QUrl action;               // resolved against the page's address
    QList<QPair<QString, QString>> fields;

    // Sets the value of the first field of that name; false when there is none.
    bool setField(const QString& name, const QString& value);
    // application/x-www-form-urlencoded, UTF-8.
    QByteArray encoded() const;
};

// The first form of a page with the fields a browser sends for it (hidden ones included; unchecked check boxes,
// disabled controls and buttons left out). Every control between the form's start tag and its end tag belongs to
// it, as in a browser, also where a table moves the form's element away from its controls; a form tag inside the
// form is ignored. Time linear in the page's size. A first form whose action is no valid http or https address
// gives none.
std::optional<HtmlForm> firstForm(const QByteArray& html, const QUrl& pageUrl);

} // namespace tarmelo::transfer
