// Intrusive circular lists and their iterators.
#include "EList.h"

// --- singly linked ---------------------------------------------------------

ESList& ESList::operator=(const ESList& l)
{
  tail = l.tail;
  return *this;
}

void ESList::put(ESLink* k, int p)
{
  if (!tail) {
    k->next = k;
    tail = k;
    return;
  }
  k->next = tail->next;
  tail->next = k;
  if (p == 1)
    tail = k;
}

// The predecessor of k on a non-empty ring (k itself on a ring of one).
static ESLink* pred_of(ESLink* tail, ESLink* k)
{
  ESLink* x = tail;
  while (x->next != k)
    x = x->next;
  return x;
}

ESLink* ESList::get()
{
  if (!tail)
    return 0;
  ESLink* r = tail;
  if (r->next == r) {
    tail = 0;
    return r;
  }
  ESLink* p = pred_of(tail, r);
  p->next = r->next;
  tail = p;
  return r;
}

ESLink* ESList::del(ESLink* k)
{
  int pos = get_itmpos(k);
  if (pos < 0)
    return 0;
  ESLink* p = tail;  // the predecessor of the head
  for (int i = 0; i < pos; i++)
    p = p->next;
  ESLink* r = p->next;
  if (r == p) {
    tail = 0;
    return r;
  }
  p->next = r->next;
  if (r == tail)
    tail = p;
  return r;
}

int ESList::get_itmpos(ESLink* k)
{
  if (!tail)
    return -1;
  ESLink* x = tail->next;
  for (int i = 0;; i++, x = x->next) {
    if (x->operator==(*k))
      return i;
    if (x == tail)
      return -1;
  }
}

int ESList::get_numitm() const
{
  if (!tail)
    return 0;
  int n = 1;
  for (ESLink* x = tail->next; x != tail; x = x->next)
    n++;
  return n;
}

void ESList::free()
{
  while (ESLink* k = get())
    delete k;
}

// Equality walks both rings in step from their heads and answers true at the
// first pair of links that compare equal, false once this list's tail has
// been compared; a shorter other list is walked around again. Two empty
// lists are equal; an empty and a non-empty list are not.
char ESList::operator==(const ESList& l) const
{
  if (!tail || !l.tail)
    return !tail && !l.tail;
  const ESLink* o = l.tail->next;
  for (const ESLink* x = tail->next;; x = x->next, o = o->next) {
    if (x->operator==(*o))
      return 1;
    if (x == tail)
      return 0;
  }
}

char ESList::operator!=(const ESList& l) const
{
  return !(*this == l);
}

// --- doubly linked ---------------------------------------------------------

EDLink::EDLink(EDLink* n) : prev(0), next(n) {}

EDList& EDList::operator=(const EDList& l)
{
  tail = l.tail;
  return *this;
}

void EDList::put(EDLink* k)
{
  if (!tail) {
    k->next = k->prev = k;
    tail = k;
    return;
  }
  EDLink* h = tail->next;
  k->prev = tail;
  k->next = h;
  tail->next = k;
  h->prev = k;
  tail = k;
}

// Unlinks k from the ring whose tail is *tail; k keeps its own pointers.
static void unlink(EDLink*& tail, EDLink* k)
{
  if (k->next == k) {
    tail = 0;
    return;
  }
  k->prev->next = k->next;
  k->next->prev = k->prev;
  if (k == tail)
    tail = k->prev;
}

EDLink* EDList::get()
{
  EDLink* r = tail;
  if (r)
    unlink(tail, r);
  return r;
}

EDLink* EDList::del(EDLink* k)
{
  int pos = get_itmpos(k);
  if (pos < 0)
    return 0;
  EDLink* r = tail->next;
  for (int i = 0; i < pos; i++)
    r = r->next;
  unlink(tail, r);
  return r;
}

int EDList::get_itmpos(EDLink* k)
{
  if (!tail)
    return -1;
  EDLink* x = tail->next;
  for (int i = 0;; i++, x = x->next) {
    if (x->operator==(*k))
      return i;
    if (x == tail)
      return -1;
  }
}

int EDList::get_numitm() const
{
  if (!tail)
    return 0;
  int n = 1;
  for (EDLink* x = tail->next; x != tail; x = x->next)
    n++;
  return n;
}

void EDList::free()
{
  while (EDLink* k = get())
    delete k;
}

// The same rule as ESList::operator==.
char EDList::operator==(const EDList& l) const
{
  if (!tail || !l.tail)
    return !tail && !l.tail;
  const EDLink* o = l.tail->next;
  for (const EDLink* x = tail->next;; x = x->next, o = o->next) {
    if (x->operator==(*o))
      return 1;
    if (x == tail)
      return 0;
  }
}

char EDList::operator!=(const EDList& l) const
{
  return !(*this == l);
}

// --- iterators -------------------------------------------------------------

void ESListIter::set_list(ESList& l)
{
  clst = &l;
  clnk = l.tail ? l.tail->next : 0;
}

ESLink* ESListIter::operator()()
{
  ESLink* r = clnk;
  if (r)
    clnk = (r == clst->tail) ? 0 : r->next;
  return r;
}

int ESListIter::set_link(ESLink* k)
{
  if (!clst || !clnk || clst->get_itmpos(k) < 0)
    return -1;
  ESLink* start = clnk;
  while (clnk != k) {
    clnk = clnk->next;
    if (clnk == start)
      return -1;
  }
  return 0;
}

ESLink* ESListIter::head() const
{
  return clst && clst->tail ? clst->tail->next : 0;
}

ESLink* ESListIter::tail() const
{
  return clst ? clst->tail : 0;
}

EDListFIter::EDListFIter(EDList& l) : clst(&l), clnk(l.tail ? l.tail->next : 0) {}

EDLink* EDListFIter::operator()()
{
  EDLink* r = clnk;
  if (r)
    clnk = (r == clst->tail) ? 0 : r->next;
  return r;
}

EDListBIter::EDListBIter(EDList& l) : clst(&l), clnk(l.tail ? l.tail->next : 0) {}

EDLink* EDListBIter::operator()()
{
  EDLink* r = 0;
  if (clnk) {
    clnk = clnk->prev;
    r = clnk;
  }
  if (clst->tail && clnk == clst->tail->next)
    clnk = 0;
  return r;
}

void EDListLoop::set_list(EDList& l)
{
  clst = &l;
  clnk = l.tail ? l.tail->next : 0;
}

int EDListLoop::set_link(EDLink* k)
{
  if (!clst || !clnk || clst->get_itmpos(k) < 0)
    return -1;
  EDLink* start = clnk;
  while (clnk != k) {
    clnk = clnk->next;
    if (clnk == start)
      return -1;
  }
  return 0;
}

EDLink* EDListLoop::head() const
{
  return clst && clst->tail ? clst->tail->next : 0;
}

EDLink* EDListLoop::tail() const
{
  return clst ? clst->tail : 0;
}

// The loop works like the forward and backward iterators without their end:
// next() returns the current link and moves on, prev() moves back and returns
// the link it reached, so from the head next() yields the head first and
// prev() the tail first.
EDLink* EDListLoop::next()
{
  EDLink* r = clnk;
  if (r)
    clnk = r->next;
  return r;
}

EDLink* EDListLoop::prev()
{
  if (clnk)
    clnk = clnk->prev;
  return clnk;
}
