#include "runctl/ArgvOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

char a[] = "prog", b[] = "-E", c[] = "exp", d[] = "-j";

TEST(ArgvOrderTest, RestoreUndoesAnyReordering) {
  std::vector<char*> args = {a, b, c, d};
  const std::vector<char*> original = args;
  ArgvOrder order(static_cast<int>(args.size()), args.data());
  std::reverse(args.begin(), args.end());
  args[1] = args[2];
  order.Restore();
  EXPECT_EQ(args, original);
}

TEST(ArgvOrderTest, SaveSwitchesToTheNewVector) {
  std::vector<char*> first = {a, b, c, d};
  std::vector<char*> second = {d, c};
  ArgvOrder order(static_cast<int>(first.size()), first.data());
  order.Save(static_cast<int>(second.size()), second.data());
  second[0] = second[1] = a;
  first[0] = nullptr;
  order.Restore();
  EXPECT_EQ(second, (std::vector<char*>{d, c}));
  EXPECT_EQ(first[0], nullptr) << "the earlier vector must no longer be written";
}

TEST(ArgvOrderTest, EmptyVector) {
  ArgvOrder order(0, nullptr);
  order.Restore();
}

}  // namespace
