#include "qmltyperegistry.h"

#include <algorithm>
#include <vector>

namespace {
struct Row
{
    int row;
    QmlTypeRegistry::RegisterFunction registerFunction;
};

// Built on first use: registrars in other files run during static initialisation, in no known order.
std::vector<Row>& rows()
{
    static std::vector<Row> table;
    return table;
}
} // namespace

void QmlTypeRegistry::add(int row, RegisterFunction registerFunction)
{
    auto& table = rows();
    const auto at = std::upper_bound(table.begin(), table.end(), row,
                                     [](int value, const Row& entry) { return value < entry.row; });
    table.insert(at, Row{row, registerFunction});
}

void QmlTypeRegistry::registerRows(int first, int last)
{
    for (const Row& entry : rows()) {
        if (entry.row >= first && entry.row <= last)
            entry.registerFunction();
    }
}

int QmlTypeRegistry::rowCount()
{
    return int(rows().size());
}
