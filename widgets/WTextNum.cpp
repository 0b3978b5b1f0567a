// Numeric one-line fields: keystroke and paste vetting, range and
// conversion between text and number.
#include "WTextNum.h"

#include <cctype>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <X11/keysym.h>

// A deletion hands an empty text, possibly with a null pointer.
static char is_empty(const XmTextBlock b)
{
  return !b || !b->ptr || b->length <= 0;
}

// Character codes are classified; keysyms above 255 are only compared.
static char is_digit(int c)
{
  return c >= 0 && c <= 255 && std::isdigit(c);
}

static char is_edit_key(int c)
{
  return c == XK_BackSpace || c == XK_Left || c == XK_Right;
}

WTextNum::WTextNum(Widget par) : WTextField(par), setflg(0)
{
  XtVaSetValues(xtwgt, XmNcolumns, static_cast<XtArgVal>(10), XmNmaxLength,
                static_cast<XtArgVal>(12), XmNresizeWidth, static_cast<XtArgVal>(False),
                XmNresizeHeight, static_cast<XtArgVal>(False), nullptr);
  XtAddCallback(xtwgt, XmNmodifyVerifyCallback, cp_modify_txt, nullptr);
  renew(13);
}

// Settles the changes that need no walk over their characters: the field's
// own text from show(), and a change that begins before the cursor (a
// backspace, or a selection replaced up to the cursor), which is judged by
// its first character alone. Answers 1 when the change is settled.
char WTextNum::vet_start(XmTextVerifyCallbackStruct* tcb) const
{
  if (setflg)
    return 1;
  if (tcb->startPos >= tcb->currInsert)
    return 0;
  if (!is_empty(tcb->text) && !is_legal(static_cast<unsigned char>(tcb->text->ptr[0])))
    tcb->doit = False;
  return 1;
}

// Formats into txttxt, growing it when the text would not fit, and shows
// the text without vetting it.
void WTextNum::show(const char* fmt, ...)
{
  va_list ap;
  va_start(ap, fmt);
  int n = std::vsnprintf(nullptr, 0, fmt, ap);
  va_end(ap);
  if (n >= txtlen)
    renew(n + 1);
  if (txtlen > 0) {
    va_start(ap, fmt);
    std::vsnprintf(txttxt, txtlen, fmt, ap);
    va_end(ap);
  }
  setflg = 1;
  XmTextSetString(xtwgt, const_cast<char*>(txtlen > 0 ? txttxt : ""));
  setflg = 0;
}

int WTextNum::result(const char* s, const char* end, double v) const
{
  if (!s || end == s)
    return -1;
  return rng.is_inrange(v) ? 0 : -2;
}

// --- integers --------------------------------------------------------------

WTextInt::WTextInt(Widget par) : WTextNum(par)
{
  rng = ERange(-2147483647.0, 2147483647.0);
}

char WTextInt::is_legal(int c) const
{
  return is_digit(c) || is_edit_key(c);
}

// Illegal characters are dropped from the new text, so typing or pasting a
// mixture inserts its digits only.
void WTextInt::edit(XmTextVerifyCallbackStruct* tcb)
{
  if (vet_start(tcb))
    return;
  XmTextBlock b = tcb->text;
  if (is_empty(b))
    return;
  int k = 0;
  for (int i = 0; i < b->length; i++)
    if (is_legal(static_cast<unsigned char>(b->ptr[i])))
      b->ptr[k++] = b->ptr[i];
  b->length = k;
  if (k == 0)
    tcb->doit = False;
}

// A bound as a long, truncated towards zero; a NaN bound bounds nothing.
static long to_long(double d, long none)
{
  if (std::isnan(d))
    return none;
  if (d <= static_cast<double>(LONG_MIN))
    return LONG_MIN;
  if (d >= -static_cast<double>(LONG_MIN))
    return LONG_MAX;
  return static_cast<long>(d);
}

void WTextInt::set_value(long v)
{
  long lo = to_long(rng.lo, LONG_MIN);
  long hi = to_long(rng.hi, LONG_MAX);
  if (v < lo)
    v = lo;
  else if (v > hi)
    v = hi;
  show("%ld", v);
}

int WTextInt::get_value(long* v)
{
  const char* s = get_text();
  char* end = nullptr;
  *v = s ? std::strtol(s, &end, 10) : 0;
  return result(s, end, static_cast<double>(*v));
}

// --- floating point --------------------------------------------------------

WTextFloat::WTextFloat(Widget par) : WTextNum(par), prec(6)
{
  rng = ERange(-DBL_MAX, DBL_MAX);
}

char WTextFloat::is_legal(int c) const
{
  return is_digit(c) || c == '.' || is_sign(c) || is_edit_key(c);
}

// One optional sign in the first position, digits and at most one point;
// one refused character refuses the whole change.
void WTextFloat::edit(XmTextVerifyCallbackStruct* tcb)
{
  if (vet_start(tcb))
    return;
  XmTextBlock b = tcb->text;
  if (is_empty(b)) {
    tcb->doit = False;
    return;
  }
  char* cur = XmTextGetString(xtwgt);
  char sign = cur && std::strpbrk(cur, "+-");
  char point = cur && std::strchr(cur, '.');
  XtFree(cur);
  for (int i = 0; i < b->length; i++) {
    int c = static_cast<unsigned char>(b->ptr[i]);
    char ok = is_digit(c);
    if (is_sign(c))
      ok = !sign && tcb->startPos + i == 0;
    else if (c == '.')
      ok = !point;
    point |= c == '.';
    if (!ok) {
      tcb->doit = False;
      return;
    }
  }
}

// Values too wide for the 12 characters a user may type are still written
// whole in fixed point: txttxt grows to hold them. NaN and infinities
// (outside a range that admits them they are clamped) show as text.
void WTextFloat::set_value(double v)
{
  if (v < rng.lo)
    v = rng.lo;
  else if (v > rng.hi)
    v = rng.hi;
  int p = prec < 0 ? 0 : (prec > MAXPREC ? MAXPREC : prec);
  show("%#.*f", p, v);
}

int WTextFloat::get_value(double* v)
{
  const char* s = get_text();
  char* end = nullptr;
  *v = s ? std::strtod(s, &end) : 0;
  return result(s, end, *v);
}
