/* The test picture both the C program and the tests compute: byte c of
 * pixel (x, y), different in every neighbour and every channel. C and C++. */
#ifndef PATTERN_H
#define PATTERN_H

static inline unsigned char pattern(int x, int y, int c)
{
  return (unsigned char)((x * 5 + y * 11 + c * 80) & 255);
}

#endif
