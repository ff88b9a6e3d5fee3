// The main window's controls at their pixel positions in the client area.
#include "main_window.h"

#include "contact_list_model.h"

#include "admin/maker_info.h"
#include "platform/keyboard_access.h"
#include "platform/window_look.h"

#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <QTextBlockFormat>
#include <QTextCursor>

#include <cstdint>

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

QFrame* makeBevel(QWidget* parent, QRect geometry, QFrame::Shadow shadow)
{
    auto* bevel = new QFrame(parent);
    bevel->setGeometry(geometry);
    bevel->setFrameStyle(QFrame::Panel | shadow);
    return bevel;
}

// A flat button with a maroon Arial caption and one of our glyphs.
QToolButton* makeButton(QWidget* parent, QRect geometry, const QString& caption, const QString& hint,
                        const QString& glyph, GlyphSide side, int fontPixels)
{
    QToolButton* button =
        addFlatButton(parent, caption, geometry, arial(fontPixels), kMaroon,
                      QIcon(pngResource(glyph)), side,
                      side == GlyphSide::Above ? QSize(20, 20) : QSize(16, 16));
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QToolButton* topButton(QWidget* panel, int left, int width, const QString& caption, const QString& hint,
                       const QString& glyph)
{
    return makeButton(panel, QRect(left, 16, width, 45), caption, hint, glyph, GlyphSide::Above, 11);
}

QToolButton* rightButton(QWidget* panel, int top, const QString& caption, const QString& glyph)
{
    return makeButton(panel, QRect(10, top, 140, 22), caption, QString(), glyph, GlyphSide::Right, 12);
}

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

    // Top bar.
    Panel3 = addPanel(this, QRect(8, 8, 812, 69), bgrColour(kPanelColour));
    SpeedButton14 = topButton(Panel3, 8, 49, QStringLiteral("O mnie"), QStringLiteral("Dane użytkownika"), QStringLiteral("o_mnie"));
    SpeedButton2 = topButton(Panel3, 60, 53, QStringLiteral("Dodaj"), QStringLiteral("Dodawanie nowego tematu"), QStringLiteral("dodaj"));
    SpeedButton3 = topButton(Panel3, 116, 53, QStringLiteral("Usuń"), QStringLiteral("Kasowanie tematu z listy"), QStringLiteral("usun"));
    SpeedButton13 = topButton(Panel3, 172, 57, QStringLiteral("Zmień"), QStringLiteral("Zmiana nazwy kontaktu na liście"), QStringLiteral("zmien"));
    SpeedButton4 = topButton(Panel3, 232, 57, QStringLiteral("Notatki"), QStringLiteral("Edytor własnych notatek"), QStringLiteral("notatki"));
    SpeedButton5 = topButton(Panel3, 292, 54, QStringLiteral("Terminarz"), QStringLiteral("Terminarz zajęć"), QStringLiteral("terminarz"));
    SpeedButton8 = topButton(Panel3, 348, 57, QStringLiteral("Drukuj"), QStringLiteral("Wydruk listy tematów"), QStringLiteral("drukuj"));
    SpeedButton6 = topButton(Panel3, 408, 57, QStringLiteral("Info"), QString(), QStringLiteral("info"));
    SpeedButton16 = topButton(Panel3, 468, 57, QStringLiteral("Archiwa"), QStringLiteral("Archiwizacja danych"), QStringLiteral("archiwa"));
    SpeedButton22 = topButton(Panel3, 584, 57, QStringLiteral("Czcionka"), QString(), QStringLiteral("czcionka"));

    Image5 = new QLabel(this);
    Image5->setGeometry(826, 8, 161, 69);
    Image5->setScaledContents(true);
    Image5->setPixmap(pngResource(QStringLiteral("logo")));

    // Card.
    Bevel1 = makeBevel(this, QRect(415, 83, 405, 578), QFrame::Raised);
    struct CardEdit {
        QLineEdit** edit;
        QRect geometry;
        const char* caption;
    };
    const std::array<CardEdit, 10> card = {{
        {&imie, {496, 95, 301, 28}, "imię i nazwisko"},
        {&nazwisko, {496, 132, 301, 28}, "instytucja"},
        {&ulica, {500, 223, 173, 17}, "ulica"},
        {&miejscowosc, {500, 247, 173, 17}, "miejscowość"},
        {&telefon, {500, 272, 173, 17}, "telefon"},
        {&fax, {500, 295, 173, 17}, "fax"},
        {&komorka, {500, 319, 137, 17}, "telefon kom"},
        {&mail, {500, 377, 297, 17}, "E-mail"},
        {&www, {500, 401, 297, 17}, "www"},
        {&komunikator, {500, 425, 297, 17}, "komunikator"},
    }};
    for (std::size_t i = 0; i < card.size(); ++i) {
        const CardEdit& entry = card[i];
        auto* edit = new QLineEdit(this);
        edit->setGeometry(entry.geometry);
        setColour(edit, QPalette::Text, kNavy);
        if (entry.geometry.height() > 20)
            edit->setFont(sansSerif(16));
        *entry.edit = edit;

        auto* caption = new QLabel(QString::fromUtf8(entry.caption), this);
        caption->setGeometry(424, entry.geometry.top(), entry.geometry.left() - 428, entry.geometry.height());
        caption->setWordWrap(true);
        caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setColour(caption, QPalette::WindowText, kGrey);
        caption->setBuddy(edit); // a screen reader names the edit after it
        captions[i] = caption;
    }

    // Left: list and search, after the card so Tab leaves the card for the list.
    listazadan = new QListView(this);
    listazadan->setObjectName(QStringLiteral("listazadan"));
    contactList_ = new ContactListModel(data_.contacts, listazadan);
    listazadan->setModel(contactList_);
    listazadan->setGeometry(8, 83, 397, 522);
    listazadan->setFont(arial(12));
    listazadan->setUniformItemSizes(true);
    listazadan->setItemDelegate(new EntryHeightDelegate(listazadan));
    setColour(listazadan, QPalette::Text, kNavy);
    Label18 = addLabel(this, QStringLiteral("Wpisz szukane słowo i naciśnij Enter"), 8, 620, arial(12), kNavy);
    coszukac = new QLineEdit(this);
    coszukac->setGeometry(8, 636, 397, 17);
    coszukac->setFont(arial(12));
    setColour(coszukac, QPalette::Text, kRed);
    Label18->setBuddy(coszukac);
    listazadan->setAccessibleName(QStringLiteral("Lista kontaktów"));
    SpeedButton30 = makeButton(this, QRect(344, 611, 65, 22), QStringLiteral("Enter"), QString(), QStringLiteral("enter"),
                               GlyphSide::Left, 12);

    for (std::size_t i = 0; i + 1 < card.size(); ++i)
        setTabOrder(*card[i].edit, *card[i + 1].edit);
    setTabOrder(komunikator, listazadan);

    SpeedButton15 = makeButton(this, QRect(766, 179, 23, 22), QString(), QStringLiteral("Nastąpiły zmiany danych"),
                               QStringLiteral("zmiany"), GlyphSide::Left, 11);
    SpeedButton15->setToolButtonStyle(Qt::ToolButtonIconOnly);
    SpeedButton15->setAccessibleName(QStringLiteral("Niezapisane zmiany"));
    SpeedButton15->hide();

    Bevel2 = makeBevel(this, QRect(682, 223, 115, 142), QFrame::Sunken);
    Image1 = new QLabel(this);
    Image1->setGeometry(692, 231, 97, 125);
    Image1->setScaledContents(true);

    Memo3 = addFixedMemo(this, QRect(436, 476, 361, 129), instructionLines(), Qt::AlignHCenter, 2);
    Memo3->setFont(sansSerif(10)); // the stand-in face runs wider; keep the given lines unbroken
    Label1 = addLabel(this, QStringLiteral("00:00:00"), 441, 620, sansSerif(11), kGrey);
    Label13 = addLabel(this, QStringLiteral("v ") + QString::fromUtf8(maker::kInstalledVersion), 447, 639, sansSerif(11),
                       kGrey);
    Label2 = new ButtonLabel(QStringLiteral("© Wirtello"), this);
    Label2->setFont(sansSerif(11));
    setColour(Label2, QPalette::WindowText, kGrey);
    Label2->move(737, 639);
    Label2->adjustSize();
    Label2->setCursor(Qt::PointingHandCursor);

    // Right bar.
    Panel4 = addPanel(this, QRect(826, 83, 161, 578), bgrColour(kPanelColour));
    SpeedButton12 = rightButton(Panel4, 12, QStringLiteral("Szukaj zdjęcia"), QStringLiteral("zdjecie"));
    SpeedButton9 = rightButton(Panel4, 40, QStringLiteral("Zapisz kontakt"), QStringLiteral("zapisz"));
    SpeedButton18 = rightButton(Panel4, 140, QStringLiteral("Strona www"), QStringLiteral("www"));
    SpeedButton11 = rightButton(Panel4, 164, QStringLiteral("Wyślij pocztę"), QStringLiteral("poczta"));
    SpeedButton10 = rightButton(Panel4, 184, QStringLiteral("Adresuj kopertę"), QStringLiteral("koperta"));
    SpeedButton21 = rightButton(Panel4, 212, QStringLiteral("Eksport adresów"), QStringLiteral("eksport"));
    SpeedButton24 = rightButton(Panel4, 240, QStringLiteral("Dokument Kp"), QStringLiteral("dokument_kp"));
    SpeedButton25 = rightButton(Panel4, 268, QStringLiteral("Dokument Kw"), QStringLiteral("dokument_kw"));
    SpeedButton32 = rightButton(Panel4, 348, QStringLiteral("Narzędzia"), QStringLiteral("narzedzia"));
    SpeedButton31 = rightButton(Panel4, 420, QStringLiteral("Komentarze"), QStringLiteral("komentarze"));
    SpeedButton29 = rightButton(Panel4, 444, QStringLiteral("Kalendarz zadań"), QStringLiteral("kalendarz"));
    SpeedButton28 = rightButton(Panel4, 468, QStringLiteral("Czytnik zadań"), QStringLiteral("czytnik"));
    SpeedButton26 = rightButton(Panel4, 492, QStringLiteral("Rejestr dokumentów"), QStringLiteral("rejestr"));
    SpeedButton23 = rightButton(Panel4, 520, QStringLiteral("Historia"), QStringLiteral("historia"));
    SpeedButton27 = rightButton(Panel4, 548, QStringLiteral("Koniec"), QStringLiteral("koniec"));

    // Help panel over the list and the card; created last so it lies on top.
    Panel1 = addPanel(this, QRect(8, 83, 812, 578), bgrColour(kHelpColour), 2);
    Memo1 = addFixedMemo(Panel1, QRect(12, 12, 781, 501), helpLines(), Qt::AlignLeft, 2);
    Memo1->setFont(arial(12));
    SpeedButton7 = makeButton(Panel1, QRect(696, 536, 93, 22), QStringLiteral("Zamknij"), QString(),
                              QStringLiteral("zamknij"), GlyphSide::Left, 12);
    Panel1->hide();

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
}

} // namespace wirtello
