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

// Armed twice, it fires once, for the second time, and then forgets its
// timer so that stop() has nothing to hand to Xt.
TEST_F(AlarmTest, FiresOnceAndForgetsItsTimer)
{
  Fired f;
  WAlarm a;
  a.set_tp_alarm(tp_count, &f);
  tm first = local_in(1), second = local_in(2);
  a.start(first);
  a.start(second);
  EXPECT_TRUE(a.is_pending());
  ASSERT_TRUE(pump_until([&] { return f.count > 0; }, 6000));
  EXPECT_FALSE(a.is_pending());
  EXPECT_EQ(f.id_seen, 0u);
  a.stop();
  pump(1500);
  EXPECT_EQ(f.count, 1);
}

TEST_F(AlarmTest, NoTimerForNowPastOrBeyondRange)
{
  Fired f;
  WAlarm a;
  a.set_tp_alarm(tp_count, &f);
  for (int ahead : {0, -3600, 30 * 24 * 3600}) {  // the last overflows 32 bits of ms
    tm ts = local_in(ahead);
    a.start(ts);
    EXPECT_FALSE(a.is_pending()) << ahead;
  }
  tm far = local_in(0);
  far.tm_year = 2000000000;  // seconds * 1000 would leave 64 bits
  a.start(far);
  EXPECT_FALSE(a.is_pending());
  {
    WAlarm pending;  // destroyed pending: its timer goes with it
    pending.set_tp_alarm(tp_count, &f);
    tm ts = local_in(1);
    pending.start(ts);
  }
  pump(2200);
  EXPECT_EQ(f.count, 0);
}
