#include "program_window.h"

#include <QGuiApplication>
#include <QScreen>

namespace wirtello {

void ProgramWindow::buildWidgets()
{
    if (widgetsBuilt_)
        return;
    widgetsBuilt_ = true;
    build();
}

void ProgramWindow::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        buildWidgets();
        aboutToShow();
    }
    QWidget::setVisible(visible);
}

void ProgramWindow::open()
{
    buildWidgets();
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

void ProgramWindow::setFixedClientSize(int width, int height, TitleButtons buttons)
{
    setFixedSize(width, height);
    Qt::WindowFlags flags = Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (buttons == TitleButtons::SystemMenuAndMinimise)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(width / 2, height / 2));
    }
}

} // namespace wirtello
