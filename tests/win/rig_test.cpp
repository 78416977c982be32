// The rig's own measuring tools must see what they claim to see.
#include "rig.h"

namespace {

TEST(Rig, GdiCountFollowsCreatedAndDeletedObjects) {
  int before = CountGdiObjects();
  ASSERT_GE(before, 0) << "no way to count GDI objects here";
  HBRUSH brushes[10];
  for (HBRUSH& b : brushes) b = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_EQ(CountGdiObjects(), before + 10);
  for (HBRUSH b : brushes) DeleteObject(b);
  EXPECT_EQ(CountGdiObjects(), before);
}

}  // namespace
