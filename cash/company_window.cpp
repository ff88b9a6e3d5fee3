#include "company_window.h"

#include "admin/admin_picture.h"
#include "platform/handler_guard.h"
#include "platform/keyboard_access.h"
#include "platform/platform.h"
#include "platform/window_look.h"
#include "store/company_record.h"
#include "store/io_error.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace wirtello {
namespace {

constexpr int kMaxLineLength = 50;

} // namespace

Tfirma_f::Tfirma_f(AppData& data, Platform& platform, WidgetBuilding building)
    : data_(data), platform_(platform)
{
    setObjectName(QStringLiteral("Tfirma_f"));
    setWindowTitle(QString());
    setFixedClientSize(597, 217);
    paintBackground(this, Qt::white);
    buildWidgetsIf(building);
}

void Tfirma_f::build()
{
    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    Panel1->setGeometry(8, 8, 441, 201);
    paintBackground(Panel1, Qt::white);

    QFont captionFont = pixelFont(QStringLiteral("Arial"), 12);
    captionFont.setBold(true);
    Label1 = addLabel(Panel1, QStringLiteral("Moje dane"), 16, 6, captionFont, kSilver);
    Label2 = addLabel(Panel1, QStringLiteral("NIP"), 16, 94, captionFont, kSilver);
    Label3 = addLabel(Panel1, QStringLiteral("Bank i konto"), 16, 138, captionFont, kSilver);

    const QFont editFont = pixelFont(QStringLiteral("Arial"), 12);
    const int tops[CompanyRecord::kLineCount] = {22, 44, 66, 110, 154, 176};
    QLineEdit** edits[CompanyRecord::kLineCount] = {&firma1, &firma2, &firma3, &firma4, &firma5, &firma6};
    for (int i = 0; i < CompanyRecord::kLineCount; ++i) {
        auto* lineEdit = new QLineEdit(Panel1);
        lineEdit->setObjectName(QStringLiteral("firma%1").arg(i + 1));
        lineEdit->setGeometry(16, tops[i], 409, 20);
        lineEdit->setFont(editFont);
        lineEdit->setMaxLength(kMaxLineLength);
        setColour(lineEdit, QPalette::Text, kNavy);
        *edits[i] = lineEdit;
    }
    setTabOrder(firma1, firma2);
    setTabOrder(firma2, firma3);
    setTabOrder(firma3, firma4);
    setTabOrder(firma4, firma5);
    setTabOrder(firma5, firma6);
    // Names a screen reader gives the lines, after the captions above them.
    for (int i = 0; i < CompanyRecord::kLineCount; ++i) {
        const QString caption = i < 3 ? Label1->text() : i == 3 ? Label2->text() : Label3->text();
        (*edits[i])->setAccessibleName(i == 3 ? caption : QStringLiteral("%1 %2").arg(caption).arg(i < 3 ? i + 1 : i - 3));
    }

    // The program's mark, as on the about window.
    Image1 = new QLabel(this);
    Image1->setGeometry(481, 12, 85, 93);
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap::fromImage(adminPicture(QStringLiteral(":/admin/wizyt.jpg"))));

    const QFont buttonFont = pixelFont(QStringLiteral("Arial"), 12);
    SpeedButton1 = addFlatButton(this, QStringLiteral("Akceptuj"), QRect(461, 146, 125, 25), buttonFont, kMaroon,
                                 standardGlyph(QStyle::SP_DialogApplyButton), GlyphSide::Right);
    SpeedButton2 = addFlatButton(this, QStringLiteral("Rezygnuj"), QRect(461, 178, 125, 25), buttonFont, kMaroon,
                                 standardGlyph(QStyle::SP_DialogCancelButton), GlyphSide::Right);
    onClick(SpeedButton1, platform_, [this] { acceptData(); });
    onClick(SpeedButton2, platform_, [this] { cancelEdit(); });
    makeKeyboardButton(SpeedButton1);
    makeKeyboardButton(SpeedButton2, QKeySequence(Qt::Key_Escape));
}

QLineEdit* Tfirma_f::edit(int line) const
{
    QLineEdit* const edits[CompanyRecord::kLineCount] = {firma1, firma2, firma3, firma4, firma5, firma6};
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
    try {
        const std::filesystem::path path =
            data_.companyPath.empty() ? companyDataPath(data_.programFolder) : data_.companyPath;
        storeCompanyRecord(path, record);
    } catch (const IoError& error) {
        platform_.showError(error);
        return;
    }
    data_.company = record;
    dismiss();
}

void Tfirma_f::cancelEdit()
{
    dismiss();
}

} // namespace wirtello
