#include "shell/TformInfo.h"

#include "common/Dialogs.h"
#include "shell/Desktop.h"
#include "shell/Help.h"
#include "shell/UpdateRules.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarmelo::gui {

QString TformInfo::lastUpdateText(const std::optional<QDate>& lastUpdate) {
    if (!lastUpdate || !lastUpdate->isValid())
        return QStringLiteral("-");
    return QStringLiteral("%1.%2.%3")
        .arg(lastUpdate->day(), 2, 10, QLatin1Char('0'))
        .arg(lastUpdate->month(), 2, 10, QLatin1Char('0'))
        .arg(lastUpdate->year(), 4, 10, QLatin1Char('0'));
}

QLabel* TformInfo::makeLink(const QString& text, const char* name) {
    auto* l = new QLabel(text, this);
    l->setObjectName(QLatin1StringView(name));
    l->setStyleSheet(QStringLiteral("color: blue;"));
    l->setCursor(Qt::PointingHandCursor);
    l->installEventFilter(this);
    return l;
}

TformInfo::TformInfo(const std::optional<QDate>& lastUpdate, QUrl web, QString email, QString licenceFile,
                     QWidget* parent)
    : QDialog(parent), web_(std::move(web)), email_(std::move(email)), licenceFile_(std::move(licenceFile)) {
    setObjectName(QStringLiteral("formInfo"));
    setWindowTitle(QStringLiteral("Über Tarmelo"));
    setModal(true);

    auto* band = new QLabel(this);
    band->setObjectName(QStringLiteral("imgLogo"));
    band->setFixedHeight(49);
    band->setAutoFillBackground(true);
    QPalette pal = band->palette();
    pal.setColor(QPalette::Window, Qt::white);
    band->setPalette(pal);
    band->setPixmap(windowIcon().pixmap(40, 40));
    band->setContentsMargins(8, 0, 0, 0);

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* g = new QGridLayout(frame);
    auto* name = new QLabel(QStringLiteral("Tarmelo"), frame);
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    name->setFont(bold);
    g->addWidget(name, 0, 0, 1, 2);
    const struct {
        const char* caption;
        QString value;
        const char* object;
    } rows[] = {
        {"Version:", shell::kProgramVersion, "lblVersion"},
        {"Datum:", shell::kProgramDate, "lblDatum"},
        {"Online-Update:", lastUpdateText(lastUpdate), "lblLastUpdate"},
    };
    int r = 1;
    for (const auto& row : rows) {
        g->addWidget(new QLabel(QString::fromUtf8(row.caption), frame), r, 0);
        auto* value = new QLabel(row.value, frame);
        value->setObjectName(QLatin1StringView(row.object));
        g->addWidget(value, r++, 1);
    }
    auto* maker = new QLabel(QStringLiteral("Kelvard Software\nMusterstraße 1\n12345 Musterstadt"), frame);
    maker->setObjectName(QStringLiteral("lblMaker"));
    g->addWidget(maker, 1, 2, 3, 1, Qt::AlignTop);
    g->addWidget(makeLink(web_.toString(QUrl::RemoveScheme | QUrl::StripTrailingSlash).mid(2), "lblWeb"), 4, 2);
    g->addWidget(makeLink(email_, "lblEMail"), 5, 2);
    g->setColumnStretch(2, 1);

    auto* buttons = new QDialogButtonBox(this);
    auto* licence = buttons->addButton(QStringLiteral("Lizenzvereinbarung"), QDialogButtonBox::ActionRole);
    licence->setObjectName(QStringLiteral("btnLizenz"));
    auto* ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    connect(licence, &QPushButton::clicked, this, &TformInfo::btnLizenzClick);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    Dialogs::bindHelpKey(this, shell::kHelpInfo);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 8);
    v->addWidget(band);
    auto* inner = new QVBoxLayout;
    inner->setContentsMargins(8, 0, 8, 0);
    inner->addWidget(frame, 1);
    inner->addWidget(buttons);
    v->addLayout(inner, 1);
    resize(346, 300);
}

bool TformInfo::eventFilter(QObject* watched, QEvent* event) {
    auto* label = qobject_cast<QLabel*>(watched);
    if (!label)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::Leave: {
        QFont f = label->font();
        f.setUnderline(event->type() == QEvent::Enter);
        label->setFont(f);
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            if (label->objectName() == QLatin1StringView("lblWeb"))
                lblWebClick();
            else
                lblEMailClick();
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TformInfo::lblWebClick() {
    Desktop::openUrl(web_);
}

void TformInfo::lblEMailClick() {
    Desktop::openUrl(QUrl(QStringLiteral("mailto:") + email_));
}

void TformInfo::btnLizenzClick() {
    Desktop::openUrl(QUrl::fromLocalFile(licenceFile_));
}

} // namespace tarmelo::gui
