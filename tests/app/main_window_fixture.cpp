#include "main_window_fixture.h"

#include "store/contact_database.h"

#include <QImage>

namespace wirtello::test {

MainWindowTest::MainWindowTest()
{
    writeJpeg(folder / "LOGO/Chmury.jpg", Qt::blue);
}

void MainWindowTest::start()
{
    window = std::make_unique<Tzadania_f>(data, platform, printFont, windows);
    window->FormCreate();
}

void MainWindowTest::writeDatabase(const std::vector<StoredContact>& contacts)
{
    ContactDatabase database;
    for (const StoredContact& contact : contacts) {
        database.setText(ContactField::Display, contact.slot, contact.display);
        database.setText(ContactField::Id, contact.slot, contact.display.substr(0, 3));
        database.setText(ContactField::FirstLine, contact.slot, "Imię " + contact.display);
        database.setText(ContactField::Street, contact.slot, contact.street);
        database.setText(ContactField::Email, contact.slot, contact.email);
        database.setText(ContactField::PhotoPath, contact.slot, contact.photo);
    }
    database.store(databasePath());
}

void MainWindowTest::addContact(const QString& name)
{
    platform.inputAnswers.push_back(name);
    toolButton("SpeedButton2")->click();
}

void MainWindowTest::clickRow(int row)
{
    list()->selectionModel()->setCurrentIndex(list()->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
}

QListView* MainWindowTest::list() const
{
    return control<QListView>(*window, "listazadan");
}

int MainWindowTest::currentRow() const
{
    return list()->currentIndex().row();
}

int MainWindowTest::rowCount() const
{
    return list()->model()->rowCount();
}

QString MainWindowTest::currentEntry() const
{
    return list()->currentIndex().data().toString();
}

QStringList MainWindowTest::entries() const
{
    QStringList texts;
    for (int row = 0; row < rowCount(); ++row)
        texts << list()->model()->index(row, 0).data().toString();
    return texts;
}

std::vector<std::uint8_t> MainWindowTest::databaseBytes() const
{
    return readBytes(databasePath());
}

std::filesystem::path MainWindowTest::databasePath() const
{
    return folder / "NOTATKI/Wirtello_nazwy_tematow.dat";
}

std::filesystem::path MainWindowTest::counterPath() const
{
    return folder / "NOTATKI/Wirtello_id_tematow.dat";
}

QColor MainWindowTest::shownColour() const
{
    const QImage image = control<QLabel>(*window, "Image1")->pixmap().toImage();
    if (image.isNull())
        return {};
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

void writeJpeg(const std::filesystem::path& path, QColor colour)
{
    QImage image(40, 52, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(QString::fromStdString(path.string()), "JPG"));
}

bool isRed(QColor colour)
{
    return colour.isValid() && colour.red() > 200 && colour.green() < 60 && colour.blue() < 60;
}

bool isGreen(QColor colour)
{
    return colour.isValid() && colour.green() > 200 && colour.red() < 60 && colour.blue() < 60;
}

bool isBlue(QColor colour)
{
    return colour.isValid() && colour.blue() > 200 && colour.red() < 60 && colour.green() < 60;
}

std::size_t fieldOffset(ContactField field, int slot)
{
    const ContactArrayLayout layout = contactArrayLayout(field);
    return layout.offset + static_cast<std::size_t>(slot) * (layout.capacity + 1);
}

} // namespace wirtello::test
