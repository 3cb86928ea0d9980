// Walking rows, columns, all entries and PV values, in both traversal styles.
#include <memory>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "StateSpaceFixture.h"
#include "statespace/FlatStateLevel.h"

namespace {

using Entry = std::tuple<int, int, double>;  // row, col, rate
using Entries = std::vector<Entry>;

// Four states. Row 2 (index 1) is empty; no transition enters state 3 or 4,
// so the last two columns are empty.
constexpr const char* kSparseArm =
    "2 4\n"
    "1 2 1.5 1 0.25 0\n"
    "2 0\n"
    "3 1 2.0 2 3.0 0\n"
    "4 1 0.5 0\n";

class Traversal : public testing::Test {
 protected:
  void SetUp() override {
    level = std::make_unique<FlatStateLevel>(
        StateSpaceFiles{kSparseArm, "P Q 1 1 10 2 20 3 3 30 4 40\n", ""}.writeTo(dir));
  }

  // The entries of one container, in the buffer style.
  static Entries byBuffer(BaseStateLevel::EdgeBaseContainer* c, BaseStateLevel::EdgeBaseIterator* it) {
    Entries seen;
    EdgeBuffer buf{-7, -7, -7.0, 0, false};
    c->begin(it, buf);
    while (!buf.end) {
      seen.emplace_back(buf.row, buf.col, buf.rate);
      it->next(buf);
    }
    // The fields keep their last values once `end` is set.
    if (seen.empty()) {
      EXPECT_EQ(buf.row, -7);
      EXPECT_EQ(buf.rate, -7.0);
    } else {
      EXPECT_EQ(Entry(buf.row, buf.col, buf.rate), seen.back());
    }
    return seen;
  }

  // The same in the pointer style.
  static Entries byPointer(BaseStateLevel::EdgeBaseContainer* c, BaseStateLevel::EdgeBaseIterator* it) {
    Entries seen;
    for (c->begin(it); !it->end(); ++*it) {
      Edge* e = it->operator->();
      seen.emplace_back(e->row(), e->col(), e->rate());
    }
    return seen;
  }

