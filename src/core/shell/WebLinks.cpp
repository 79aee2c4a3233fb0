#include "shell/WebLinks.h"

namespace tarmelo::shell {

const QList<WebLink>& webLinks() {
    using H = WebLink::Host;
    static const QString help = QStringLiteral("H&ilfe");
    static const QString dealer = QStringLiteral("&Händlerbereich");
    static const QString search = QStringLiteral("&Fahrzeugsuche");
    static const QList<WebLink> links = {
        {"actTarmeloOnline", "&Tarmelo im Internet", help, H::WebSite, "/tarmelo.php"},
        {"actKelvardOnline", "&Kelvard im Internet", help, H::WebSite, {}},
        {"actDealerArea", "&Startseite", dealer, H::DealerArea, "/dealer-admin/"},
        {"actVehiclesOnline", "Fahrzeug&bestand", dealer, H::DealerArea, "/dealer-admin/inventory.html?resetFilter=1"},
        {"actSearchPkw", "&Pkw", search, H::VehicleSearch, "/fahrzeuge/search.html?scopeId=C&lang=de"},
        {"actSearchWomo", "&Wohnmobile", search, H::VehicleSearch, "/fahrzeuge/search.html?scopeId=MH&lang=de"},
        {"actSearchKrad", "&Motorräder", search, H::VehicleSearch, "/fahrzeuge/search.html?scopeId=MB&lang=de"},
        {"actSearchLkw", "&Lkw und Nutzfahrzeuge", search, H::VehicleSearch,
         "/fahrzeuge/search.html?scopeId=AT&lang=de"},
        {"actAveragePrice", "&Durchschnittspreis", dealer, H::DealerArea, "/dealer-admin/averagePrice.html"},
        {"actParking", "&Parkplatz", dealer, H::DealerArea, "/dealer-admin/parking.html"},
        {"actBusinessCockpit", "&Erfolgsmonitor", dealer, H::DealerArea,
         "/dealer-admin/reporting/businessCockpit.html"},
        {"actAdStatistic", "&Inseratsstatistik", dealer, H::DealerArea, "/dealer-admin/reporting/vehicleCockpit.html"},
    };
    return links;
}

QUrl webLinkUrl(const WebLink& link, const Servers& servers) {
    QString base;
    switch (link.host) {
    case WebLink::Host::WebSite:
        base = servers.WebSite;
        break;
    case WebLink::Host::DealerArea:
        base = servers.DealerArea;
        break;
    case WebLink::Host::VehicleSearch:
        base = servers.VehicleSearch;
        break;
    }
    while (base.endsWith('/'))
        base.chop(1);
    // The home page keeps its slash so that every browser shows the same address.
    return QUrl(base + (link.path.isEmpty() ? QStringLiteral("/") : link.path), QUrl::StrictMode);
}

QUrl makerWebUrl(const Servers& servers) {
    return webLinkUrl(webLinks().at(1), servers);
}

QString makerEmail() {
    return QStringLiteral("info@kelvard.de");
}

} // namespace tarmelo::shell
