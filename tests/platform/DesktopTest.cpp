#include "platform/Desktop.h"

#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <optional>

namespace {
// A PATH whose only xdg-open runs the given shell lines (none: no xdg-open at all).
class PathWithXdgOpen {
public:
    explicit PathWithXdgOpen(const QByteArray& lines) : FSaved(qgetenv("PATH")) {
        static int n = 0;
        const QString folder =
            TestEnvironment::ScratchFolder() + QStringLiteral("/path%1").arg(++n);
        QDir().mkpath(folder);
        if (!lines.isEmpty()) {
            QFile script(folder + QStringLiteral("/xdg-open"));
            script.open(QIODevice::WriteOnly);
            script.write("#!/bin/sh\n" + lines + "\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", QFile::encodeName(folder));
    }
    ~PathWithXdgOpen() { qputenv("PATH", FSaved); }

private:
    QByteArray FSaved;
};

std::optional<bool> OpenAndWait(const QString& file) {
    std::optional<bool> told;
    Desktop::OpenDocument(file, [&](bool opened) { told = opened; });
    QDeadlineTimer deadline(20000);
    while (!told && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return told;
}
} // namespace

// Whether the RTF viewer came up decides whether the program shows the text itself.
TEST(Desktop, ADocumentSaysWhetherTheDesktopOpenedIt) {
    const QString given = TestEnvironment::ScratchFolder() + QStringLiteral("/given");
    const QString file = TestEnvironment::ScratchFolder() + QStringLiteral("/Read Me.rtf");
    const struct {
        QByteArray Lines;
        bool Opened;
    } cases[] = {
        {"printf %s \"$1\" > '" + QFile::encodeName(given) + "'; exit 0", true},
        {"exit 3", false}, // no handler for the type
        {"kill -9 $$", false},
        {"", false}, // no xdg-open: nothing on this machine opens documents
    };
    for (const auto& c : cases) {
        const PathWithXdgOpen path(c.Lines);
        EXPECT_EQ(OpenAndWait(file), c.Opened) << c.Lines.constData();
    }
    QFile handed(given);
    ASSERT_TRUE(handed.open(QIODevice::ReadOnly)) << "xdg-open was given no file";
    EXPECT_EQ(QFile::decodeName(handed.readAll()), file);
}
