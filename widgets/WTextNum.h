// One-line fields that take only numbers, within a range.
#ifndef WTEXTNUM_H
#define WTEXTNUM_H

#include "ERange.h"
#include "WTxt.h"

class WTextNum : public WTextField {
public:
  explicit WTextNum(Widget par);

  virtual char is_legal(int c) const = 0;
  char is_sign(int c) const { return c == '+' || c == '-'; }
  void set_range(const ERange& r) { rng = r; }
  ERange get_range() const { return rng; }

  ERange rng;

protected:
  char vet_start(XmTextVerifyCallbackStruct* tcb) const;
  void show(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  int result(const char* s, const char* end, double v) const;

private:
  char setflg;  // set while show() puts the field's own text in: not vetted
};

class WTextInt : public WTextNum {
public:
  explicit WTextInt(Widget par);
  void edit(XmTextVerifyCallbackStruct* tcb) override;
  char is_legal(int c) const override;

  void set_value(long v);
  int get_value(long* v);
};

class WTextFloat : public WTextNum {
public:
  explicit WTextFloat(Widget par);
  void edit(XmTextVerifyCallbackStruct* tcb) override;
  char is_legal(int c) const override;

  void set_value(double v);
  int get_value(double* v);
  void set_precision(int p) { prec = p; }
  int get_precision() const { return prec; }

  // Digits written after the point; a prec outside 0 to MAXPREC writes the
  // nearer of the two.
  static const int MAXPREC = 64;
  int prec;
};

#endif
