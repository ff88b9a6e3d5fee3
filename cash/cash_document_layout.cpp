// The cash document window's controls at their pixel positions in the client area.
#include "cash_document_window.h"

#include "cash/cash_amount.h"
#include "cash/numbering_file.h"
#include "platform/window_look.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QValidator>

#include <functional>

namespace wirtello {
namespace {

const QColor kWindowColour(0xF0, 0xF0, 0xF0);
const QColor kPanelColour(0xF8, 0xF8, 0xF8);
constexpr int kGridRows = static_cast<int>(kDocumentRows);

QFont arial(int pixels)
{
    return pixelFont(QStringList{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, pixels);
}

QFont courier(int pixels)
{
    return pixelFont(QStringList{QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")}, pixels);
}

QFrame* makeFrame(QWidget* parent, const QRect& geometry)
{
    auto* frame = new QFrame(parent);
    frame->setGeometry(geometry);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    return frame;
}

QToolButton* makeButton(QWidget* parent, const QString& caption, const QRect& geometry, QStyle::StandardPixmap glyph,
                        GlyphSide side = GlyphSide::Left)
{
    QToolButton* button = addFlatButton(parent, caption, geometry, arial(12), kMaroon, standardGlyph(glyph), side);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return button;
}

QLineEdit* makeEdit(QWidget* parent, const QRect& geometry)
{
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(geometry);
    edit->setFont(arial(12));
    setColour(edit, QPalette::Text, kNavy);
    return edit;
}

// Typed and pasted text alike go through the amount filter: a comma becomes a
// point and everything but digits and points is dropped.
class AmountValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override
    {
        const std::string before = input.left(position).toStdString();
        input = QString::fromStdString(filterAmountInput(input.toStdString()));
        position = static_cast<int>(QString::fromStdString(filterAmountInput(before)).size());
        return Acceptable;
    }
};

// The grid's editors: the amount column gets the amount filter, Enter
// reaches the window once the cell has taken the edited text, and a Tab that
// leaves the grid closes the editor with its text kept before the focus moves on.
class GridDelegate : public QStyledItemDelegate {
public:
    GridDelegate(QObject* parent, std::function<void()> enterPressed,
                 std::function<bool(const QKeyEvent&)> tabLeaves, std::function<void(const QKeyEvent&)> leave)
        : QStyledItemDelegate(parent), enterPressed_(std::move(enterPressed)), tabLeaves_(std::move(tabLeaves)),
          leave_(std::move(leave))
    {
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            line->setFrame(false);
            if (index.column() == 1)
                line->setValidator(new AmountValidator(line));
        }
        return editor;
    }

protected:
    bool eventFilter(QObject* editor, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && tabLeaves_(*static_cast<QKeyEvent*>(event))) {
            auto* widget = static_cast<QWidget*>(editor);
            emit commitData(widget);
            emit closeEditor(widget, QAbstractItemDelegate::NoHint);
            leave_(*static_cast<QKeyEvent*>(event));
            return true;
        }
        const bool handled = QStyledItemDelegate::eventFilter(editor, event);
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                // The delegate commits the cell through a queued call; come after it.
                QMetaObject::invokeMethod(this, [this] { enterPressed_(); }, Qt::QueuedConnection);
            }
        }
        return handled;
    }

private:
    std::function<void()> enterPressed_;
    std::function<bool(const QKeyEvent&)> tabLeaves_;
    std::function<void(const QKeyEvent&)> leave_;
};

} // namespace

