// GUI tests run the real widgets on the offscreen platform; message boxes answer from a queue.

#include "common/Dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    tarmelo::gui::Dialogs::setTestMode(true);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
