#include "zadania.h"

#include "startup.h"

#include "platform/platform.h"

namespace wirtello {

Tzadania_f::Tzadania_f(AppData& data, Platform& platform, QWidget* parent)
    : ProgramWindow(parent), data_(data), platform_(platform)
{
    setObjectName(QStringLiteral("Tzadania_f"));
    setWindowTitle(QStringLiteral("Wirtello"));
    setFixedClientSize(1001, 669);

    listazadan = new QListWidget(this);
    listazadan->setGeometry(8, 83, 397, 522);
    listazadan->setSortingEnabled(false);
    const std::array<QLineEdit**, 10> edits = {&imie, &nazwisko, &ulica, &miejscowosc, &telefon,
                                               &fax,  &komorka,  &mail,  &www,         &komunikator};
    int top = 95;
    for (QLineEdit** edit : edits) {
        *edit = new QLineEdit(this);
        (*edit)->setGeometry(496, top, 301, 20);
        top += 30;
        connect(*edit, &QLineEdit::textChanged, this, [this] { changesPending_ = true; });
    }
    coszukac = new QLineEdit(this);
    coszukac->setGeometry(8, 636, 397, 17);
    connect(listazadan, &QListWidget::itemClicked, this, [this] { select(); });
}

std::array<QLineEdit*, 10> Tzadania_f::cardEdits() const
{
    return {imie, nazwisko, ulica, miejscowosc, telefon, fax, komorka, mail, www, komunikator};
}

void Tzadania_f::CzyscPola()
{
    for (QLineEdit* edit : cardEdits())
        edit->clear();
}

void Tzadania_f::FormCreate()
{
    try {
        PobierzDane(data_, platform_);
        CzyscPola();
        coszukac->clear();
        changesPending_ = false;
        photoChosen_ = false;
        listazadan->clear();
        setWindowTitle(QStringLiteral("Wirtello"));
        prepareProgramFolder(data_);
        fillList();
        if (listazadan->count() > 0)
            listazadan->setCurrentRow(0);
        select();
    } catch (const IoError& error) {
        platform_.showError(error);
    }
}

void Tzadania_f::fillList()
{
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (data_.contacts.isUsed(slot))
            listazadan->addItem(QString::fromStdString(data_.contacts.text(ContactField::Display, slot)));
    }
}

void Tzadania_f::select()
{
    const int slot = listazadan->currentRow();
    const auto edits = cardEdits();
    for (std::size_t i = 0; i < edits.size(); ++i)
        edits[i]->setText(slot < 0 ? QString() : QString::fromStdString(data_.contacts.text(kCardFields[i], slot)));
    changesPending_ = false;
}

} // namespace wirtello
