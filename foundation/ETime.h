// Time service and timer.
#ifndef ETIME_H
#define ETIME_H

#include <ctime>

class ETime {
public:
  ETime();
  time_t get_time() const;
  const char* time2text(time_t t);
  const char* tms2text(const tm& ts);
  int text2tms(const char* txt, const char* fmt, tm* ts) const;

private:
  char timetxt[80];
};

class ETimer {
public:
  ETimer() {}
  void run(long ms) const;
};

extern ETime* timemgr;
extern ETimer* timer;

#endif
