// Writing a file whole or not at all, for the File menu's savers: the
// bytes go under a temporary name beside the file, reach the disk, and
// then take the file's place.
#ifndef REPLACEFILE_H
#define REPLACEFILE_H

#include <cstddef>
#include <cstdio>

// What a file is to hold.
class FileContent {
public:
  virtual ~FileContent() = default;
  // Writes all of it to out; 0, or -1 with the reason in why.
  virtual int write_to(FILE* out, char* why, size_t whylen) = 0;
};

// A failure leaves any file of that name as it was; a file replaced keeps
// its mode, and a symbolic link stays one, its target replaced. Returns 0,
// or -1 with the reason (the system's or the content's) in why.
int replace_file(const char* file, FileContent& content, char* why, size_t whylen);

#endif
