#include "shell/Help.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tarmelo::shell;

namespace {

void writeFile(const QString& path, const QByteArray& content = "<html></html>") {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
}

QString shippedFolder() {
    // tests/data need not exist, so the path is cleaned as text rather than resolved by the file system.
    return QDir::cleanPath(QStringLiteral(TARMELO_TEST_DATA "/../../share/tarmelo/help"));
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(HelpTest, FolderIsBesideTheBinFolder) {
    const QString cwd = QDir::currentPath();
    const struct {
        QString exeDir;
        QString expected;
    } cases[] = {
        {"/opt/tarmelo/bin", "/opt/tarmelo/share/tarmelo/help"},
        {"/opt/tarmelo/bin/", "/opt/tarmelo/share/tarmelo/help"},
        {"/opt/tarmelo/./lib/../bin", "/opt/tarmelo/share/tarmelo/help"},
        {"/usr/bin", "/usr/share/tarmelo/help"},
        {"bin", QDir::cleanPath(cwd + "/share/tarmelo/help")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(helpFolder(c.exeDir), c.expected) << c.exeDir.toStdString();
}

TEST(HelpTest, AvailableOnlyWithTheMainPage) {
    const struct {
        const char* name;
        QStringList files;   // created in the help folder
        QStringList folders; // created in the help folder
        bool createFolder;
        bool expected;
    } cases[] = {
        {"main page present", {"1000.html"}, {}, true, true},
        {"main page among others", {"1000.html", "1007.html", "style.css"}, {}, true, true},
        {"folder missing", {}, {}, false, false},
        {"empty folder", {}, {}, true, false},
        {"other pages only", {"1007.html", "index.html"}, {}, true, false},
        {"main page is a folder", {}, {"1000.html"}, true, false},
    };
    for (const auto& c : cases) {
        QTemporaryDir tmp;
        ASSERT_TRUE(tmp.isValid());
        const QString folder = tmp.filePath("help");
        if (c.createFolder) {
            ASSERT_TRUE(QDir().mkpath(folder));
        }
        for (const QString& f : c.files)
            writeFile(folder + '/' + f);
        for (const QString& d : c.folders)
            ASSERT_TRUE(QDir().mkpath(folder + '/' + d));
        EXPECT_EQ(helpAvailable(folder), c.expected) << c.name;
    }
}

TEST(HelpTest, PageUrlFallsBackToTheMainPage) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString folder = tmp.filePath("help");
    ASSERT_TRUE(QDir().mkpath(folder));
    writeFile(folder + "/1000.html");
    writeFile(folder + "/1007.html");
    ASSERT_TRUE(QDir().mkpath(folder + "/1009.html"));

    const struct {
        int context;
        const char* page;
    } cases[] = {
        {kHelpMain, "1000.html"},  {kHelpPreview, "1007.html"},
        {kHelpPrint, "1000.html"}, {kHelpRename, "1000.html"}, // a folder of that name is no page
        {0, "1000.html"},          {-1, "1000.html"},
    };
    for (const auto& c : cases) {
        const QUrl url = helpPageUrl(folder, c.context);
        EXPECT_TRUE(url.isLocalFile()) << c.context;
        EXPECT_EQ(url.toLocalFile(), folder + '/' + c.page) << c.context;
    }
}

TEST(HelpTest, PageUrlIsAbsoluteForARelativeFolder) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    ASSERT_TRUE(QDir().mkpath(tmp.filePath("help")));
    writeFile(tmp.filePath("help/1000.html"));
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(tmp.path()));
    const QUrl url = helpPageUrl("help", kHelpPreview);
    QDir::setCurrent(saved);
    EXPECT_TRUE(QFileInfo(url.toLocalFile()).isAbsolute()) << url.toString().toStdString();
    EXPECT_EQ(QFileInfo(url.toLocalFile()).canonicalFilePath(),
              QFileInfo(tmp.filePath("help/1000.html")).canonicalFilePath());
}

TEST(HelpTest, MissingMessageNamesTheFolder) {
    const QString tail = "\" befindet sich nicht im Installationsordner von Tarmelo.\n\n"
                         "Falls Sie auf die Hilfe-Funktion nicht verzichten möchten, führen Sie ein Online-Update "
                         "durch\noder installieren Sie die Anwendung erneut!";
    const struct {
        QString folder;
        QString name;
    } cases[] = {
        {"/opt/tarmelo/share/tarmelo/help", "help"},
        {"/opt/tarmelo/share/tarmelo/help/", "help"},
        {"/home/händler/Hilfe Ordner", "Hilfe Ordner"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(missingHelpMessage(c.folder), "Die Hilfe-Datei \"" + c.name + tail) << c.folder.toStdString();
}

TEST(HelpTest, ShippedPagesAreCompleteAndSelfContained) {
    const QString folder = shippedFolder();
    ASSERT_TRUE(helpAvailable(folder)) << folder.toStdString();
    const QRegularExpression link(QStringLiteral(R"re((?:href|src)\s*=\s*"([^"]*)")re"),
                                  QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    const QRegularExpression charset(QStringLiteral(R"re(<meta\s+charset\s*=\s*"?utf-8"?\s*/?>)re"),
                                     QRegularExpression::CaseInsensitiveOption);

    for (int context : kHelpContexts) {
        const QString page = QStringLiteral("%1.html").arg(context);
        SCOPED_TRACE(page.toStdString());
        const QByteArray bytes = readAll(folder + '/' + page);
        ASSERT_FALSE(bytes.isEmpty());
        ASSERT_TRUE(bytes.isValidUtf8());
        const QString html = QString::fromUtf8(bytes);
        EXPECT_TRUE(charset.match(html).hasMatch());
        EXPECT_FALSE(html.contains(QStringLiteral("<script"), Qt::CaseInsensitive));
        EXPECT_TRUE(html.contains(QStringLiteral("href=\"1000.html\"")));
        EXPECT_EQ(helpPageUrl(folder, context).fileName(), page);

        for (auto it = link.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            SCOPED_TRACE(target.toStdString());
            ASSERT_FALSE(target.isEmpty());
            EXPECT_FALSE(scheme.match(target).hasMatch()) << "pages must work offline";
            EXPECT_FALSE(target.startsWith('/'));
            const qsizetype hash = target.indexOf('#');
            const QString file = hash < 0 ? target : target.left(hash);
            const QString anchor = hash < 0 ? QString() : target.mid(hash + 1);
            const QString path = file.isEmpty() ? folder + '/' + page : QDir(folder).filePath(file);
            EXPECT_TRUE(QFileInfo(path).isFile());
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(QString::fromUtf8(readAll(path)).contains("id=\"" + anchor + '"'));
            }
        }
    }
}
