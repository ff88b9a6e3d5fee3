// The floor for start-up: a bare Qt window of the main window's size, shown
// and painted once. With "--text" it also shows one line of text, so the
// cost of starting the font system can be told apart.
#include "first_paint.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Wirtello"));
    window.setFixedSize(1001, 669);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0)
        new QLabel(QStringLiteral("Wpisz szukane słowo i naciśnij Enter"), &window);
    new wirtello::bench::QuitAfterFirstPaint(window);
    window.show();
    return QApplication::exec();
}
