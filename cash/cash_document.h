#pragma once

#include "cash/cash_amount.h"
#include "cash/cash_document_kind.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace wirtello {

inline constexpr std::size_t kDocumentRows = 10;

// The grid's texts (UTF-8): column 0 the descriptions, column 1 the amounts
// exactly as shown.
struct DocumentLines {
    std::array<std::string, kDocumentRows> descriptions;
    std::array<std::string, kDocumentRows> amounts;

    bool operator==(const DocumentLines&) const = default;
};

// The four lines of the issuer's or the counterparty's block.
using DocumentBlock = std::array<std::string, 4>;

// One KP or KW document as it is being made: its kind, the issuer and
// counterparty blocks, the ten lines and the cash handed over, with the total
// and the change that follow from them. The number, the date and the colour
// belong to the printing, not to the document.
class CashDocument {
public:
    DocumentKind kind() const { return kind_; }
    void setKind(DocumentKind kind) { kind_ = kind; }

    const DocumentBlock& issuer() const { return issuer_; }
    void setIssuer(const DocumentBlock& block) { issuer_ = block; }
    const DocumentBlock& counterparty() const { return counterparty_; }
    void setCounterparty(const DocumentBlock& block) { counterparty_ = block; }

    const DocumentLines& lines() const { return lines_; }
    void setLines(const DocumentLines& lines) { lines_ = lines; }
    void setDescription(std::size_t row, std::string text) { lines_.descriptions.at(row) = std::move(text); }
    void setAmount(std::size_t row, std::string text) { lines_.amounts.at(row) = std::move(text); }
    // Every amount other than 0 rewritten in the amount format (alignedAmount).
    void alignAmounts();

    // The cash field's text, as typed.
    const std::string& cash() const { return cash_; }
    void setCash(std::string text) { cash_ = std::move(text); }

    // The sum of the amounts that read as numbers.
    AmountTotal total() const;
    // The change's text: none while no cash is given, empty when the total
    // means nothing, else cash less total in the amount format. Cash that is
    // not a plain number counts as 0, as amounts do.
    std::optional<std::string> changeText() const;

private:
    DocumentKind kind_ = DocumentKind::None;
    DocumentBlock issuer_;
    DocumentBlock counterparty_;
    DocumentLines lines_;
    std::string cash_;
};

} // namespace wirtello
