#include "holidays/PrazdnikiStore.h"

#include <gtest/gtest.h>

using namespace vexilo;

TEST(clsPrazdniki, MarksToggleSetAndStayInTheirRange)
{
    clsPrazdniki year;
    EXPECT_EQ(year.List(1, 8), 0);
    ASSERT_TRUE(year.Add(1, 8));
    EXPECT_EQ(year.List(1, 8), 1);
    ASSERT_TRUE(year.Add(1, 8));
    EXPECT_EQ(year.List(1, 8), 0);
    ASSERT_TRUE(year.AddPrazdnik(3, 8));
    ASSERT_TRUE(year.AddPrazdnik(3, 8));
    EXPECT_EQ(year.List(3, 8), 1);
    EXPECT_EQ(year.List(0, 0), 0);

    EXPECT_FALSE(year.List(13, 1).has_value());
    EXPECT_FALSE(year.List(1, 32).has_value());
    EXPECT_FALSE(year.Add(-1, 1));
    EXPECT_FALSE(year.AddPrazdnik(1, 32));
}

TEST(PrazdnikiStore, EmptyStoreHasOneSlotAndAppendUsesIt)
{
    PrazdnikiStore store;
    EXPECT_EQ(store.KolGodov(), -1);
    EXPECT_EQ(store.NaytiGod(2013), -1);
    ASSERT_NE(store.entry(0), nullptr);
    store.append();
    EXPECT_EQ(store.KolGodov(), 0);
    store.entry(0)->God = 2013;
    EXPECT_EQ(store.NaytiGod(2013), 0);
    EXPECT_EQ(store.entry(1), nullptr);
}

TEST(PrazdnikiStore, ARemovedAndReaddedYearIsFoundAtItsNewEntry)
{
    PrazdnikiStore store;
    store.append();
    store.entry(0)->God = 2014;
    store.append();
    store.entry(1)->God = 2015;
    store.entry(0)->DelGod = 1;
    EXPECT_EQ(store.NaytiGod(2014), -1);
    store.append();
    store.entry(2)->God = 2014;
    EXPECT_EQ(store.NaytiGod(2014), 2);
    EXPECT_EQ(store.NaytiGod(2015), 1);
    // Appending keeps the entries already there.
    EXPECT_EQ(store.entry(0)->God, 2014);
    EXPECT_EQ(store.entry(0)->DelGod, 1);
}
