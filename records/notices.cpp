#include "records/notices.h"

namespace records {

Notices& Notices::instance()
{
    // Made on first use and never destroyed, as the windows that answer.
    static Notices* n = new Notices;
    return *n;
}

std::optional<MainList> mainListOf(DeleteKind kind)
{
    using L = MainList;
    switch (kind) {
    case DeleteKind::Event: return L::Events;
    case DeleteKind::Guests:
    case DeleteKind::SubguestFromMain: return L::People;
    case DeleteKind::Vendor: return L::Vendors;
    case DeleteKind::Gift: return L::Gifts;
    case DeleteKind::Task: return L::Tasks;
    case DeleteKind::Quote: return L::Quotes;
    case DeleteKind::Expense: return L::Expenses;
    case DeleteKind::Budget: return L::Budget;
    case DeleteKind::Registry: return L::Registry;
    case DeleteKind::FemaleMeasurement:
    case DeleteKind::MaleMeasurement: return L::Measurements;
    case DeleteKind::Attire: return L::Attire;
    case DeleteKind::SubguestFromDetail:
    case DeleteKind::Table:
    case DeleteKind::None: break;
    }
    return std::nullopt;
}

}  // namespace records
