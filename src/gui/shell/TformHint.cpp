#include "shell/TformHint.h"

#include "common/Dialogs.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tarmelo::gui {

TformHint::TformHint(const QString& message, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("formHint"));
    setWindowTitle(QStringLiteral("Wichtiger Hinweis"));
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    auto* text = new QLabel(
        QStringLiteral("Das Online-Update wurde abgebrochen.\nDer Server lieferte folgende Fehlermeldung:"), this);
    auto* memo = new QPlainTextEdit(message, this);
    memo->setObjectName(QStringLiteral("memoHint"));
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(text, 1);
    auto* v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addWidget(memo, 1);
    v->addWidget(ok, 0, Qt::AlignHCenter);
    resize(305, 190);
}

QStringList& TformHint::shown() {
    static QStringList list;
    return list;
}

void TformHint::showMessage(QWidget* parent, const QString& message) {
    shown().append(message);
    if (Dialogs::testMode())
        return;
    TformHint hint(message, parent);
    hint.exec();
}

} // namespace tarmelo::gui
