#include "ui/ReadMeWindow_KX.h"

#include "ui/RtfText_KX.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

TReadMeWindow::TReadMeWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("ReadMeWindow"));
    setWindowTitle(QStringLiteral("Kolvex - ReadMe"));
    FView = new QTextBrowser(this);
    FView->setOpenLinks(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FView);
    layout->addWidget(buttons);
    // A page's width to read at, no taller than the screen leaves room for.
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const int height = screen ? std::min(720, screen->availableGeometry().height() * 9 / 10) : 720;
    resize(640, height);
}

TReadMeWindow* TReadMeWindow::ShowFor(QWidget* owner, const QByteArray& rtf) {
    auto* window =
        owner ? owner->findChild<TReadMeWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!window) window = new TReadMeWindow(owner);
    window->SetText(rtf);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void TReadMeWindow::SetText(const QByteArray& rtf) {
    FView->setHtml(RtfText::ToHtml(rtf));
}

QString TReadMeWindow::Text() const {
    return FView->toPlainText();
}
