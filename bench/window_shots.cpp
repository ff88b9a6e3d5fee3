// Pictures of every window of the program, as a user opens them over an
// office folder, so a change meant to keep the windows' looks can be checked
// pixel by pixel: run it before and after, then compare the PNG files
// (e.g. `compare -metric AE before/X.png after/X.png diff.png`).
// Run offscreen for pictures that do not depend on a desktop. Texts of times
// and dates are painted over in magenta, since the clocks move.
// Usage: window_shots OUTPUT_FOLDER

#include "office_folder.h"
#include "quiet_platform.h"

#include "app/program.h"
#include "store/program_folder.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpression>
#include <QElapsedTimer>
#include <QWindow>
#include <QToolButton>

#include <cstdio>
#include <fstream>

namespace {

using namespace wirtello;

// Times ("12:34:56") and dates ("2026-12-07", "07.12.2026") change between runs.
bool showsClock(const QString& text)
{
    static const QRegularExpression clock(QStringLiteral(R"(\d{1,2}:\d{2}(:\d{2})?|\d{4}-\d{2}-\d{2}|\d{2}\.\d{2}\.\d{4})"));
    return clock.match(text).hasMatch();
}

void waitUntilShown(QWidget& window)
{
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

void save(QWidget& window, const QString& folder, const QString& name)
{
    QCoreApplication::processEvents();
    QImage picture = window.grab().toImage();
    QPainter painter(&picture);
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->isVisible() && showsClock(label->text()))
            painter.fillRect(QRect(label->mapTo(&window, QPoint()), label->size()), Qt::magenta);
    }
    painter.end();
    const QString file = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!picture.save(file))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
}

QToolButton* buttonCaptioned(QWidget& window, const QString& caption)
{
    for (QToolButton* button : window.findChildren<QToolButton*>())
        if (button->text() == caption)
            return button;
    return nullptr;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_shots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(output);

    const std::filesystem::path folder = bench::makeOfficeFolder("window-shots", 12);
    std::filesystem::current_path(folder);
    AppData data(folder);
    bench::QuietPlatform platform;
    Program program(data, platform);
    Tzadania_f& main = program.mainWindow();
    main.show();
    waitUntilShown(main);
    save(main, output, QStringLiteral("Tzadania_f"));

    // The main window's help panel.
    if (QToolButton* info = buttonCaptioned(main, QStringLiteral("Info"))) {
        info->click();
        save(main, output, QStringLiteral("Tzadania_f-Info"));
        if (QToolButton* close = buttonCaptioned(main, QStringLiteral("Zamknij")))
            close->click();
    }

    for (ProgramWindow* window : program.creationOrder()) {
        if (window == &main)
            continue;
        window->open();
        waitUntilShown(*window);
        save(*window, output, window->objectName());
        // The envelope window's help panel.
        if (window->objectName() == QStringLiteral("Tkoperta_f")) {
            if (QToolButton* help = buttonCaptioned(*window, QStringLiteral("Pomoc"))) {
                help->click();
                save(*window, output, QStringLiteral("Tkoperta_f-Pomoc"));
                if (QToolButton* back = buttonCaptioned(*window, QStringLiteral("Powrót")))
                    back->click();
            }
        }
        window->dismiss();
    }

    // The cash document as "Dokument Kp" opens it, and its panels.
    std::ofstream(folder / std::string(kDocumentsFolder) / "kptresc.dat")
        << "Zaliczka\r\nOplata za usluge\r\nZwrot kosztow\r\n";
    if (QToolButton* kp = buttonCaptioned(main, QStringLiteral("Dokument Kp"))) {
        kp->click();
        for (ProgramWindow* window : program.creationOrder()) {
            if (window->objectName() != QStringLiteral("Tkp_f") || !window->isVisible())
                continue;
            waitUntilShown(*window);
            // The date field shows today: a fixed one keeps the pictures comparable.
            for (QLineEdit* edit : window->findChildren<QLineEdit*>())
                if (showsClock(edit->text()))
                    edit->setText(QStringLiteral("01.01.2026"));
            save(*window, output, QStringLiteral("Tkp_f-Kp"));
            const std::pair<const char*, const char*> panels[] = {
                {"Edytuj", "Zaniechaj"}, {"Pomoc", "Koniec pomocy"}, {"Wstaw treść", nullptr}};
            for (const auto& [open, close] : panels) {
                if (QToolButton* button = buttonCaptioned(*window, QString::fromUtf8(open))) {
                    button->click();
                    const QString first = QString::fromUtf8(open).section(QLatin1Char(' '), 0, 0);
                    save(*window, output, QStringLiteral("Tkp_f-") + first);
                }
                if (QToolButton* button = close ? buttonCaptioned(*window, QString::fromUtf8(close)) : nullptr)
                    button->click();
            }
            window->dismiss();
        }
    }
    return 0;
}
