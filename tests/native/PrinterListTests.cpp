#include "editor/PrinterList.h"

#include "support/MemoryRegistryBackend.h"

#include <gtest/gtest.h>

namespace flipset {
namespace {

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;

class PrinterListTest : public ::testing::Test {
protected:
    MemoryRegistryBackend backend;
    CRegistry registry{backend};
};

TEST_F(PrinterListTest, EachPrinterIsItsNameACommaAndItsData)
{
    registry.WriteString(kPrinterDevicesKey, "Office Laser", "winspool,Ne01:", kUser);
    registry.WriteString(kPrinterDevicesKey, "Fax", "winspool,Ne02:", kUser);
    // The memory registry enumerates as Wine does: sorted ignoring case.
    EXPECT_EQ(ListPrinterEntries(registry),
              (StringList{"Fax,winspool,Ne02:", "Office Laser,winspool,Ne01:"}));
}

TEST_F(PrinterListTest, ValuesWithEmptyDataAreNoPrinters)
{
    registry.WriteString(kPrinterDevicesKey, "Empty", "", kUser);
    registry.WriteString(kPrinterDevicesKey, "Plotter", "winspool,LPT1:", kUser);
    EXPECT_EQ(ListPrinterEntries(registry), StringList{"Plotter,winspool,LPT1:"});
}

TEST_F(PrinterListTest, OnlyTheCurrentUsersDevicesCount)
{
    EXPECT_TRUE(ListPrinterEntries(registry).empty());
    registry.WriteString(kPrinterDevicesKey, "Office Laser",
                         "winspool,Ne01:", RegistryRoot::LocalMachine);
    EXPECT_TRUE(ListPrinterEntries(registry).empty());
}

}  // namespace
}  // namespace flipset
