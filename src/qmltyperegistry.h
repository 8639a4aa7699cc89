#pragma once

// The table of native QML types. Each type's own source file adds its row with a static
// QmlTypeRegistrar, so a new type never touches a central list; the application registers the rows
// in row order when it starts. Rows of equal number keep the order in which they were added.
class QmlTypeRegistry
{
public:
    using RegisterFunction = void (*)();

    // Registers every row numbered first..last (inclusive), in row order.
    static void registerRows(int first, int last);
    // Number of rows in the table.
    static int rowCount();

private:
    friend class QmlTypeRegistrar;
    static void add(int row, RegisterFunction registerFunction);
};

// Adds one row when the program starts; the function runs only when the application registers its types.
class QmlTypeRegistrar
{
public:
    QmlTypeRegistrar(int row, QmlTypeRegistry::RegisterFunction registerFunction)
    {
        QmlTypeRegistry::add(row, registerFunction);
    }
};

// Row numbers of the engine's table that the application's start-up orders around.
namespace QmlTypeRows {
constexpr int Physics = 0;
constexpr int DownloadablePackage = 29;
constexpr int LastItemRow = 29;
constexpr int System = 30;
constexpr int ZanthScheduler = 31;
} // namespace QmlTypeRows
