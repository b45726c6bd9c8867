// The annotation lists of a view: their limit of 256 entries, the newest entry going first,
// and the counts kept outside (in the view record), whose zeroing empties the lists.
#include <gtest/gtest.h>

#include "measure/ZR_Annotations.h"

namespace {
using List = ZR_Annotations::List;

ZR_Annotations::Ruler RulerNumber(int32_t n) {
  const float f = static_cast<float>(n);
  return {f / 1000, 0.1f, f / 1000, 0.9f, f};
}

TEST(Annotations, AListTakes256EntriesAndRefusesTheNextLeavingTheOthersAlone) {
  int32_t counts[4] = {0, 0, 0, 0};
  ZR_Annotations annotations(counts);
  for (int32_t n = 0; n < 256; ++n) ASSERT_TRUE(annotations.Add(RulerNumber(n))) << n;
  EXPECT_TRUE(annotations.IsFull(List::Rulers));
  EXPECT_FALSE(annotations.Add(RulerNumber(999)));
  ASSERT_EQ(annotations.Rulers().size(), 256u);
  EXPECT_EQ(counts[1], 256);
  EXPECT_FLOAT_EQ(annotations.Rulers().front().length, 0);
  EXPECT_FLOAT_EQ(annotations.Rulers().back().length, 255);
  // The other lists are not full because one is.
  EXPECT_FALSE(annotations.IsFull(List::PixelValues));
  EXPECT_TRUE(annotations.Add(ZR_Annotations::PixelValue{0.5f, 0.5f, 7}));
  EXPECT_EQ(counts[0], 1);
}

TEST(Annotations, RemovingTakesTheNewestEntriesOfOneListFirst) {
  int32_t counts[4] = {0, 0, 0, 0};
  ZR_Annotations annotations(counts);
  for (int32_t n = 0; n < 3; ++n) ASSERT_TRUE(annotations.Add(RulerNumber(n)));
  ASSERT_TRUE(annotations.Add(ZR_Annotations::Angle{0, 0, 0.5f, 0.5f, 1, 0, 90}));
  EXPECT_TRUE(annotations.RemoveLast(List::Rulers));
  EXPECT_TRUE(annotations.RemoveLast(List::Rulers));
  ASSERT_EQ(annotations.Rulers().size(), 1u);
  EXPECT_FLOAT_EQ(annotations.Rulers()[0].length, 0);
  EXPECT_EQ(annotations.Angles().size(), 1u);
  EXPECT_FALSE(annotations.RemoveLast(List::Rois));  // nothing to remove
  EXPECT_EQ(counts[3], 0);
}

TEST(Annotations, TheCountsOutsideAreTheListsSizes) {
  int32_t counts[4] = {0, 0, 0, 0};
  ZR_Annotations annotations(counts);
  ASSERT_TRUE(annotations.Add(ZR_Annotations::PixelValue{0.2f, 0.3f, 10}));
  ASSERT_TRUE(annotations.Add(ZR_Annotations::Roi{0.1f, 0.1f, 0.3f, 0.3f, 1, 2, 1.5f, 0.5f}));
  EXPECT_FALSE(annotations.IsEmpty());
  // Zeroed from outside (the plane moved): the lists are empty.
  for (int32_t& count : counts) count = 0;
  EXPECT_TRUE(annotations.IsEmpty());
  EXPECT_TRUE(annotations.PixelValues().empty());
  EXPECT_TRUE(annotations.Rois().empty());
  // Counts out of range are read within 0..256.
  counts[1] = 1000;
  counts[2] = -3;
  EXPECT_EQ(annotations.Rulers().size(), 256u);
  EXPECT_EQ(annotations.Count(List::Angles), 0);
  EXPECT_FALSE(annotations.Add(RulerNumber(1)));
  EXPECT_TRUE(annotations.Add(ZR_Annotations::Angle{}));
  EXPECT_EQ(counts[2], 1);
  annotations.Clear();
  EXPECT_TRUE(annotations.IsEmpty());
  for (int32_t count : counts) EXPECT_EQ(count, 0);
}
}  // namespace
