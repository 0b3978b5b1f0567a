// Time service (local time, formatted into a fixed buffer) and timer.
#include "ETime.h"

#include <cerrno>
#include <cstring>

#include "EEtc.h"

ETime* timemgr = 0;
ETimer* timer = 0;

// The text form of a time, both written and read by this class.
static const char* const TIMEFMT = "%Y-%m-%d %H:%M";

ETime::ETime()
{
  timetxt[0] = 0;
}

time_t ETime::get_time() const
{
  return time(0);
}

const char* ETime::time2text(time_t t)
{
  tm ts;
  if (!localtime_r(&t, &ts)) {
    timetxt[0] = 0;
    return timetxt;
  }
  return tms2text(ts);
}

const char* ETime::tms2text(const tm& ts)
{
  if (strftime(timetxt, sizeof timetxt, TIMEFMT, &ts) == 0)
    timetxt[0] = 0;
  return timetxt;
}

// 0 when the whole text was taken up by the format, -1 otherwise; the
// fields are filled either way as far as the text goes.
int ETime::text2tms(const char* txt, const char* fmt, tm* ts) const
{
  const char* end = efd::strptime(txt, fmt ? fmt : TIMEFMT, ts);
  return *end ? -1 : 0;
}

void ETimer::run(long ms) const
{
  if (ms <= 0)
    return;
  timespec ts;
  ts.tv_sec = ms / 1000;
  ts.tv_nsec = (ms % 1000) * 1000000L;
  while (nanosleep(&ts, &ts) == -1 && errno == EINTR) {
  }
}