void Tkp_f::buildLayout()
{
    paintBackground(this, kWindowColour);
    setFont(pixelFont(QStringList{QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")}, 11));
    const QFont labelFont = arial(12);
    QFont boldFont = arial(12);
    boldFont.setBold(true);

    // Issuer.
    Bevel1 = makeFrame(this, QRect(8, 8, 329, 73));
    QLabel** issuer[] = {&Label3, &Label4, &Label5, &Label6};
    for (int i = 0; i < 4; ++i) {
        *issuer[i] = addLabel(this, QString(), 16, 16 + 16 * i, labelFont, kNavy);
        (*issuer[i])->setFixedWidth(313);
    }
    SpeedButton7 = makeButton(this, QStringLiteral("Edytuj"), QRect(265, 83, 72, 18), QStyle::SP_FileDialogContentsView);

    // Counterparty.
    Label8 = addLabel(this, QStringLiteral("Od kogo"), 8, 88, boldFont, Qt::black);
    Bevel2 = makeFrame(this, QRect(8, 104, 329, 73));
    QLabel** counterparty[] = {&Label9, &Label10, &Label11, &Label12};
    for (int i = 0; i < 4; ++i) {
        *counterparty[i] = addLabel(this, QString(), 16, 112 + 16 * i, labelFont, kNavy);
        (*counterparty[i])->setFixedWidth(313);
    }
    SpeedButton8 =
        makeButton(this, QStringLiteral("Edytuj"), QRect(265, 179, 72, 18), QStyle::SP_FileDialogContentsView);

    // Number, extension, date.
    Label1 = addLabel(this, QStringLiteral("Numer"), 360, 11, labelFont, Qt::black);
    numerkp = makeEdit(this, QRect(400, 8, 41, 21));
    numerkp->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), numerkp));
    Label2 = addLabel(this, QStringLiteral("/"), 452, 11, labelFont, Qt::black);
    rozszerzeniekp = makeEdit(this, QRect(464, 8, 145, 21));
    rozszerzeniekp->setMaxLength(static_cast<int>(kExtensionField.capacity));
    Label7 = addLabel(this, QStringLiteral("Data"), 360, 34, labelFont, Qt::black);
    data = makeEdit(this, QRect(396, 31, 213, 21));
    SpeedButton15 = makeButton(this, QStringLiteral("Zapisz parametry"), QRect(456, 64, 153, 22),
                               QStyle::SP_DialogSaveButton);

    // Printing.
    Bevel3 = makeFrame(this, QRect(360, 104, 249, 73));
    Label18 = addLabel(this, QStringLiteral("Wydruk dokumentu"), 368, 110, boldFont, Qt::black);
    k1 = new QRadioButton(QStringLiteral("Czarny"), this);
    k1->setGeometry(372, 130, 90, 18);
    k1->setFont(labelFont);
    k2 = new QRadioButton(QStringLiteral("Kolor"), this);
    k2->setGeometry(372, 152, 90, 18);
    k2->setFont(labelFont);
    k1->setChecked(true);
    SpeedButton13 = makeButton(this, QStringLiteral("Drukuj dokument"), QRect(466, 132, 137, 36), QStyle::SP_ComputerIcon);
    SpeedButton13->setIconSize(QSize(20, 20));

    // Items.
    Label13 = addLabel(this, QStringLiteral("Tytułem :"), 8, 184, labelFont, Qt::black);
    Label14 = addLabel(this, QStringLiteral("Kwota :"), 544, 184, labelFont, Qt::black);
    tabela = new QTableWidget(kGridRows, 2, this);
    tabela->setObjectName(QStringLiteral("tabela"));
    tabela->setGeometry(8, 199, 601, 97);
    tabela->setFont(courier(12));
    setColour(tabela, QPalette::Text, kNavy);
    tabela->horizontalHeader()->hide();
    tabela->verticalHeader()->hide();
    tabela->verticalHeader()->setMinimumSectionSize(16);
    tabela->verticalHeader()->setDefaultSectionSize(16);
    tabela->setColumnWidth(0, 495);
    tabela->setColumnWidth(1, 71);
    tabela->setTabKeyNavigation(true);
    tabela->setSelectionMode(QAbstractItemView::SingleSelection);
    tabela->setEditTriggers(QAbstractItemView::AllEditTriggers);
    tabela->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    tabela->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < 2; ++column)
            tabela->setItem(row, column, new QTableWidgetItem());
    tabela->setItemDelegate(new GridDelegate(
        tabela, [this] { gridEnterPressed(); }, [this](const QKeyEvent& key) { return tabLeavesGrid(key); },
        [this](const QKeyEvent& key) { leaveGrid(key); }));
    tabela->installEventFilter(this);
    tabela->setCurrentCell(0, 0);

    lista = new QListWidget(this);
    lista->setObjectName(QStringLiteral("lista"));
    lista->setGeometry(8, 199, 601, 97);
    lista->setFont(courier(12));
    setColour(lista, QPalette::Text, kNavy);
    lista->installEventFilter(this);
    lista->hide();

    const std::pair<QToolButton**, std::pair<QString, QStyle::StandardPixmap>> stacked[] = {
        {&SpeedButton6, {QStringLiteral("Wstaw treść"), QStyle::SP_ArrowRight}},
        {&SpeedButton5, {QStringLiteral("Edytor treści"), QStyle::SP_FileDialogDetailedView}},
        {&SpeedButton4, {QStringLiteral("Czytaj dokument"), QStyle::SP_DialogOpenButton}},
        {&SpeedButton3, {QStringLiteral("Zapisz dokument"), QStyle::SP_DialogSaveButton}},
        {&SpeedButton2, {QStringLiteral("Kalkulator"), QStyle::SP_ComputerIcon}},
        {&SpeedButton14, {QStringLiteral("Wyczyść dokument"), QStyle::SP_DialogResetButton}},
        {&SpeedButton11, {QStringLiteral("Pomoc"), QStyle::SP_DialogHelpButton}},
    };
    int top = 304;
    for (const auto& [button, look] : stacked) {
        *button = makeButton(this, look.first, QRect(8, top, 161, 22), look.second);
        top += 24;
    }
    SpeedButton1 = makeButton(this, QStringLiteral("Powrót"), QRect(8, 484, 161, 22), QStyle::SP_ArrowBack);

    Memo2 = new QTextEdit(this);
    Memo2->setGeometry(184, 312, 250, 84);
    Memo2->setFrameStyle(QFrame::NoFrame);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->setFont(pixelFont(QStringList{QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")}, 11));
    setColour(Memo2, QPalette::Base, kWindowColour);
    {
        const QStringList note = {
            QStringLiteral("Aby dokonać zmiany numeratora lub "), QStringLiteral("rozszerzenia, wpisz nowe wartości a "),
            QStringLiteral("nastepnie uruchom przycisk Zapisz "), QStringLiteral("parametry Nowe wartości będą "),
            QStringLiteral("obowiązywały podczas wydruku.")};
        Memo2->setPlainText(note.join(QLatin1Char('\n')));
        QTextCursor all(Memo2->document());
        all.select(QTextCursor::Document);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        all.mergeBlockFormat(centred);
    }
    Memo2->setEnabled(false);

    // Total, cash, change.
    Label15 = addLabel(this, QString(), 0, 315, labelFont, Qt::black);
    setRightAligned(Label15, QStringLiteral("Razem"), 498);
    razem = makeEdit(this, QRect(504, 312, 105, 21));
    razem->setReadOnly(true);
    razem->setFont(courier(12));
    razem->setAlignment(Qt::AlignRight);
    Label16 = addLabel(this, QString(), 0, 343, labelFont, Qt::black);
    setRightAligned(Label16, QStringLiteral("Gotówka"), 498);
    gotowka = makeEdit(this, QRect(504, 340, 105, 21));
    gotowka->setFont(courier(12));
    gotowka->setAlignment(Qt::AlignRight);
    gotowka->setValidator(new AmountValidator(gotowka));
    Label17 = addLabel(this, QString(), 0, 381, labelFont, Qt::black);
    setRightAligned(Label17, QStringLiteral("Reszta"), 498);
    reszta = makeEdit(this, QRect(504, 378, 105, 21));
    reszta->setReadOnly(true);
    reszta->setFont(courier(12));
    reszta->setAlignment(Qt::AlignRight);
    auto* rule = new QFrame(this);
    rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    rule->setGeometry(450, 368, 159, 2);

    Panel1 = new QLabel(QStringLiteral("Dowód wpłaty"), this);
    Panel1->setGeometry(348, 458, 273, 49);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setAlignment(Qt::AlignCenter);
    QFont kindFont = arial(27);
    kindFont.setItalic(true);
    kindFont.setBold(true);
    Panel1->setFont(kindFont);
    setColour(Panel1, QPalette::WindowText, kGrey);

    // Edit panel, hidden until "Edytuj".
    Panel2 = addPanel(this, QRect(96, 56, 413, 273), kPanelColour, 2);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    QFont titleFont = arial(16);
    titleFont.setBold(true);
    Label19 = addLabel(Panel2, QStringLiteral("Edycja danych"), 16, 12, titleFont, kMaroon);
    Label21 = addLabel(Panel2, QStringLiteral("Kto"), 16, 44, boldFont, Qt::black);
    QLineEdit** fields[] = {&pole1, &pole2, &pole3, &pole4};
    for (int i = 0; i < 4; ++i)
        *fields[i] = makeEdit(Panel2, QRect(16, 64 + 30 * i, 381, 22));
    SpeedButton10 =
        makeButton(Panel2, QStringLiteral("Zaniechaj"), QRect(300, 212, 97, 22), QStyle::SP_DialogCancelButton);
    SpeedButton9 = makeButton(Panel2, QStringLiteral("Wstaw"), QRect(300, 236, 97, 22), QStyle::SP_DialogApplyButton);
    Panel2->hide();

    // Help panel, hidden until "Pomoc".
    Panel3 = addPanel(this, QRect(8, 8, 613, 293), kPanelColour, 2);
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Memo1 = new QPlainTextEdit(Panel3);
    Memo1->setGeometry(8, 8, 597, 247);
    Memo1->setReadOnly(true);
    Memo1->setFont(pixelFont(QStringList{QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")}, 11));
    setColour(Memo1, QPalette::Text, kNavy);
    // The help is kept as the lines it was written in; a line ending in a blank
    // goes on in the next one, so those are joined and the memo wraps them.
    Memo1->setPlainText(QStringList{
        QStringLiteral("1. Możesz poprawić lub edytować dane wystawcy lub odbiorcy dokumentu. Uruchom przycisk Edycja."),
        QStringLiteral("2. Wypełniając pola Tytułem, możesz informacje do poszczególnych pól wpisywać \"ręcznie\", "
                       "ale możesz też wcześniej "),
        QStringLiteral("przygotować zestaw stałych treści. Uruchom przycisk edytora treści i w powstałym okienku "
                       "wpisz najczęściej występujące "),
        QStringLiteral("treści, pamietając aby każda treść napisana została od nowego wiersza."),
        QStringLiteral("3. Generując nowy dokument, zamiast ręcznego wpisywania treści w polach Tytułem, uruchom "
                       "przycisk wstawiania stałej "),
        QStringLiteral("treści i z powstałej listy wybierz właściwą. Aby zaniechać wstawiania, naciśnij klawisz ESC."),
        QStringLiteral("4. Przygotowany dokument możesz zapisać. W przyszłości będzie można go wczytać bez "
                       "konieczności redagowania go od "),
        QStringLiteral("nowa. Tworzysz w ten sposób bibliotekę gotowych dokumentów."),
        QStringLiteral("5. Przygotowując kolejny, nowy dokument, możesz wczytać zapamiętany wcześniej o ile jego "
                       "treść jest identyczna."),
        QString(),
        QStringLiteral("6. Aby zredagowany dokument wydrukować, należy nacisnąć klawisz druku, pamiętając że druk "
                       "może być kolorowy lub "),
        QStringLiteral("czarno-biały."),
        QStringLiteral("7. Przed wydrukiem nie zapomnij o wpisaniu rozszerzenia numeratora ( np /2006). Raz wpisene "
                       "rozszerzenie będzie "),
        QStringLiteral("pamiętane."),
        QStringLiteral("8. Wpisz numer kolejny dokumentu. Numer ten od tej pory będzie automatycznie zwiększany o "
                       "jeden. Jeżeli dokument Kp "),
        QStringLiteral("lub Kw był tworzony w pewnych sytuacjach poza programem, pamiętaj o wpisaniu poprawnego, "
                       "aktualnego numeru."),
    }.join(QLatin1Char('\n')).replace(QStringLiteral(" \n"), QStringLiteral(" ")));
    SpeedButton12 =
        makeButton(Panel3, QStringLiteral("Koniec pomocy"), QRect(472, 262, 133, 22), QStyle::SP_DialogCloseButton);
    Panel3->hide();

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
}

} // namespace wirtello
