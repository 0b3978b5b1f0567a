// Intrusive circular lists: ring shape after every change, the ends used by
// put/get, removal anywhere, destruction through free, and the iterators.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EList.h"

namespace {

std::string order;  // names of destroyed links, in the order destroyed

struct SL : ESLink {
  explicit SL(char c) : name(c) {}
  ~SL() override { order += name; }
  char name;
};

struct DL : EDLink {
  explicit DL(char c) : name(c) {}
  ~DL() override { order += name; }
  char name;
};

// Compares by name: lets a look-alike be "found" without being on the list.
struct DLByName : DL {
  using DL::DL;
  char operator==(const EDLink& k) const override
  {
    const DL* o = dynamic_cast<const DL*>(&k);
    return o && o->name == name;
  }
};

// Walks the ring from the head and checks every invariant on the way.
std::string ring(const ESList& l)
{
  std::string s;
  if (!l.tail)
    return s;
  const ESLink* x = l.tail->next;
  for (int guard = 0; guard < 100; guard++, x = x->next) {
    s += static_cast<const SL*>(x)->name;
    if (x == l.tail)
      return s;
  }
  return "broken ring";
}

std::string ring(const EDList& l)
{
  std::string s;
  if (!l.tail)
    return s;
  const EDLink* x = l.tail->next;
  for (int guard = 0; guard < 100; guard++, x = x->next) {
    if (x->next->prev != x || x->prev->next != x)
      return "broken links";
    s += static_cast<const DL*>(x)->name;
    if (x == l.tail)
      return s;
  }
  return "broken ring";
}

template <class L, class Get>
std::string drain(L& l, Get get)
{
  std::string s;
  while (auto* k = get(l))
    s += k->name;
  return s;
}

}  // namespace

TEST(SList, PutAtEitherEndAndGetFromTail)
{
  SL a('a'), b('b'), c('c');
  ESList l;
  EXPECT_EQ(l.get(), nullptr);
  EXPECT_EQ(l.get_numitm(), 0);

  l.put(&a, 0);
  EXPECT_EQ(a.next, &a);  // a ring of one
  EXPECT_EQ(l.tail, &a);

  l.put(&b, 0);
  l.put(&c, 0);
  EXPECT_EQ(ring(l), "cba");
  EXPECT_EQ(drain(l, [](ESList& x) { return static_cast<SL*>(x.get()); }), "abc");
  EXPECT_EQ(l.tail, nullptr);

  l.put(&a, 1);
  l.put(&b, 1);
  l.put(&c, 1);
  EXPECT_EQ(ring(l), "abc");
  EXPECT_EQ(l.get_numitm(), 3);
  EXPECT_EQ(drain(l, [](ESList& x) { return static_cast<SL*>(x.get()); }), "cba");
}

TEST(SList, DelAndPositions)
{
  SL a('a'), b('b'), c('c'), d('d'), stranger('x');
  ESList l;
  EXPECT_EQ(l.get_itmpos(&a), -1);
  EXPECT_EQ(l.del(&a), nullptr);
  for (SL* k : {&a, &b, &c, &d})
    l.put(k, 1);
  EXPECT_EQ(l.get_itmpos(&a), 0);
  EXPECT_EQ(l.get_itmpos(&d), 3);
  EXPECT_EQ(l.get_itmpos(&stranger), -1);

  EXPECT_EQ(l.del(&stranger), nullptr);
  EXPECT_EQ(ring(l), "abcd");
  EXPECT_EQ(l.del(&b), &b);  // middle
  EXPECT_EQ(ring(l), "acd");
  EXPECT_EQ(l.del(&a), &a);  // head: successor becomes head
  EXPECT_EQ(ring(l), "cd");
  EXPECT_EQ(l.del(&d), &d);  // tail: predecessor becomes tail
  EXPECT_EQ(l.tail, &c);
  EXPECT_EQ(c.next, &c);
  EXPECT_EQ(l.del(&c), &c);  // only link
  EXPECT_EQ(l.tail, nullptr);
}

