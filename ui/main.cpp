#include "platform/Application.h"
#include "platform/KeyState.h"

#include <QLabel>

int main(int argc, char** argv) {
    KolvexApplication app(argc, argv);
    Application::SetTitle(QStringLiteral("Kolvex"));
    KeyState::InstallFilter();
    QLabel window(QStringLiteral("Kolvex"));
    window.setWindowTitle(Application::Title());
    window.resize(192, 416);
    window.show();
    return app.exec();
}
