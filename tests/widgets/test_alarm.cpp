// The wall-clock alarm, with real Xt timeouts.
#include "xfixture.h"

#include <ctime>

#include "WEtc.h"

namespace {

struct Fired {
  int count = 0;
  XtIntervalId id_seen = 1;
};

void tp_count(XtPointer usr, XtIntervalId* id)
{
  Fired* f = static_cast<Fired*>(usr);
  f->count++;
  f->id_seen = *id;
}

tm local_in(int seconds)
{
  time_t t = time(nullptr) + seconds;
  tm ts{};
  localtime_r(&t, &ts);
  ts.tm_isdst = -1;
  return ts;
}

}  // namespace

class AlarmTest : public XFixture {};

TEST_F(AlarmTest, FiresOnceAndForgetsItsTimer)
{
  Fired f;
  WAlarm a;
  a.set_tp_alarm(tp_count, &f);
  tm ts = local_in(2);
  a.start(ts);
  EXPECT_TRUE(a.is_pending());
  ASSERT_TRUE(pump_until([&] { return f.count > 0; }, 6000));
  EXPECT_FALSE(a.is_pending());
  EXPECT_EQ(f.id_seen, 0u);  // cleared before the callback
  a.stop();                  // nothing to remove any more
  pump(1200);
  EXPECT_EQ(f.count, 1);
}

TEST_F(AlarmTest, NoTimerForNowPastOrBeyondRange)
{
  Fired f;
  WAlarm a;
  a.set_tp_alarm(tp_count, &f);
  tm now = local_in(0);
  a.start(now);
  EXPECT_FALSE(a.is_pending());
  tm past = local_in(-3600);
  a.start(past);
  EXPECT_FALSE(a.is_pending());
  tm far = local_in(30 * 24 * 3600);  // more milliseconds than 32 bits hold
  a.start(far);
  EXPECT_FALSE(a.is_pending());
  a.stop();
  EXPECT_FALSE(a.is_pending());
  pump(200);
  EXPECT_EQ(f.count, 0);
}

// A second start replaces the first timer; stop and destruction cancel.
TEST_F(AlarmTest, RestartReplacesAndStopCancels)
{
  Fired f;
  {
    WAlarm a;
    a.set_tp_alarm(tp_count, &f);
    tm soon = local_in(1);
    a.start(soon);
    tm later = local_in(2);
    a.start(later);
    ASSERT_TRUE(pump_until([&] { return f.count > 0; }, 6000));
    pump(1500);
    EXPECT_EQ(f.count, 1);

    tm again = local_in(1);
    a.start(again);
    a.stop();
    EXPECT_FALSE(a.is_pending());
    tm once_more = local_in(1);
    a.start(once_more);  // left pending: the destructor removes it
  }
  pump(2500);
  EXPECT_EQ(f.count, 1);
}
