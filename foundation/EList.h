// Intrusive circular lists: a list keeps only its tail, the tail's next is
// the head. Lists never own their links.
#ifndef ELIST_H
#define ELIST_H

class ESLink {
public:
  ESLink() : next(0) {}
  explicit ESLink(ESLink* n) : next(n) {}
  virtual ~ESLink() {}
  virtual char operator==(const ESLink& k) const { return this == &k; }

  ESLink* next;
};

class ESList {
public:
  ESList() : tail(0) {}
  virtual ~ESList() {}
  virtual ESList& operator=(const ESList& l);

  void put(ESLink* k, int p);
  ESLink* get();
  ESLink* del(ESLink* k);
  int get_itmpos(ESLink* k);
  int get_numitm() const;
  void free();
  char operator==(const ESList& l) const;
  char operator!=(const ESList& l) const;

  ESLink* tail;
};

class EDLink {
public:
  EDLink() : prev(0), next(0) {}
  explicit EDLink(EDLink* n);
  virtual ~EDLink() {}
  virtual char operator==(const EDLink& k) const { return this == &k; }

  EDLink* prev;
  EDLink* next;
};

class EDList {
public:
  EDList() : tail(0) {}
  virtual ~EDList() {}
  virtual EDList& operator=(const EDList& l);

  void put(EDLink* k);
  EDLink* get();
  EDLink* del(EDLink* k);
  int get_itmpos(EDLink* k);
  int get_numitm() const;
  void free();
  char operator==(const EDList& l) const;
  char operator!=(const EDList& l) const;

  EDLink* tail;
};

class ESListIter {
public:
  ESListIter() : clst(0), clnk(0) {}
  explicit ESListIter(ESList& l) { set_list(l); }
  void set_list(ESList& l);
  ESLink* operator()();
  int set_link(ESLink* k);
  ESLink* head() const;
  ESLink* tail() const;
  ESLink* current() const { return clnk; }

private:
  ESList* clst;
  ESLink* clnk;
};

class EDListFIter {
public:
  explicit EDListFIter(EDList& l);
  EDLink* operator()();

private:
  EDList* clst;
  EDLink* clnk;
};

class EDListBIter {
public:
  explicit EDListBIter(EDList& l);
  EDLink* operator()();

private:
  EDList* clst;
  EDLink* clnk;
};

// A circular walk in both directions that wraps from the tail to the head
// and back; never finishes on its own.
class EDListLoop {
public:
  EDListLoop() : clst(0), clnk(0) {}
  explicit EDListLoop(EDList& l) { set_list(l); }
  void set_list(EDList& l);
  int set_link(EDLink* k);
  EDLink* head() const;
  EDLink* tail() const;
  EDLink* current() const { return clnk; }
  EDLink* next();
  EDLink* prev();

private:
  EDList* clst;
  EDLink* clnk;
};

#endif
