#include "company_window.h"
#include "ui_company_window.h"

#include "admin/admin_picture.h"
#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"
#include "platform/platform.h"
#include "platform/window_look.h"
#include "store/company_record.h"
#include "store/io_error.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace wirtello {

Tfirma_f::Tfirma_f(AppData& data, Platform& platform, WidgetBuilding building)
    : data_(data), platform_(platform)
{
    setObjectName(QStringLiteral("Tfirma_f"));
    setWindowTitle(QString());
    setFixedClientSize(597, 217);
    paintBackground(this, Qt::white);
    buildWidgetsIf(building);
}

Tfirma_f::~Tfirma_f() = default;

void Tfirma_f::build()
{
    ui_ = std::make_unique<Ui::Tfirma_f>();
    ui_->setupUi(this);

    // What the Designer file cannot say: pixel fonts, colours, pictures and glyphs.
    paintBackground(ui_->Panel1, Qt::white);
    QFont captionFont = pixelFont(QStringLiteral("Arial"), 12);
    captionFont.setBold(true);
    for (QLabel* caption : {ui_->Label1, ui_->Label2, ui_->Label3})
        styleLabel(caption, captionFont, kSilver);
    for (int line = 1; line <= CompanyRecord::kLineCount; ++line) {
        edit(line)->setFont(pixelFont(QStringLiteral("Arial"), 12));
        setColour(edit(line), QPalette::Text, kNavy);
    }
    // The program's mark, as on the about window.
    ui_->Image1->setPixmap(QPixmap::fromImage(adminPicture(QStringLiteral(":/admin/wizyt.jpg"))));
    const struct {
        QToolButton* button;
        QStyle::StandardPixmap glyph;
    } buttons[] = {
        {ui_->SpeedButton1, QStyle::SP_DialogApplyButton},
        {ui_->SpeedButton2, QStyle::SP_DialogCancelButton},
    };
    for (const auto& look : buttons)
        styleFlatButton(look.button, pixelFont(QStringLiteral("Arial"), 12), kMaroon, standardGlyph(look.glyph),
                        GlyphSide::Right);

    onClick(ui_->SpeedButton1, platform_, [this] { acceptData(); });
    onClick(ui_->SpeedButton2, platform_, [this] { cancelEdit(); });
    makeKeyboardButton(ui_->SpeedButton1);
    makeKeyboardButton(ui_->SpeedButton2, QKeySequence(Qt::Key_Escape));
}

QLineEdit* Tfirma_f::edit(int line) const
{
    QLineEdit* const edits[CompanyRecord::kLineCount] = {ui_->firma1, ui_->firma2, ui_->firma3,
                                                         ui_->firma4, ui_->firma5, ui_->firma6};
    return edits[line - 1];
}

void Tfirma_f::initialise()
{
    if (widgetsBuilt()) {
        for (int line = 1; line <= CompanyRecord::kLineCount; ++line)
            edit(line)->clear();
    }
    try {
        const std::filesystem::path path = companyDataPath(data_.programFolder);
        data_.companyPath = path;
        // The shared record changes only once the whole record was read.
        CompanyRecord record;
        loadCompanyRecord(path, record);
        data_.company = record;
    } catch (const IoError& error) {
        platform_.showError(error);
        initialiseFailed();
        return;
    }
    if (!widgetsBuilt())
        return;
    for (int line = 1; line <= CompanyRecord::kLineCount; ++line)
        edit(line)->setText(QString::fromStdString(data_.company.line(line)));
}

void Tfirma_f::acceptData()
{
    // Built from nothing, so every byte after a line's text is zero.
    CompanyRecord record;
    for (int line = 1; line <= CompanyRecord::kLineCount; ++line)
        record.setLine(line, edit(line)->text().toStdString());
    // A failed store raises: the window stays open, the shared record as it was.
    const std::filesystem::path path =
        data_.companyPath.empty() ? companyDataPath(data_.programFolder) : data_.companyPath;
    storeCompanyRecord(path, record);
    data_.company = record;
    dismiss();
}

void Tfirma_f::cancelEdit()
{
    dismiss();
}

} // namespace wirtello