TEST(DList, PutGetDelKeepBothDirectionsLinked)
{
  DL a('a'), b('b'), c('c'), d('d'), stranger('x');
  EDList l;
  EXPECT_EQ(l.get(), nullptr);
  l.put(&a);
  EXPECT_EQ(a.next, &a);
  EXPECT_EQ(a.prev, &a);
  l.put(&b);
  l.put(&c);
  l.put(&d);
  EXPECT_EQ(ring(l), "abcd");
  EXPECT_EQ(l.get_numitm(), 4);
  EXPECT_EQ(l.get_itmpos(&d), 3);

  EXPECT_EQ(l.del(&stranger), nullptr);
  EXPECT_EQ(l.del(&c), &c);
  EXPECT_EQ(ring(l), "abd");
  EXPECT_EQ(c.next, &d);  // a removed link keeps its old pointers
  EXPECT_EQ(c.prev, &b);
  EXPECT_EQ(l.del(&a), &a);
  EXPECT_EQ(ring(l), "bd");
  EXPECT_EQ(l.del(&d), &d);
  EXPECT_EQ(ring(l), "b");
  EXPECT_EQ(l.get(), &b);
  EXPECT_EQ(l.tail, nullptr);

  for (DL* k : {&a, &b, &c})
    l.put(k);
  EXPECT_EQ(drain(l, [](EDList& x) { return static_cast<DL*>(x.get()); }), "cba");
}

TEST(Lists, FreeDestroysEveryLinkTailFirst)
{
  ESList s;
  EDList d;
  order.clear();
  s.free();
  d.free();
  EXPECT_EQ(order, "");

  for (char c : std::string("abcd")) {
    s.put(new SL(c), 1);
    d.put(new DL(static_cast<char>(c - 'a' + 'A')));
  }
  s.free();
  d.free();
  EXPECT_EQ(order, "dcbaDCBA");
  EXPECT_EQ(s.tail, nullptr);
  EXPECT_EQ(d.tail, nullptr);
}

TEST(Lists, AssignmentSharesTheRing)
{
  DL a('a'), b('b');
  EDList l1;
  l1.put(&a);
  {
    EDList l2;
    l2 = l1;
    l2.put(&b);  // l1's tail is still a: l1 sees b only as a's successor
    EXPECT_EQ(a.next, &b);
    l1 = l2;
  }  // l2 gone, links untouched
  EXPECT_EQ(ring(l1), "ab");

  ESList s1, s2;
  SL x('x');
  s1.put(&x, 1);
  s2 = s1;
  EXPECT_EQ(s2.get(), &x);
  EXPECT_EQ(s2.tail, nullptr);
}

TEST(Lists, EqualityRule)
{
  DL a('a'), b('b');
  DLByName p('p'), q('q'), a2('a'), z('z');
  EDList empty1, empty2, ab, za, pqa, one;
  EXPECT_TRUE(empty1 == empty2);
  EXPECT_FALSE(empty1 != empty2);

  ab.put(&a);
  ab.put(&b);
  EXPECT_FALSE(ab == empty1);
  EXPECT_FALSE(empty1 == ab);
  EXPECT_TRUE(ab != empty1);

  // True at the first pair at the same position that compares equal, asked
  // of this list's link: identity links never match a by-name look-alike.
  za.put(&z);
  za.put(&a2);
  EXPECT_FALSE(ab == za);  // a~z, b~a2
  EXPECT_TRUE(ab != za);

  // A shorter other list is walked around again: p~a, q~a, a2~a.
  one.put(&a);
  pqa.put(&p);
  pqa.put(&q);
  za.get();  // frees a2 for pqa
  za.get();
  pqa.put(&a2);
  EXPECT_TRUE(pqa == one);
  EXPECT_FALSE(one == pqa);  // one's tail a is compared with p only
}

