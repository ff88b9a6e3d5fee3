#include "program_window.h"

#include <QGuiApplication>
#include <QScreen>

namespace wirtello {

void ProgramWindow::open()
{
    setEnabled(true);
    initialiseFailed_ = false;
    initialise();
    if (initialiseFailed_)
        return;
    show();
    raise();
    activateWindow();
}

void ProgramWindow::dismiss()
{
    setEnabled(false);
    hide();
    close();
}

void ProgramWindow::setFixedClientSize(int width, int height)
{
    setFixedSize(width, height);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(width / 2, height / 2));
    }
}

} // namespace wirtello
