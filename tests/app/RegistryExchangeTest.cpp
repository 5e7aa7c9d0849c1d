// CRegistryExchange on its own: number parsing, sections, the read-only root, dirty state.
#include "app/RegistryExchange.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string TestName() {
  return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

TEST(RegistryExchangeParse, NumbersAreSplitAtBlanksCommasTabsAndNewlines) {
  struct Case { const char* text; LONG expected[4]; };
  const LONG k = 7777;  // the fields' previous value
  const Case cases[] = {
      {"1, 2, 3, 4", {1, 2, 3, 4}},
      {"1,2,3,4", {1, 2, 3, 4}},
      {"  1\t\t2\n3 ,, ,4 ", {1, 2, 3, 4}},
      {"", {k, k, k, k}},
      {" , \t", {k, k, k, k}},
      {"5", {5, k, k, k}},
      {"-5, +6", {-5, 6, k, k}},
      {"x, 6", {k, 6, k, k}},
      {"1.5, 2", {k, 2, k, k}},
      {"0x10, 010", {k, 10, k, k}},  // decimal only; leading zeros are fine
      {"2147483647, -2147483648", {2147483647, -2147483647 - 1, k, k}},
      {"2147483648, 1", {k, 1, k, k}},
      {"1 2 3 4 5 6 7", {1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    LONG fields[4] = {k, k, k, k};
    CRegistryExchange::ParseNumbers(c.text, fields, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(fields[i], c.expected[i]) << '"' << c.text << "\" #" << i;
  }
}

TEST(RegistryExchange, NothingHappensWithoutARoot) {
  CRegistryExchange load(CRegistryExchange::kLoad);
  DWORD value = 5;
  load.Exchange32("x", value);
  EXPECT_EQ(value, 5u);
  EXPECT_FALSE(load.SelectSection("any"));
  CRegistryExchange save(CRegistryExchange::kSave);
  save.Exchange32("x", value);
  EXPECT_FALSE(save.IsDirty());
}

TEST(RegistryExchange, SavingMarksDirtyAndSectionsGoBelowTheProfile) {
  ScratchRegistry reg(TestName());
  CRegistryExchange save(CRegistryExchange::kSave);
  ASSERT_TRUE(save.OpenRoot(reg.hive(), "Key", "Profile"));
  EXPECT_FALSE(save.IsDirty());
  ASSERT_TRUE(save.SelectSection("Section"));
  DWORD value = 42;
  save.Exchange32("Number", value);
  EXPECT_TRUE(save.IsDirty());
  save.Close();
  EXPECT_FALSE(save.IsOpen());
  EXPECT_EQ(reg.GetDword("software\\Key\\Profile\\Section", "Number"), 42u);
}

TEST(RegistryExchange, ReadOnlyRootNeverCreatesAndFallsBackToTheRoot) {
  ScratchRegistry reg(TestName());
  CRegistryExchange load(CRegistryExchange::kLoad);
  EXPECT_FALSE(load.OpenRootReadOnly(reg.hive(), "Key", "Profile"));
  EXPECT_FALSE(reg.KeyExists("software\\Key"));

  reg.SetDword("software\\Key\\Profile", "Number", 9);
  ASSERT_TRUE(load.OpenRootReadOnly(reg.hive(), "Key", "Profile"));
  // A section that does not exist is not made; the root serves instead.
  EXPECT_FALSE(load.SelectSection("Missing"));
  EXPECT_FALSE(reg.KeyExists("software\\Key\\Profile\\Missing"));
  DWORD value = 0;
  load.Exchange32("Number", value);
  EXPECT_EQ(value, 9u);
}

TEST(RegistryExchange, SwitchingRootsFlushesAndClosesThePrevious) {
  ScratchRegistry reg(TestName());
  CRegistryExchange save(CRegistryExchange::kSave);
  ASSERT_TRUE(save.OpenRoot(reg.hive(), "A", "P"));
  save.SelectSection("S");
  DWORD one = 1;
  save.Exchange32("V", one);
  ASSERT_TRUE(save.OpenRoot(reg.hive(), "B", "P"));
  EXPECT_FALSE(save.IsDirty());
  DWORD two = 2;
  save.Exchange32("V", two);  // no section selected: the root
  save.Close();
  EXPECT_EQ(reg.GetDword("software\\A\\P\\S", "V"), 1u);
  EXPECT_EQ(reg.GetDword("software\\B\\P", "V"), 2u);
}

TEST(RegistryExchange, PairsAndQuadsAreWrittenAsDecimalText) {
  ScratchRegistry reg(TestName());
  CRegistryExchange save(CRegistryExchange::kSave);
  ASSERT_TRUE(save.OpenRoot(reg.hive(), "K", "P"));
  LONG a = -2147483647 - 1, b = 2147483647;
  save.ExchangePair("Pair", a, b);
  LONG quad[4] = {0, -1, 2, 30000};
  save.ExchangeQuad("Quad", quad);
  save.Close();
  EXPECT_EQ(reg.GetString("software\\K\\P", "Pair"), "-2147483648, 2147483647");
  EXPECT_EQ(reg.GetString("software\\K\\P", "Quad"), "0, -1, 2, 30000");

  CRegistryExchange load(CRegistryExchange::kLoad);
  ASSERT_TRUE(load.OpenRoot(reg.hive(), "K", "P"));
  LONG x = 0, y = 0;
  load.ExchangePair("Pair", x, y);
  EXPECT_EQ(x, a);
  EXPECT_EQ(y, b);
}

TEST(RegistryExchange, HugeTextsAreRefusedWholesale) {
  ScratchRegistry reg(TestName());
  std::string huge(1100 * 1024, 'z');
  reg.SetString("software\\K\\P", "Huge", huge);
  CRegistryExchange load(CRegistryExchange::kLoad);
  ASSERT_TRUE(load.OpenRoot(reg.hive(), "K", "P"));
  char buffer[8] = "keep";
  load.ExchangeText("Huge", buffer);
  EXPECT_STREQ(buffer, "keep");
}

}  // namespace