  ScratchDir dir;
  std::unique_ptr<FlatStateLevel> level;
};

TEST_F(Traversal, RowsAndColumnsInBothStyles) {
  const std::vector<Entries> rows = {
      {{0, 1, 1.5}, {0, 0, 0.25}}, {}, {{2, 0, 2.0}, {2, 1, 3.0}}, {{3, 0, 0.5}}};
  const std::vector<Entries> columns = {
      {{0, 0, 0.25}, {2, 0, 2.0}, {3, 0, 0.5}}, {{0, 1, 1.5}, {2, 1, 3.0}}, {}, {}};

  BaseStateLevel::EdgeBaseContainer* c = nullptr;
  BaseStateLevel::EdgeBaseIterator* it = nullptr;
  level->allocateRowContainer(c);
  level->allocateRowIterator(it);
  for (int i = 0; i < 4; ++i) {
    level->getRow(i, c);
    EXPECT_EQ(byBuffer(c, it), rows[i]) << "row " << i;
    EXPECT_EQ(byPointer(c, it), rows[i]) << "row " << i;
  }
  level->deallocateRowContainer(c);
  level->deallocateRowIterator(it);

  // One container pointed at every column in turn.
  level->allocateColumnContainer(c);
  level->allocateColumnIterator(it);
  for (int j = 0; j < 4; ++j) {
    level->getColumn(j, c);
    EXPECT_EQ(byBuffer(c, it), columns[j]) << "column " << j;
    EXPECT_EQ(byPointer(c, it), columns[j]) << "column " << j;
  }
  level->deallocateColumnContainer(c);
  level->deallocateColumnIterator(it);
}

TEST_F(Traversal, AllEntriesSkipEmptyColumnsAndStopAtTheLastEntry) {
  const Entries all = {{0, 0, 0.25}, {2, 0, 2.0}, {3, 0, 0.5}, {0, 1, 1.5}, {2, 1, 3.0}};
  BaseStateLevel::EdgeBaseContainer* c = nullptr;
  BaseStateLevel::EdgeBaseIterator* it = nullptr;
  level->allocateAllEdgesContainer(c);
  level->allocateAllEdgesIterator(it);
  level->getAllEdges(c);
  EXPECT_EQ(byBuffer(c, it), all);
  EXPECT_EQ(byPointer(c, it), all);

  // The stand-alone edge walks the same entries.
  FlatStateLevel::OrderlessEdge edge;
  Entries seen;
  for (edge.init(level.get()); !edge.at_end; edge.nextEdge()) {
    seen.emplace_back(edge.row(), edge.col(), edge.rate());
  }
  EXPECT_EQ(seen, all);
  level->deallocateAllEdgesContainer(c);
  level->deallocateAllEdgesIterator(it);
}

TEST(TraversalShapes, AllEntriesOfAnEmptyMatrixAndOfOneLeadingGap) {
  struct Case {
    const char* arm;
    Entries all;
  };
  const Case cases[] = {
      {"1 3\n1 0\n2 0\n3 0\n", {}},
      // Column 1 empty: the walk starts in column 2.
      {"1 3\n1 2 1.0 0\n2 0\n3 2 2.0 3 3.0 0\n", {{0, 1, 1.0}, {2, 1, 2.0}, {2, 2, 3.0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arm);
    ScratchDir dir;
    FlatStateLevel level(StateSpaceFiles{c.arm, "", ""}.writeTo(dir));
    BaseStateLevel::EdgeBaseContainer* container = nullptr;
    BaseStateLevel::EdgeBaseIterator* it = nullptr;
    level.allocateAllEdgesContainer(container);
    level.allocateAllEdgesIterator(it);
    level.getAllEdges(container);
    Entries seen;
    EdgeBuffer buf{};
    container->begin(it, buf);
    for (; !buf.end; it->next(buf)) seen.emplace_back(buf.row, buf.col, buf.rate);
    EXPECT_EQ(seen, c.all);
    container->begin(it);
    EXPECT_EQ(it->end(), c.all.empty());
    level.deallocateAllEdgesContainer(container);
    level.deallocateAllEdgesIterator(it);
  }
}

TEST_F(Traversal, AssignmentCopiesAPositionIndependently) {
  struct Kind {
    void (FlatStateLevel::*allocContainer)(BaseStateLevel::EdgeBaseContainer*&);
    void (FlatStateLevel::*allocIterator)(BaseStateLevel::EdgeBaseIterator*&);
    void (FlatStateLevel::*freeContainer)(BaseStateLevel::EdgeBaseContainer*);
    void (FlatStateLevel::*freeIterator)(BaseStateLevel::EdgeBaseIterator*);
    void (*point)(FlatStateLevel&, BaseStateLevel::EdgeBaseContainer*);
  };
  const Kind kinds[] = {
      {&FlatStateLevel::allocateColumnContainer, &FlatStateLevel::allocateColumnIterator,
       &FlatStateLevel::deallocateColumnContainer, &FlatStateLevel::deallocateColumnIterator,
       [](FlatStateLevel& l, BaseStateLevel::EdgeBaseContainer* c) { l.getColumn(0, c); }},
      {&FlatStateLevel::allocateAllEdgesContainer, &FlatStateLevel::allocateAllEdgesIterator,
       &FlatStateLevel::deallocateAllEdgesContainer, &FlatStateLevel::deallocateAllEdgesIterator,
       [](FlatStateLevel& l, BaseStateLevel::EdgeBaseContainer* c) { l.getAllEdges(c); }},
      {&FlatStateLevel::allocateRowContainer, &FlatStateLevel::allocateRowIterator,
       &FlatStateLevel::deallocateRowContainer, &FlatStateLevel::deallocateRowIterator,
       [](FlatStateLevel& l, BaseStateLevel::EdgeBaseContainer* c) { l.getRow(2, c); }},
  };
  for (const Kind& kind : kinds) {
    BaseStateLevel::EdgeBaseContainer* c = nullptr;
    BaseStateLevel::EdgeBaseIterator* a = nullptr;
    BaseStateLevel::EdgeBaseIterator* b = nullptr;
    (level.get()->*kind.allocContainer)(c);
    (level.get()->*kind.allocIterator)(a);
    (level.get()->*kind.allocIterator)(b);
    kind.point(*level, c);
    EdgeBuffer first{};
    c->begin(a, first);
    const Entries expected = byBuffer(c, b);  // everything, from b
    ASSERT_GE(expected.size(), 2u);
    c->begin(b);
    static_cast<BaseStateLevel::Iterator&>(*b) = *a;  // b continues where a stands
    ++*a;                                              // moving a leaves b alone
    EXPECT_EQ(Entry((*b)->row(), (*b)->col(), (*b)->rate()), expected[0]);
    EXPECT_EQ(Entry((*a)->row(), (*a)->col(), (*a)->rate()), expected[1]);
    EdgeBuffer rest{};
    Entries from_b;
    for (b->next(rest); !rest.end; b->next(rest)) from_b.emplace_back(rest.row, rest.col, rest.rate);
    EXPECT_EQ(from_b, Entries(expected.begin() + 1, expected.end()));
    (level.get()->*kind.freeContainer)(c);
    (level.get()->*kind.freeIterator)(a);
    (level.get()->*kind.freeIterator)(b);
  }
}

TEST_F(Traversal, PVWalkYieldsOnePairPerState) {
  // P: state 1 (1, 10)... values are read second first.
  const std::vector<PVPair> p = {{10, 1}, {0, 0}, {30, 3}, {0, 0}};
  const std::vector<PVPair> q = {{20, 2}, {0, 0}, {40, 4}, {0, 0}};
  BaseStateLevel::PVBaseContainer* c = nullptr;
  BaseStateLevel::PVBaseIterator* it = nullptr;
  level->allocatePVContainer(c);
  level->allocatePVIterator(it);
  EXPECT_TRUE(it->end());  // a fresh PV iterator is at its end
  for (int pv = 0; pv < 2; ++pv) {
    const std::vector<PVPair>& want = pv == 0 ? p : q;
    level->getPV(c, pv);
    PVBuffer buf{};
    std::vector<PVPair> seen;
    for (c->begin(it, buf); !buf.end; it->next(buf)) seen.push_back({buf.first, buf.second});
    ASSERT_EQ(seen.size(), 4u);
    std::vector<PVPair> by_pointer;
    for (c->begin(it); !it->end(); ++*it) by_pointer.push_back(**it);
    ASSERT_EQ(by_pointer.size(), 4u);
    for (int s = 0; s < 4; ++s) {
      EXPECT_EQ(seen[s].first, want[s].first);
      EXPECT_EQ(seen[s].second, want[s].second);
      EXPECT_EQ(by_pointer[s].first, want[s].first);
      PVBuffer direct{0, 0, true};
      (*c)(s, direct);
      EXPECT_EQ(direct.first, want[s].first);
      EXPECT_EQ(direct.second, want[s].second);
      EXPECT_TRUE(direct.end);  // operator() leaves `end` alone
    }
  }
  level->deallocatePVContainer(c);
  level->deallocatePVIterator(it);
}

TEST_F(Traversal, NullIsHandedBackWithoutEffect) {
  level->deallocateRowContainer(nullptr);
  level->deallocateRowIterator(nullptr);
  level->deallocateColumnContainer(nullptr);
  level->deallocateColumnIterator(nullptr);
  level->deallocateAllEdgesContainer(nullptr);
  level->deallocateAllEdgesIterator(nullptr);
  level->deallocatePVContainer(nullptr);
  level->deallocatePVIterator(nullptr);
  level->deallocateSubMatrixContainer(nullptr);
  level->deallocateSubMatrixIterator(nullptr);
}

TEST_F(Traversal, StandAloneLineEdges) {
  FlatStateLevel::RowOrientedEdge row;
  row.init(level.get(), 2);
  EXPECT_EQ(row.remaining, 2);
  EXPECT_EQ(Entry(row.row(), row.col(), row.rate()), Entry(2, 0, 2.0));
  row.init(level.get(), 1);
  EXPECT_EQ(row.remaining, 0);

  BaseStateLevel::EdgeBaseContainer* c = nullptr;
  level->allocateColumnContainer(c);
  level->getColumn(1, c);  // brings the storage into columns
  FlatStateLevel::ColumnOrientedEdge column;
  column.init(level.get(), 1);
  EXPECT_EQ(column.remaining, 2);
  EXPECT_EQ(Entry(column.row(), column.col(), column.rate()), Entry(0, 1, 1.5));
  level->deallocateColumnContainer(c);

  FlatStateLevel::OrderlessEdge all;
  all.setModel(level.get());
  EXPECT_EQ(all.line_count, 4);
  EXPECT_EQ(all.level, level.get());
}

}  // namespace
