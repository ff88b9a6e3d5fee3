// What the main window's Designer file cannot say: pixel-sized fonts, colours,
// the buttons' glyphs, the list's model and row height, the memos' texts.
#include "main_window.h"

#include "contact_list_model.h"
#include "ui_main_window.h"

#include "admin/maker_info.h"
#include "platform/keyboard_access.h"
#include "platform/window_look.h"

#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <QTimer>

#include <cstdint>
#include <tuple>

// Resources of a static library must be registered by name, outside any namespace.
static void initMainWindowResources()
{
    Q_INIT_RESOURCE(main_window);
}

namespace wirtello {
namespace {

// One of our PNG resources, read by Qt's own PNG reader: told the format, it
// does not load every image plugin to ask whether one reads the file better.
QPixmap pngResource(const QString& name)
{
    QImageReader reader(QStringLiteral(":/main/") + name + QStringLiteral(".png"), "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

// The window's own colours, as the Windows values they were chosen as.
constexpr std::uint32_t kWindowColour = 16053492;
constexpr std::uint32_t kPanelColour = 16119285;
constexpr std::uint32_t kHelpColour = 15790320;
const QColor kRed(0xFF, 0x00, 0x00);

QFont arial(int pixels)
{
    return pixelFont(QStringList{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, pixels);
}

QFont sansSerif(int pixels)
{
    return pixelFont(QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")}, pixels);
}

// The flat buttons' glyphs, sides and caption sizes, by component name.
struct FlatButtonLook {
    QToolButton* Ui::Tzadania_f::*button;
    const char* glyph;
    GlyphSide side;
    int fontPixels;
};

constexpr FlatButtonLook kFlatButtons[] = {
    // Top bar: glyph above a small caption.
    {&Ui::Tzadania_f::SpeedButton14, "o_mnie", GlyphSide::Above, 11},
    {&Ui::Tzadania_f::SpeedButton2, "dodaj", GlyphSide::Above, 11},
    {&Ui::Tzadania_f::SpeedButton3, "usun", GlyphSide::Above, 11},
    {&Ui::Tzadania_f::SpeedButton13, "zmien", GlyphSide::Above, 11},
    {&Ui::Tzadania_f::SpeedButton4, "notatki", GlyphSide::Above, 11},
    {&Ui::Tzadania_f::SpeedButton5, "terminarz", GlyphSide::Above, 11},
    {&Ui::Tzadania_f::SpeedButton8, "drukuj", GlyphSide::Above, 11},
    {&Ui::Tzadania_f::SpeedButton6, "info", GlyphSide::Above, 11},
    {&Ui::Tzadania_f::SpeedButton16, "archiwa", GlyphSide::Above, 11},
    {&Ui::Tzadania_f::SpeedButton22, "czcionka", GlyphSide::Above, 11},
    // Right bar: glyph after the caption.
    {&Ui::Tzadania_f::SpeedButton12, "zdjecie", GlyphSide::Right, 12},
    {&Ui::Tzadania_f::SpeedButton9, "zapisz", GlyphSide::Right, 12},
    {&Ui::Tzadania_f::SpeedButton18, "www", GlyphSide::Right, 12},
    {&Ui::Tzadania_f::SpeedButton11, "poczta", GlyphSide::Right, 12},
    {&Ui::Tzadania_f::SpeedButton10, "koperta", GlyphSide::Right, 12},
    {&Ui::Tzadania_f::SpeedButton21, "eksport", GlyphSide::Right, 12},
    {&Ui::Tzadania_f::SpeedButton24, "dokument_kp", GlyphSide::Right, 12},
    {&Ui::Tzadania_f::SpeedButton25, "dokument_kw", GlyphSide::Right, 12},
    {&Ui::Tzadania_f::SpeedButton32, "narzedzia", GlyphSide::Right, 12},
    {&Ui::Tzadania_f::SpeedButton31, "komentarze", GlyphSide::Right, 12},
    {&Ui::Tzadania_f::SpeedButton29, "kalendarz", GlyphSide::Right, 12},
    {&Ui::Tzadania_f::SpeedButton28, "czytnik", GlyphSide::Right, 12},
    {&Ui::Tzadania_f::SpeedButton26, "rejestr", GlyphSide::Right, 12},
    {&Ui::Tzadania_f::SpeedButton23, "historia", GlyphSide::Right, 12},
    {&Ui::Tzadania_f::SpeedButton27, "koniec", GlyphSide::Right, 12},
    // On the window and the help panel: glyph before the caption.
    {&Ui::Tzadania_f::SpeedButton30, "enter", GlyphSide::Left, 12},
    {&Ui::Tzadania_f::SpeedButton15, "zmiany", GlyphSide::Left, 11},
    {&Ui::Tzadania_f::SpeedButton7, "zamknij", GlyphSide::Left, 12},
};

// List entries 15 pixels high.
class EntryHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(15);
        return size;
    }
};


QStringList instructionLines()
{
    return {
        QStringLiteral("Wpisz swoje dane w opcji \"O mnie\""),
        QStringLiteral("Dodaj do listy kolejny kontakt"),
        QStringLiteral("W poszczególnych polach wpisz odpowiednią informację"),
        QStringLiteral("Zapisz dane przyciskiem \"Zapisz kontakt\""),
        QString(),
        QStringLiteral("Możesz do każdego kontaktu dołączyć zdjęcie, możesz wysłać list "),
        QStringLiteral("elektroniczny lub odwiedzić strone www. Dla każdego kontaktu możesz też "),
        QStringLiteral("prowadzić rejestr dokumentów oraz kalendarz czynności. Dokumenty Kp i "),
        QStringLiteral("Kw umożliwiają Ci prowadzenie prostych rozliczeń."),
    };
}

QStringList helpLines()
{
    return {
        QStringLiteral("Wirtello - pomoc"),
        QString(),
        QStringLiteral("1. Dodaj kontakt."),
        QStringLiteral("Naciśnij przycisk Dodaj i wpisz nazwę kontaktu. Po zatwierdzeniu nazwa pojawi się na liście kontaktów."),
        QStringLiteral("2. Usuwanie kontaktu."),
        QStringLiteral("Wskaż kontakt na liście i uruchom przycisk Usuń."),
        QStringLiteral("3. Notaki."),
        QStringLiteral("Edytor własnych notatek o kontaktach z listy."),
        QStringLiteral("4. Terminarz."),
        QStringLiteral("Pomaga zarządzać własnym czasem."),
        QStringLiteral("5. Drukuj"),
        QStringLiteral("Wydruk listy kontaktów."),
        QStringLiteral("6. Karta kontaktów."),
        QStringLiteral("Zawiera podstawowe dane adresowe kontaktu."),
        QStringLiteral("Po wypełnieniu pól zapisz dane przyciskiem Zapisz kontakt."),
        QStringLiteral("7. Adresowanie kopert"),
        QStringLiteral("Adresuje kopertę na adres widoczny na karcie kontaktu."),
        QStringLiteral("8. Poczta elektroniczna."),
        QStringLiteral("Przygotowuje wiadomość na adres e-mail zapisany na karcie kontaktu."),
        QStringLiteral("9. Do karty kontaktów można dołączyć zdjęcie."),
        QStringLiteral("Zdjęcie w formacie jpg wybierzesz przyciskiem Szukaj zdjęcia."),
        QStringLiteral("Aby wyłączyć zdjęcie, wybierz obraz początkowy z folderu LOGO."),
        QStringLiteral("10 Zmiana kontaktu."),
        QStringLiteral("Przycisk Zmień zmienia nazwę kontaktu widoczną na liście, nie zmieniając jego danych."),
        QStringLiteral("11. Dokumenty Kp i Kw."),
        QStringLiteral("Umożliwiają prowadzenie prostych rozliczeń finansowych."),
        QStringLiteral("12. Rejestr dokumentów."),
        QStringLiteral("Dla każdego kontaktu prowadzi listę dokumentów zapisanych w dowolnym miejscu na dysku."),
        QStringLiteral("Dokumenty z listy można przeglądać, dodawać i usuwać."),
        QStringLiteral("13. Kalendarz czynności."),
        QStringLiteral("Rejestr zadań z terminami wykonania, prowadzony dla każdego kontaktu."),
        QStringLiteral("Czytnik zadań pokazuje zadania na najbliższy tydzień, miesiąc lub dowolny okres."),
    };
}

} // namespace

void Tzadania_f::buildLayout()
{
    initMainWindowResources();
    setFont(sansSerif(11));
    setAutoFillBackground(true);
    setColour(this, QPalette::Window, bgrColour(kWindowColour));
    ui_ = std::make_unique<Ui::Tzadania_f>();
    ui_->setupUi(this);

    // What the Designer file cannot say: pixel fonts, Windows colours, glyphs.
    paintBackground(ui_->Panel3, bgrColour(kPanelColour));
    paintBackground(ui_->Panel4, bgrColour(kPanelColour));
    paintBackground(ui_->Panel1, bgrColour(kHelpColour));
    for (const FlatButtonLook& look : kFlatButtons) {
        QToolButton* button = (*ui_).*look.button;
        const bool above = look.side == GlyphSide::Above;
        styleFlatButton(button, arial(look.fontPixels), kMaroon,
                        QIcon(pngResource(QString::fromLatin1(look.glyph))), look.side,
                        above ? QSize(20, 20) : QSize(16, 16));
    }
    ui_->SpeedButton15->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ui_->SpeedButton15->hide();
    ui_->Image5->setPixmap(pngResource(QStringLiteral("logo")));

    for (QLineEdit* edit : cardEdits()) {
        setColour(edit, QPalette::Text, kNavy);
        if (edit->height() > 20)
            edit->setFont(sansSerif(16));
    }
    for (QLabel* caption : {ui_->imieLabel, ui_->nazwiskoLabel, ui_->ulicaLabel, ui_->miejscowoscLabel,
                            ui_->telefonLabel, ui_->faxLabel, ui_->komorkaLabel, ui_->mailLabel, ui_->wwwLabel,
                            ui_->komunikatorLabel})
        setColour(caption, QPalette::WindowText, kGrey);

    contactList_ = new ContactListModel(data_.contacts, ui_->listazadan);
    ui_->listazadan->setModel(contactList_);
    ui_->listazadan->setFont(arial(12));
    ui_->listazadan->setItemDelegate(new EntryHeightDelegate(ui_->listazadan));
    setColour(ui_->listazadan, QPalette::Text, kNavy);
    ui_->coszukac->setFont(arial(12));
    setColour(ui_->coszukac, QPalette::Text, kRed);

    setFixedLines(ui_->Memo3, instructionLines(), Qt::AlignHCenter, 2);
    ui_->Memo3->setFont(sansSerif(10)); // the stand-in face runs wider; keep the given lines unbroken
    setFixedLines(ui_->Memo1, helpLines(), Qt::AlignLeft, 2);
    makeReadableByKeyboard(ui_->Memo1, QStringLiteral("Pomoc"));
    ui_->Memo1->setFont(arial(12));

    ui_->Label13->setText(QStringLiteral("v ") + QString::fromUtf8(maker::kInstalledVersion));
    // The labels that size themselves to their text.
    const std::tuple<QLabel*, QFont, QColor> labels[] = {
        {ui_->Label18, arial(12), kNavy},
        {ui_->Label1, sansSerif(11), kGrey},
        {ui_->Label13, sansSerif(11), kGrey},
        {ui_->Label2, sansSerif(11), kGrey},
    };
    for (const auto& [label, font, colour] : labels)
        styleLabel(label, font, colour);
    ui_->Panel1->hide();

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
}

} // namespace wirtello
