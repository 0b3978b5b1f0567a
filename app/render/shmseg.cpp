#include "render/shmseg.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include "WEtc.h"
#include "base/service.h"

// A server that cannot map the segment (another IPC namespace) refuses the
// attach with an error.
int attach_segment(XShmSegmentInfo& info, size_t bytes, bool read_only)
{
  info = XShmSegmentInfo();
  info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (info.shmid < 0)
    return -1;
  void* addr = shmat(info.shmid, nullptr, 0);
  bool ok = addr != reinterpret_cast<void*>(-1);
  if (ok) {
    info.shmaddr = static_cast<char*>(addr);
    info.readOnly = read_only ? True : False;
    trap_x_errors();
    Status st = XShmAttach(display, &info);
    ok = untrap_x_errors() == 0 && st;
  }
  shmctl(info.shmid, IPC_RMID, nullptr);
  if (ok)
    return 0;
  if (info.shmaddr)
    shmdt(info.shmaddr);
  info = XShmSegmentInfo();
  return -1;
}

void detach_segment(XShmSegmentInfo& info)
{
  XShmDetach(display, &info);
  shmdt(info.shmaddr);
  info = XShmSegmentInfo();
}
