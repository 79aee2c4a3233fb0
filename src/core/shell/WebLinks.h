#pragma once

#include "shell/Servers.h"

#include <QList>
#include <QString>
#include <QUrl>

namespace tarmelo::shell {

// The pages the web-link commands open in the browser. Hosts come from the servers, paths are fixed.
struct WebLink {
    enum class Host { WebSite, DealerArea, VehicleSearch };
    QString name;    // the command
    QString caption; // menu caption
    QString menu;    // "H&ilfe", "&Händlerbereich" or its sub-menu "&Fahrzeugsuche"
    Host host;
    QString path; // with query; empty: the home page
};

// The twelve links, the Händlerbereich ones in menu order.
const QList<WebLink>& webLinks();
QUrl webLinkUrl(const WebLink& link, const Servers& servers);

// The maker's contact addresses of the info box.
QUrl makerWebUrl(const Servers& servers);
QString makerEmail();

} // namespace tarmelo::shell
