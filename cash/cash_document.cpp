#include "cash_document.h"

namespace wirtello {

void CashDocument::alignAmounts()
{
    for (std::string& amount : lines_.amounts)
        amount = alignedAmount(amount);
}

AmountTotal CashDocument::total() const
{
    return totalOf(lines_.amounts);
}

std::optional<std::string> CashDocument::changeText() const
{
    if (cash_.empty())
        return std::nullopt;
    const AmountTotal sum = total();
    if (sum.tooLarge)
        return std::string();
    const AmountReading cash = readAmount(cash_);
    return formatAmount((cash.isNumber() ? cash.grosze : 0) - sum.grosze);
}

} // namespace wirtello
