// The error channel, the shared message buffer and exact-count socket I/O.
#ifndef SERVICE_H
#define SERVICE_H

class WError;

extern WError* errdlg;
// Where messages are put together.
extern char buf[512];

void error_dialog(const char* msg);
int readn(int fd, void* dst, int n);
int writen(int fd, const void* src, int n);

// The free-store handler: reports "Out of memory." once and uninstalls
// itself, so that a nothrow allocation that cannot be met yields null
// instead of retrying for ever; rearm_out_of_mem() puts it back.
void out_of_mem();
void rearm_out_of_mem();

// Between trap_x_errors() and untrap_x_errors() an X error is noted
// instead of ending the process; untrap_x_errors() waits for the server
// and returns -1 when it refused a request sent in between.
void trap_x_errors();
int untrap_x_errors();

#endif
