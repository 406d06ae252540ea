#include "ui/brenmarMMForm.h"

#include "foundation/brenmarError.h"

#include <QEvent>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>

TBrenmarMMForm::TBrenmarMMForm(QWidget* parent) : QMainWindow(parent), FClient(new QWidget(this)) {
    setPalette(QPalette(Qt::white));
    setAutoFillBackground(true);
    FClient->setAutoFillBackground(true);
    FClient->installEventFilter(this);
    setCentralWidget(FClient);
    FixToClientSize();
}

QSize TBrenmarMMForm::ClientSize() const {
    return FClient->size();
}

void TBrenmarMMForm::SetClientSize(int width, int height) {
    FClientSize = QSize(width, height);
    if (!FFullScreen) FixToClientSize();
}

void TBrenmarMMForm::FixToClientSize() {
    FClient->setFixedSize(FClientSize);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();
    // Without an event loop turn in between the central widget may keep its old size.
    FClient->resize(FClientSize);
}

void TBrenmarMMForm::GoFullScreen() {
    if (FFullScreen) return;
    FSavedWindowState = windowState();
    FSavedFlags = windowFlags();
    FSavedMenuVisible = menuBar()->isVisible();
    FSavedGeometry = geometry();
    // A full-screen window must be free to take the screen's size.
    layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
    FClient->setMinimumSize(0, 0);
    FClient->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    menuBar()->hide();
    FFullScreen = true;
    if (QScreen* s = screen()) setGeometry(s->geometry());
    showFullScreen();
}

void TBrenmarMMForm::BackToWindow() {
    ErrorReporter().Require(FFullScreen, QString(), QStringLiteral("TbrenmarMMForm.BackToWindow"));
    if (!FFullScreen) return;
    FFullScreen = false;
    menuBar()->setVisible(FSavedMenuVisible);
    setWindowFlags(FSavedFlags);
    setWindowState(FSavedWindowState);
    FixToClientSize();
    setGeometry(FSavedGeometry);
    show();
}

bool TBrenmarMMForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FClient && event->type() == QEvent::Resize) FormResize();
    return QMainWindow::eventFilter(watched, event);
}

void TBrenmarMMForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!FCentred) {
        FCentred = true;
        CentreOnScreen();
    }
}

void TBrenmarMMForm::CentreOnScreen() {
    QScreen* s = screen();
    if (!s) return;
    const QRect area = s->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
}
