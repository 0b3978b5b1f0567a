// Intrusive circular lists: ring shape after every change, the ends used by
// put/get, removal anywhere, free, equality and the iterators.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "EList.h"

namespace {

std::string destroyed;

struct SL : ESLink {
  explicit SL(char c) : name(c) {}
  ~SL() override { destroyed += name; }
  char name;
};

struct DL : EDLink {
  explicit DL(char c) : name(c) {}
  ~DL() override { destroyed += name; }
  char name;
  // A look-alike with the same name is "found" by the list searches.
  char byname = 0;
  char operator==(const EDLink& k) const override
  {
    return byname ? static_cast<const DL&>(k).name == name : this == &k;
  }
};

// The two list families side by side for what they share, named by their
// link type; append puts a link after the tail.
template <class K>
using ListOf = std::conditional_t<std::is_same_v<K, SL>, ESList, EDList>;
void append(ESList& l, SL* k)
{
  l.put(k, 1);
}
void append(EDList& l, DL* k)
{
  l.put(k);
}

// The names from the head, checking every link on the way; "!" on a
// broken ring.
template <class K>
std::string ring(const ListOf<K>& l)
{
  std::string s;
  if (!l.tail)
    return s;
  auto* x = l.tail->next;
  for (int guard = 0; guard < 50; guard++, x = x->next) {
    if constexpr (std::is_same_v<K, DL>)
      if (x->next->prev != x)
        return "!";
    s += static_cast<const K*>(x)->name;
    if (x == l.tail)
      return s;
  }
  return "!";
}

template <class K>
class ListFamily : public ::testing::Test {
};
using Families = ::testing::Types<SL, DL>;
TYPED_TEST_SUITE(ListFamily, Families);

}  // namespace

TYPED_TEST(ListFamily, EndsAndRemoval)
{
  using K = TypeParam;
  K a('a'), b('b'), c('c'), d('d'), x('x');
  ListOf<K> l;
  EXPECT_EQ(l.get(), nullptr);
  EXPECT_EQ(l.get_itmpos(&a), -1);
  for (K* k : {&a, &b, &c, &d})
    append(l, k);
  EXPECT_EQ(ring<K>(l), "abcd");
  EXPECT_EQ(l.get_numitm(), 4);
  EXPECT_EQ(l.get_itmpos(&d), 3);
  EXPECT_EQ(l.del(&x), nullptr);
  EXPECT_EQ(l.del(&c), &c);
  EXPECT_EQ(c.next, &d);  // a removed link keeps its own
  if constexpr (std::is_same_v<K, DL>) {
    EXPECT_EQ(c.prev, &b);
  }
  EXPECT_EQ(l.del(&a), &a);
  EXPECT_EQ(l.del(&d), &d);
  EXPECT_EQ(ring<K>(l), "b");  // the tail removed: its predecessor is the tail
  EXPECT_EQ(l.del(&b), &b);
  EXPECT_EQ(l.tail, nullptr);
  for (K* k : {&a, &b, &c})
    append(l, k);
  EXPECT_EQ(l.get(), &c);  // get takes the tail: last in, first out
  EXPECT_EQ(ring<K>(l), "ab");
}

TYPED_TEST(ListFamily, FreeDestroysEveryLinkTailFirst)
{
  ListOf<TypeParam> l;
  destroyed.clear();
  l.free();
  for (char c : std::string("abc"))
    append(l, new TypeParam(c));
  l.free();
  EXPECT_EQ(destroyed, "cba");
  EXPECT_EQ(l.tail, nullptr);
}

// put(k, 0) puts the link before the head, so get answers first in, first out.
TEST(SList, PutAtHead)
{
  SL a('a'), b('b'), c('c');
  ESList l;
  for (SL* k : {&a, &b, &c})
    l.put(k, 0);
  EXPECT_EQ(ring<SL>(l), "cba");
  EXPECT_EQ(l.get(), &a);
  EXPECT_EQ(l.get(), &b);
  EXPECT_EQ(l.get(), &c);
}

// Equal at the first pair, at the same position, that this list's link
// finds equal; a shorter other list is walked around again.
TEST(Lists, Equality)
{
  DL a('a'), b('b'), p('p'), q('q'), a2('a');
  p.byname = q.byname = a2.byname = 1;
  EDList e1, e2, ab, pqa, one;
  EXPECT_TRUE(e1 == e2);
  ab.put(&a);
  ab.put(&b);
  EXPECT_FALSE(ab == e1 || e1 == ab);
  for (DL* k : {&p, &q, &a2})
    pqa.put(k);
  EXPECT_FALSE(ab == pqa);  // identity links: a~p, b~q
  one.put(&a);
  EXPECT_TRUE(pqa == one);   // p~a, q~a, a2~a
  EXPECT_FALSE(one == pqa);  // a~p only
}

TEST(Iterators, WalksAndPositioning)
{
  EDList empty;
  EXPECT_EQ(EDListFIter(empty)(), nullptr);
  EXPECT_EQ(EDListBIter(empty)(), nullptr);
  DL a('a'), b('b'), c('c'), look('b');
  look.byname = b.byname = 1;
  EDList l;
  l.put(&a);
  EDListFIter f1(l);
  EXPECT_EQ(f1(), &a);
  EXPECT_EQ(f1(), nullptr);
  l.put(&b);
  l.put(&c);
  std::string fw, bw;
  EDListFIter f(l);
  while (EDLink* k = f())
    fw += static_cast<DL*>(k)->name;
  EDListBIter bi(l);
  while (EDLink* k = bi())
    bw += static_cast<DL*>(k)->name;
  EXPECT_EQ(fw + bw, "abccba");

  EDListLoop lp(l);
  std::string s;
  for (int i = 0; i < 4; i++)
    s += static_cast<DL*>(lp.next())->name;
  for (int i = 0; i < 3; i++)
    s += static_cast<DL*>(lp.prev())->name;
  EXPECT_EQ(s, "abcaacb");
  EXPECT_EQ(lp.set_link(&a), 0);  // behind the current link: around the ring
  EXPECT_EQ(l.get_itmpos(&look), 1);
  EXPECT_EQ(lp.set_link(&look), -1);  // found by the search, yet not on the ring
  EXPECT_EQ(lp.current(), &a);

  SL x('x'), y('y');
  ESList sl;
  sl.put(&x, 1);
  sl.put(&y, 1);
  ESListIter it(sl);
  EXPECT_EQ(it.set_link(&y), 0);
  EXPECT_EQ(it(), &y);
  EXPECT_EQ(it(), nullptr);
  EXPECT_EQ(it.set_link(&x), -1);  // finished
}
