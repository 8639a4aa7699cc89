#include <gtest/gtest.h>

#include "qmltyperegistry.h"

#include <string>

namespace {
std::string calls;

void rowFive() { calls += "5"; }
void rowOneFirst() { calls += "1a"; }
void rowOneSecond() { calls += "1b"; }
void rowThirty() { calls += "30"; }

// Added out of row order, as static registrars in separate files may run in any order.
const QmlTypeRegistrar five(5, rowFive);
const QmlTypeRegistrar thirty(30, rowThirty);
const QmlTypeRegistrar oneFirst(1, rowOneFirst);
const QmlTypeRegistrar oneSecond(1, rowOneSecond);
} // namespace

TEST(QmlTypeRegistryTest, rowsRegisterInRowOrderAndEqualRowsInOrderAdded)
{
    calls.clear();
    QmlTypeRegistry::registerRows(1, 30);
    EXPECT_EQ(calls, "1a1b530");
}

TEST(QmlTypeRegistryTest, onlyTheRowsOfTheRangeRegister)
{
    calls.clear();
    QmlTypeRegistry::registerRows(2, 29);
    EXPECT_EQ(calls, "5");
    calls.clear();
    QmlTypeRegistry::registerRows(30, 30);
    EXPECT_EQ(calls, "30");
}