TEST(Iterators, ForwardAndBackwardWalks)
{
  EDList empty;
  EXPECT_EQ(EDListFIter(empty)(), nullptr);
  EXPECT_EQ(EDListBIter(empty)(), nullptr);
  ESList sempty;
  EXPECT_EQ(ESListIter(sempty)(), nullptr);

  DL a('a'), b('b'), c('c');
  EDList one;
  one.put(&a);
  EDListFIter f1(one);
  EXPECT_EQ(f1(), &a);
  EXPECT_EQ(f1(), nullptr);
  EXPECT_EQ(f1(), nullptr);
  EDListBIter b1(one);
  EXPECT_EQ(b1(), &a);
  EXPECT_EQ(b1(), nullptr);

  EDList l;
  for (DL* k : {&a, &b, &c})
    l.put(k);
  std::string fw, bw;
  EDListFIter f(l);
  while (EDLink* k = f())
    fw += static_cast<DL*>(k)->name;
  EDListBIter bi(l);
  while (EDLink* k = bi())
    bw += static_cast<DL*>(k)->name;
  EXPECT_EQ(fw, "abc");
  EXPECT_EQ(bw, "cba");
}

TEST(Iterators, SetLinkWrapsAndRefusesWhenFinished)
{
  SL a('a'), b('b'), c('c'), x('x');
  ESList l;
  ESListIter none;
  EXPECT_EQ(none.set_link(&a), -1);
  EXPECT_EQ(none.head(), nullptr);
  for (SL* k : {&a, &b, &c})
    l.put(k, 1);
  ESListIter it(l);
  EXPECT_EQ(it.head(), &a);
  EXPECT_EQ(it.tail(), &c);
  EXPECT_EQ(it.set_link(&x), -1);
  EXPECT_EQ(it.current(), &a);
  EXPECT_EQ(it.set_link(&c), 0);
  EXPECT_EQ(it(), &c);
  EXPECT_EQ(it(), nullptr);  // c was the tail: finished
  EXPECT_EQ(it.set_link(&a), -1);

  ESListIter it2(l);
  it2();
  it2();  // at c now
  EXPECT_EQ(it2.set_link(&a), 0);  // behind: around the ring
  EXPECT_EQ(it2(), &a);
}

TEST(Iterators, LoopWrapsBothWays)
{
  DL a('a'), b('b'), c('c');
  EDList l;
  EDListLoop unset;
  EXPECT_EQ(unset.next(), nullptr);
  EXPECT_EQ(unset.set_link(&a), -1);
  for (DL* k : {&a, &b, &c})
    l.put(k);
  EDListLoop lp(l);
  EXPECT_EQ(lp.head(), &a);
  EXPECT_EQ(lp.tail(), &c);
  std::string s;
  for (int i = 0; i < 7; i++)
    s += static_cast<DL*>(lp.next())->name;
  EXPECT_EQ(s, "abcabca");
  s.clear();
  for (int i = 0; i < 5; i++)
    s += static_cast<DL*>(lp.prev())->name;
  EXPECT_EQ(s, "acbac");
  EXPECT_EQ(lp.set_link(&c), 0);
  EXPECT_EQ(lp.current(), &c);
}

TEST(Iterators, SetLinkToALookAlikeFailsInPlace)
{
  DLByName p('p'), q('q'), r('r'), lookalike('q');
  EDList l;
  for (DL* k : {&p, &q, &r})
    l.put(k);
  EXPECT_EQ(l.get_itmpos(&lookalike), 1);  // the search accepts it...
  EDListLoop lp(l);
  lp.next();
  EXPECT_EQ(lp.set_link(&lookalike), -1);  // ...but it is not on the ring
  EXPECT_EQ(lp.current(), &q);
  EXPECT_EQ(lp.set_link(&r), 0);
}
