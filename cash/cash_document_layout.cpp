// What the cash document window's Designer file cannot say: pixel-sized
// fonts, colours, the flat buttons' glyphs, the grid's rows and editors.
#include "cash_document_window.h"

#include "ui_cash_document_window.h"

#include "cash/cash_amount.h"
#include "cash/numbering_file.h"
#include "platform/window_look.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTimer>
#include <QValidator>

#include <functional>

namespace wirtello {
namespace {

const QColor kWindowColour(0xF0, 0xF0, 0xF0);
const QColor kPanelColour(0xF8, 0xF8, 0xF8);
constexpr int kGridRows = static_cast<int>(kDocumentRows);

enum class Face { Text, Bold, Title, Figures, Note, Kind };

QFont faceFont(Face face)
{
    const QStringList arial{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
    const QStringList courier{QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")};
    QFont font;
    switch (face) {
    case Face::Text: return pixelFont(arial, 12);
    case Face::Bold: font = pixelFont(arial, 12); break;
    case Face::Title: font = pixelFont(arial, 16); break;
    case Face::Figures: return pixelFont(courier, 12);
    case Face::Note: return pixelFont(QStringList{QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")}, 11);
    case Face::Kind:
        font = pixelFont(arial, 27);
        font.setItalic(true);
        break;
    }
    font.setBold(true);
    return font;
}

// How a label takes the size of its text: from its left edge, keeping its
// right edge, or not at all.
enum class Fit { Left, Right, None };

struct LabelLook {
    QLabel* Ui::Tkp_f::*label;
    Face face;
    QColor colour;
    Fit fit;
};

const LabelLook kLabels[] = {
    {&Ui::Tkp_f::Label3, Face::Text, kNavy, Fit::Left},   {&Ui::Tkp_f::Label4, Face::Text, kNavy, Fit::Left},
    {&Ui::Tkp_f::Label5, Face::Text, kNavy, Fit::Left},   {&Ui::Tkp_f::Label6, Face::Text, kNavy, Fit::Left},
    {&Ui::Tkp_f::Label8, Face::Bold, Qt::black, Fit::Left},
    {&Ui::Tkp_f::Label9, Face::Text, kNavy, Fit::Left},   {&Ui::Tkp_f::Label10, Face::Text, kNavy, Fit::Left},
    {&Ui::Tkp_f::Label11, Face::Text, kNavy, Fit::Left},  {&Ui::Tkp_f::Label12, Face::Text, kNavy, Fit::Left},
    {&Ui::Tkp_f::Label1, Face::Text, Qt::black, Fit::Left}, {&Ui::Tkp_f::Label2, Face::Text, Qt::black, Fit::Left},
    {&Ui::Tkp_f::Label7, Face::Text, Qt::black, Fit::Left}, {&Ui::Tkp_f::Label18, Face::Bold, Qt::black, Fit::Left},
    {&Ui::Tkp_f::Label13, Face::Text, Qt::black, Fit::Left}, {&Ui::Tkp_f::Label14, Face::Text, Qt::black, Fit::Left},
    {&Ui::Tkp_f::Label15, Face::Text, Qt::black, Fit::Right}, {&Ui::Tkp_f::Label16, Face::Text, Qt::black, Fit::Right},
    {&Ui::Tkp_f::Label17, Face::Text, Qt::black, Fit::Right}, {&Ui::Tkp_f::Panel1, Face::Kind, kGrey, Fit::None},
    {&Ui::Tkp_f::Label19, Face::Title, kMaroon, Fit::Left}, {&Ui::Tkp_f::Label21, Face::Bold, Qt::black, Fit::Left},
};

// Edits show navy text.
struct EditLook {
    QLineEdit* Ui::Tkp_f::*edit;
    Face face;
};

const EditLook kEdits[] = {
    {&Ui::Tkp_f::numerkp, Face::Text}, {&Ui::Tkp_f::rozszerzeniekp, Face::Text}, {&Ui::Tkp_f::data, Face::Text},
    {&Ui::Tkp_f::razem, Face::Figures}, {&Ui::Tkp_f::gotowka, Face::Figures}, {&Ui::Tkp_f::reszta, Face::Figures},
    {&Ui::Tkp_f::pole1, Face::Text},   {&Ui::Tkp_f::pole2, Face::Text},          {&Ui::Tkp_f::pole3, Face::Text},
    {&Ui::Tkp_f::pole4, Face::Text},
};

// Flat maroon buttons with their glyph before the caption.
struct ButtonLook {
    QToolButton* Ui::Tkp_f::*button;
    QStyle::StandardPixmap glyph;
};

const ButtonLook kButtons[] = {
    {&Ui::Tkp_f::SpeedButton7, QStyle::SP_FileDialogContentsView},
    {&Ui::Tkp_f::SpeedButton8, QStyle::SP_FileDialogContentsView},
    {&Ui::Tkp_f::SpeedButton15, QStyle::SP_DialogSaveButton},
    {&Ui::Tkp_f::SpeedButton13, QStyle::SP_ComputerIcon},
    {&Ui::Tkp_f::SpeedButton6, QStyle::SP_ArrowRight},
    {&Ui::Tkp_f::SpeedButton5, QStyle::SP_FileDialogDetailedView},
    {&Ui::Tkp_f::SpeedButton4, QStyle::SP_DialogOpenButton},
    {&Ui::Tkp_f::SpeedButton3, QStyle::SP_DialogSaveButton},
    {&Ui::Tkp_f::SpeedButton2, QStyle::SP_ComputerIcon},
    {&Ui::Tkp_f::SpeedButton14, QStyle::SP_DialogResetButton},
    {&Ui::Tkp_f::SpeedButton11, QStyle::SP_DialogHelpButton},
    {&Ui::Tkp_f::SpeedButton1, QStyle::SP_ArrowBack},
    {&Ui::Tkp_f::SpeedButton10, QStyle::SP_DialogCancelButton},
    {&Ui::Tkp_f::SpeedButton9, QStyle::SP_DialogApplyButton},
    {&Ui::Tkp_f::SpeedButton12, QStyle::SP_DialogCloseButton},
};

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
    setFont(faceFont(Face::Note));
    ui_ = std::make_unique<Ui::Tkp_f>();
    ui_->setupUi(this);

    for (const LabelLook& look : kLabels) {
        QLabel* label = ui_.get()->*look.label;
        label->setFont(faceFont(look.face));
        setColour(label, QPalette::WindowText, look.colour);
        if (look.fit == Fit::Right)
            setRightAligned(label, label->text(), label->x() + label->width());
        else if (look.fit == Fit::Left)
            label->adjustSize();
    }
    for (const EditLook& look : kEdits) {
        QLineEdit* edit = ui_.get()->*look.edit;
        edit->setFont(faceFont(look.face));
        setColour(edit, QPalette::Text, kNavy);
    }
    for (const ButtonLook& look : kButtons)
        styleFlatButton(ui_.get()->*look.button, faceFont(Face::Text), kMaroon, standardGlyph(look.glyph),
                        GlyphSide::Left);
    ui_->SpeedButton13->setIconSize(QSize(20, 20));
    ui_->k1->setFont(faceFont(Face::Text));
    ui_->k2->setFont(faceFont(Face::Text));

    ui_->numerkp->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), ui_->numerkp));
    ui_->rozszerzeniekp->setMaxLength(static_cast<int>(kExtensionField.capacity));
    ui_->gotowka->setValidator(new AmountValidator(ui_->gotowka));

    QTableWidget* grid = ui_->tabela;
    grid->setFont(faceFont(Face::Figures));
    setColour(grid, QPalette::Text, kNavy);
    grid->setRowCount(kGridRows);
    grid->setColumnCount(2);
    grid->setColumnWidth(0, 495);
    grid->setColumnWidth(1, 71);
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < 2; ++column)
            grid->setItem(row, column, new QTableWidgetItem());
    grid->setItemDelegate(new GridDelegate(
        grid, [this] { gridEnterPressed(); }, [this](const QKeyEvent& key) { return tabLeavesGrid(key); },
        [this](const QKeyEvent& key) { leaveGrid(key); }));
    grid->installEventFilter(this);
    grid->setCurrentCell(0, 0);

    ui_->lista->setFont(faceFont(Face::Figures));
    setColour(ui_->lista, QPalette::Text, kNavy);
    ui_->lista->installEventFilter(this);
    ui_->lista->hide();

    ui_->Memo2->setFont(faceFont(Face::Note));
    setColour(ui_->Memo2, QPalette::Base, kWindowColour);
    QTextCursor all(ui_->Memo2->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);

    ui_->Memo1->setFont(faceFont(Face::Note));
    setColour(ui_->Memo1, QPalette::Text, kNavy);

    // The panels stay hidden until "Edytuj" and "Pomoc".
    for (QFrame* panel : {ui_->Panel2, ui_->Panel3}) {
        paintBackground(panel, kPanelColour);
        panel->hide();
    }

    timer_ = new QTimer(this);
    timer_->setInterval(100);
}

} // namespace wirtello
