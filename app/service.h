// Shutdown, the error channel and exact-count socket I/O.
#ifndef SERVICE_H
#define SERVICE_H

class WError;

extern WError* errdlg;

void cleanup();
void error_dialog(const char* msg);
int readn(int fd, void* dst, int n);
int writen(int fd, const void* src, int n);

#endif
